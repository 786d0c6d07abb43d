#pragma once
// The demo game's pictures, drawn by code: each is a PNG file in memory.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace DemoData {

// Colour of pixel (x, y), y = 0 at the top, as 0xAARRGGBB.
using Painter = std::function<uint32_t(int x, int y)>;

// Encodes a width x height picture as PNG; empty on failure.
std::vector<unsigned char> PaintPng(int width, int height, const Painter& painter);

// Encodes a width x height 8-bit picture with a grey palette as PNG (index = grey
// level): an alpha image for character-animation frames. Empty on failure.
std::vector<unsigned char> PaintGreyPng(int width, int height, const std::function<int(int x, int y)>& level);

struct Picture {
    std::string name;  // path inside the game's data
    std::vector<unsigned char> png;
};

// Pictures kept as loose files, and pictures stored in each pack.
std::vector<Picture> LoosePictures();
std::vector<Picture> LoadingPackPictures();
std::vector<Picture> SpritePackPictures();
// Loose pictures for other runtimes in the benchmarks, with their alpha baked in.
std::vector<Picture> BenchPictures();

}  // namespace DemoData
