#pragma once
// The demo game's sounds, made by code: two music loops (Ogg Vorbis) and a short blip (WAV).
#include <string>
#include <vector>

namespace DemoData {

struct SoundFile {
    std::string name;  // path inside the game's data
    std::vector<unsigned char> bytes;
};

// Empty bytes on failure.
std::vector<SoundFile> Sounds();

}  // namespace DemoData
