#pragma once
// Image files in memory to ARGB texels, top row first. Only the formats of
// platform/image/ImageFormat.h are taken, told from the bytes, with their headers checked
// there before any decoder runs: PNG through libpng, JPEG and TGA through
// platform/image's own decoders, and BMP, GIF and DDS through FreeImage, which is told the
// format. Every other format is refused unread. The decoders' memory is bounded by the
// final texels: each accepted format decodes to at most 32 bits a texel, and the one copy
// besides the decoder's own is the result.
#include <cstdint>
#include <vector>

namespace hgeplatform {

// At most this many texels (256 MiB of them) per image, whatever its sides.
constexpr uint64_t kMaxImagePixels = uint64_t(8192) * 8192;

// False for data of no accepted format or damaged, and for images larger than `maxSide`
// on either side or than kMaxImagePixels in all: the sides are checked from the header,
// before the pixels are decoded. `pixels` is sized once and written in place; it is left
// empty on failure.
bool DecodeImage(const void* data, uint32_t size, int maxSide, int* width, int* height,
                 std::vector<uint32_t>* pixels);

}  // namespace hgeplatform
