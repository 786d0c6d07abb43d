#pragma once
// TGA files decoded by this code alone: indexed (with a colour map of 15, 16, 24 or 32-bit
// entries), true colour of 15, 16, 24 or 32 bits, and 8-bit grey, plain or run-length,
// stored from the top or the bottom row, left to right or right to left. The header must
// be one ReadImageHeader takes for TGA. Each run-length packet consumes input, so damaged
// data ends the decode; a file whose pixels end early is refused.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace imageformat {

struct TgaImage {
    uint32_t width = 0;
    uint32_t height = 0;
    // Depth of the stored pixels: 8 for indexed and grey files, else 15, 16, 24 or 32.
    unsigned depth = 0;
    // Indexed and grey files: one index a texel, top row first, and 256 palette colours
    // (ARGB; entries the file does not give are opaque black; grey files get a grey ramp).
    bool indexed = false;
    std::vector<uint8_t> indexes;
    std::vector<uint32_t> palette;
    // True-colour files: ARGB texels, top row first.
    std::vector<uint32_t> texels;
};

// False, with `image` emptied, for a header ReadImageHeader refuses, for images with more
// than `maxPixels` texels, and for pixel data that ends early.
bool DecodeTga(const void* data, size_t size, uint64_t maxPixels, TgaImage* image);

}  // namespace imageformat
