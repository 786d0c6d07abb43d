#pragma once
// The channel operations an effect and a music track have alike, over their record.

#include "backend/Base/HGEChannel.h"

namespace MobrixCore {

// `Base` is the engine's audio resource class (a sound or a track).
template <typename Base>
class HGEChannelResource : public Base {
public:
    bool IsValid() const override { return _record.handle != 0; }
    void Stop() override { _record.Stop(); }
    void Pause() override { _record.Pause(); }
    void Resume() override { _record.Resume(); }
    // Capped at 1.0; the remembered channel follows while it plays.
    void SetVolume(float volume) override { _record.SetVolume(volume); }
    bool IsPlaying() const override { return _record.IsPlaying(); }

protected:
    HGEChannelRecord _record;
};

}  // namespace MobrixCore
