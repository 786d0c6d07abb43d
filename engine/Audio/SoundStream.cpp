#include "engine/Audio/SoundStream.h"

namespace EngineCore {

SoundStream::SoundStream()
{
    SetType(RT_SOUND_STREAM);
}

SoundStream::SoundStream(const SoundStream& other) = default;

SoundStream& SoundStream::operator=(const SoundStream& other) = default;

SoundStream::~SoundStream() = default;

void SoundStream::SetIsMusic(bool isMusic)
{
    _isMusic = isMusic;
}

}  // namespace EngineCore
