#pragma once
// The demo's short video, drawn by code and encoded with libtheora.
#include <vector>

namespace DemoData {

// A 160 x 120 Ogg/Theora clip of two seconds at 24 frames a second (a lit ball crossing
// a dusk gradient); empty on failure.
std::vector<unsigned char> IntroVideo();

}  // namespace DemoData
