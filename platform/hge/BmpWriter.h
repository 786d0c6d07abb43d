#pragma once
// Writes ARGB texels (top row first) as an uncompressed, bottom-up 24-bit BMP file.
#include <cstdint>
#include <string>

namespace hgeplatform {

bool WriteBmp24(const std::string& path, const uint32_t* pixels, int width, int height);

}  // namespace hgeplatform
