#pragma once
// PNG files straight into texels with libpng: every colour type and bit depth, palettes
// and greys with a transparent colour (tRNS), interlaced files. The texels are written
// into the caller's buffer row by row, with no picture in between.
#include <cstdint>
#include <vector>

namespace hgeplatform {

// True when `data` starts with the PNG signature.
bool IsPng(const void* data, uint32_t size);

// False for damaged files and for pictures whose sides or texel count exceed the limits,
// which are checked from the header before anything is allocated.
bool DecodePng(const void* data, uint32_t size, int maxSide, uint64_t maxPixels, int* width, int* height,
               std::vector<uint32_t>* pixels);

}  // namespace hgeplatform
