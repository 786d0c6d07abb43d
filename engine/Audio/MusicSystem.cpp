#include "engine/Audio/MusicSystem.h"

#include <atomic>
#include <mutex>

namespace EngineCore {

// The volume is read without a lock (the music fade reads it every step). A change holds
// `delivery` from storing the value until both listeners have it: of two threads setting
// it, the one that stores last is also the last the back-end hears, so the stored value
// is the one the device got.
struct MusicSystem::Impl {
    std::atomic<float> volume{1.0f};
    std::mutex delivery;
    std::function<void(float)> musicListener;
    std::function<void(float)> streamListener;
};

MusicSystem& MusicSystem::Instance()
{
    static MusicSystem instance;
    return instance;
}

MusicSystem::MusicSystem() : _impl(new Impl) {}

MusicSystem::~MusicSystem() = default;

float MusicSystem::GetVolume() const
{
    return _impl->volume;
}

void MusicSystem::SetVolume(float volume)
{
    std::lock_guard<std::mutex> delivering(_impl->delivery);
    _impl->volume = volume;
    const std::function<void(float)> music = _impl->musicListener;
    if (music) {
        music(volume);
    }
    const std::function<void(float)> stream = _impl->streamListener;
    if (stream) {
        stream(volume);
    }
}

void MusicSystem::SetMusicEvent(const std::function<void(float)>& listener)
{
    std::lock_guard<std::mutex> delivering(_impl->delivery);
    _impl->musicListener = listener;
}

void MusicSystem::SetStreamEvent(const std::function<void(float)>& listener)
{
    std::lock_guard<std::mutex> delivering(_impl->delivery);
    _impl->streamListener = listener;
}

}  // namespace EngineCore
