#include "engine/Audio/SoundSystem.h"

namespace EngineCore {

struct SoundSystem::Impl {
    float volume = 1.0f;
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
    _impl->volume = volume;
    // A copy, so a listener that installs another listener stays valid.
    const std::function<void(float)> listener = _impl->volumeListener;
    if (listener) {
        listener(volume);
    }
}

void SoundSystem::StopAllSounds()
{
    const std::function<void()> listener = _impl->stopAllListener;
    if (listener) {
        listener();
    }
}

void SoundSystem::SetEvent(const std::function<void(float)>& volumeListener)
{
    _impl->volumeListener = volumeListener;
}

void SoundSystem::SetEvent(const std::function<void()>& stopAllListener)
{
    _impl->stopAllListener = stopAllListener;
}

}  // namespace EngineCore
