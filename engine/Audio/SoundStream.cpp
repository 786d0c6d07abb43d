#include "engine/Audio/SoundStream.h"

namespace EngineCore {

SoundStream::SoundStream()
{
    SetType(RT_SOUND_STREAM);
}

SoundStream::SoundStream(const SoundStream& other) : Sound(other), _isMusic(other._isMusic.load()) {}

SoundStream& SoundStream::operator=(const SoundStream& other)
{
    Sound::operator=(other);
    _isMusic = other._isMusic.load();
    return *this;
}

SoundStream::~SoundStream() = default;

void SoundStream::SetIsMusic(bool isMusic)
{
    _isMusic = isMusic;
}

}  // namespace EngineCore
