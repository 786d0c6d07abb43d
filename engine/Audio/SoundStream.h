#pragma once
#include <atomic>

#include "engine/Audio/Sound.h"

namespace EngineCore {

// A streamed sound. The back-end applies the music volume to a stream flagged as
// music and the sound volume otherwise.
class SoundStream : public Sound {
public:
    SoundStream();
    SoundStream(const SoundStream& other);
    SoundStream& operator=(const SoundStream& other);
    ~SoundStream() override;

    virtual void SetIsMusic(bool isMusic);
    bool IsMusic() const { return _isMusic; }

private:
    // Atomic: the loader thread and the main thread flag a stream both can reach.
    std::atomic<bool> _isMusic{false};
};

}  // namespace EngineCore
