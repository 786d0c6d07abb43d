#include "engine/Audio/Track.h"

namespace EngineCore {

Track::Track()
{
    SetType(RT_MUSIC_TRACK);
}

Track::Track(const Track& other) = default;

Track& Track::operator=(const Track& other) = default;

Track::~Track() = default;

}  // namespace EngineCore
