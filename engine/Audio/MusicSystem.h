#pragma once
#include <functional>
#include <memory>

namespace EngineCore {

// Keeps the one volume shared by music tracks and music streams.
class MusicSystem {
public:
    static MusicSystem& Instance();

    float GetVolume() const;
    // Stores the value, then tells the music listener, then the stream listener.
    void SetVolume(float volume);

    void SetMusicEvent(const std::function<void(float)>& listener);
    void SetStreamEvent(const std::function<void(float)>& listener);

    MusicSystem(const MusicSystem&) = delete;
    MusicSystem& operator=(const MusicSystem&) = delete;

private:
    MusicSystem();
    ~MusicSystem();

    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace EngineCore
