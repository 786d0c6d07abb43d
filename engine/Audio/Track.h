#pragma once
#include "engine/Resources/Resource.h"

namespace EngineCore {

// A music track; the back-end plays it at the music volume.
class Track : public Resource {
public:
    Track();
    Track(const Track& other);
    Track& operator=(const Track& other);
    ~Track() override;

    virtual void Stop() = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;
    virtual void Play(bool loop) = 0;
    virtual void SetVolume(float volume) = 0;
    virtual bool IsPlaying() const = 0;
};

}  // namespace EngineCore
