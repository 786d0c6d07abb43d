#pragma once
// A music track: the file named by the resource as HGE music (tracker modules, or any
// sound file). It has one channel; HGE's music volume applies on top of its own.

#include <memory>

#include "backend/Base/HGEChannel.h"
#include "engine/Audio/Track.h"

namespace MobrixCore {

class HGEResourceFactory;

class HGEMusicTrack : public EngineCore::Track {
public:
    HGEMusicTrack();
    ~HGEMusicTrack() override;
    HGEMusicTrack(const HGEMusicTrack&) = delete;
    HGEMusicTrack& operator=(const HGEMusicTrack&) = delete;

    bool IsValid() const override { return _record.handle != 0; }
    void Stop() override { _record.Stop(); }
    void Pause() override { _record.Pause(); }
    void Resume() override { _record.Resume(); }
    // Nothing while the track plays.
    void Play(bool loop) override;
    void SetVolume(float volume) override { _record.SetVolume(volume); }
    bool IsPlaying() const override { return _record.IsPlaying(); }

protected:
    friend class HGEResourceFactory;
    static std::shared_ptr<EngineCore::Resource> Create();

    void Init() override;
    void Release() override;

private:
    HGEChannelRecord _record;
};

}  // namespace MobrixCore
