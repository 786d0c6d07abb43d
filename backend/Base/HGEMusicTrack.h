#pragma once
// A music track: the file named by the resource as HGE music (tracker modules, or any
// sound file). It has one channel; HGE's music volume applies on top of its own.

#include <memory>

#include "backend/Base/HGEChannelResource.h"
#include "engine/Audio/Track.h"

namespace MobrixCore {

class HGEResourceFactory;

class HGEMusicTrack : public HGEChannelResource<EngineCore::Track> {
public:
    HGEMusicTrack();
    ~HGEMusicTrack() override;
    HGEMusicTrack(const HGEMusicTrack&) = delete;
    HGEMusicTrack& operator=(const HGEMusicTrack&) = delete;

    // Nothing while the track plays.
    void Play(bool loop) override;

protected:
    friend class HGEResourceFactory;
    static std::shared_ptr<EngineCore::Resource> Create();

    void Init() override;
    void Release() override;
};

}  // namespace MobrixCore
