#pragma once
#include "engine/Resources/Resource.h"

namespace EngineCore {

// A sound effect; the back-end plays it.
class Sound : public Resource {
public:
    Sound();
    Sound(const Sound& other);
    Sound& operator=(const Sound& other);
    ~Sound() override;

    virtual void Stop() = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;
    virtual void Play(bool loop) = 0;
    virtual void SetVolume(float volume) = 0;
    virtual bool IsPlaying() const = 0;
};

}  // namespace EngineCore
