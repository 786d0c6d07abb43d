#include "engine/Audio/MusicSystem.h"

namespace EngineCore {

struct MusicSystem::Impl {
    float volume = 1.0f;
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
    _impl->musicListener = listener;
}

void MusicSystem::SetStreamEvent(const std::function<void(float)>& listener)
{
    _impl->streamListener = listener;
}

}  // namespace EngineCore
