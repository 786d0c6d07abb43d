#pragma once
// A sound effect: the file named by the resource, decoded whole into an HGE effect. Every
// play starts a further channel; only the newest one is remembered and driven. The
// system's sound volume does not reach effects.

#include <memory>

#include "backend/Base/HGEChannelResource.h"
#include "engine/Audio/Sound.h"

namespace MobrixCore {

class HGEResourceFactory;

class HGESound : public HGEChannelResource<EngineCore::Sound> {
public:
    HGESound();
    ~HGESound() override;
    HGESound(const HGESound&) = delete;
    HGESound& operator=(const HGESound&) = delete;

    void Play(bool loop) override;

protected:
    friend class HGEResourceFactory;
    static std::shared_ptr<EngineCore::Resource> Create();

    void Init() override;
    // Freeing the effect stops every channel of it, the untracked earlier ones too.
    void Release() override;
};

}  // namespace MobrixCore
