#pragma once
// Image files in memory (PNG, JPEG, BMP, TGA, DDS, ...) to ARGB texels, top row first.
#include <cstdint>
#include <vector>

namespace hgeplatform {

// False for data FreeImage does not recognise or cannot decode, and for images larger
// than `maxSide` on either side.
bool DecodeImage(const void* data, uint32_t size, int maxSide, int* width, int* height,
                 std::vector<uint32_t>* pixels);

}  // namespace hgeplatform
