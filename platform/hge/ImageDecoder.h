#pragma once
// Image files in memory to ARGB texels, top row first: PNG through libpng, JPEG through
// libjpeg (CMYK ones through FreeImage), and through FreeImage the other formats whose sides can be read from the header (JPEG, BMP, TGA,
// DDS, GIF, TIFF, PSD, PNM, HDR, EXR, PFM, WebP, ...). Images of other types than plain
// bitmaps (16-bit grey, integer, float) are converted first, floats tone mapped.
#include <cstdint>
#include <vector>

namespace hgeplatform {

// At most this many texels (256 MiB of them) per image, whatever its sides.
constexpr uint64_t kMaxImagePixels = uint64_t(8192) * 8192;

// False for data not recognised or damaged, for formats whose sides cannot be read before
// decoding, and for images larger than `maxSide` on either side or than kMaxImagePixels in
// all: the sides are checked from the header, before the pixels are decoded. `pixels` is
// sized once and written in place; it is left empty on failure.
bool DecodeImage(const void* data, uint32_t size, int maxSide, int* width, int* height,
                 std::vector<uint32_t>* pixels);

}  // namespace hgeplatform
