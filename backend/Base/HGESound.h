#pragma once
// A sound effect: the file named by the resource, decoded whole into an HGE effect. Every
// play starts a further channel; only the newest one is remembered and driven. The
// system's sound volume does not reach effects.

#include <memory>

#include "backend/Base/HGEChannel.h"
#include "engine/Audio/Sound.h"

namespace MobrixCore {

class HGEResourceFactory;

class HGESound : public EngineCore::Sound {
public:
    HGESound();
    ~HGESound() override;
    HGESound(const HGESound&) = delete;
    HGESound& operator=(const HGESound&) = delete;

    bool IsValid() const override { return _record.handle != 0; }
    void Stop() override { _record.Stop(); }
    void Pause() override { _record.Pause(); }
    void Resume() override { _record.Resume(); }
    void Play(bool loop) override;
    // Capped at 1.0; the remembered channel follows while it plays.
    void SetVolume(float volume) override { _record.SetVolume(volume); }
    bool IsPlaying() const override { return _record.IsPlaying(); }

protected:
    friend class HGEResourceFactory;
    static std::shared_ptr<EngineCore::Resource> Create();

    void Init() override;
    // Freeing the effect stops every channel of it, the untracked earlier ones too.
    void Release() override;

private:
    HGEChannelRecord _record;
};

}  // namespace MobrixCore
