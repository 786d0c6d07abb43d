#include "engine/Audio/Sound.h"

namespace EngineCore {

Sound::Sound()
{
    SetType(RT_SOUND);
}

Sound::Sound(const Sound& other) = default;

Sound& Sound::operator=(const Sound& other) = default;

Sound::~Sound() = default;

}  // namespace EngineCore
