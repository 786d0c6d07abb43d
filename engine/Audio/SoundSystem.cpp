#include "engine/Audio/SoundSystem.h"

#include <atomic>
#include <mutex>

namespace EngineCore {

// As the music volume: read without a lock; a change holds `delivery` until the listener
// has it, so the last value stored is the last the back-end hears.
struct SoundSystem::Impl {
    std::atomic<float> volume{1.0f};
    std::mutex delivery;
    std::function<void()> stopAllListener;
    std::function<void(float)> volumeListener;
};

SoundSystem& SoundSystem::Instance()
{
    static SoundSystem instance;
    return instance;
}

SoundSystem::SoundSystem() : _impl(new Impl) {}

SoundSystem::~SoundSystem() = default;

float SoundSystem::GetVolume() const
{
    return _impl->volume;
}

void SoundSystem::SetVolume(float volume)
{
    std::lock_guard<std::mutex> delivering(_impl->delivery);
    _impl->volume = volume;
    // A copy, so a listener that installs another listener stays valid.
    const std::function<void(float)> listener = _impl->volumeListener;
    if (listener) {
        listener(volume);
    }
}

void SoundSystem::StopAllSounds()
{
    std::function<void()> listener;
    {
        std::lock_guard<std::mutex> delivering(_impl->delivery);
        listener = _impl->stopAllListener;
    }
    if (listener) {
        listener();
    }
}

void SoundSystem::SetEvent(const std::function<void(float)>& volumeListener)
{
    std::lock_guard<std::mutex> delivering(_impl->delivery);
    _impl->volumeListener = volumeListener;
}

void SoundSystem::SetEvent(const std::function<void()>& stopAllListener)
{
    std::lock_guard<std::mutex> delivering(_impl->delivery);
    _impl->stopAllListener = stopAllListener;
}

}  // namespace EngineCore
