// Texture files from memory, decoded to texels as the texture loader does: the format told
// from the bytes and its header checked first, then PNG of every kind through libpng, JPEG
// (grey, colour, CMYK) and TGA through our own decoders, BMP, GIF and DDS through
// FreeImage, palettes with see-through entries. Every other format must be refused unread.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/hge/ImageDecoder.h"

namespace {

// Small enough that a few bytes claiming the largest allowed picture still decode within
// the run's time limit; the checks are the same for any limit.
const int kMaxSide = 2048;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 0xFFFFFFFFu)
        return 0;
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    if (!hgeplatform::DecodeImage(data, uint32_t(size), kMaxSide, &width, &height, &pixels)) {
        if (!pixels.empty())
            std::abort();  // a refused file leaves no texels
        return 0;
    }
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        pixels.size() != size_t(width) * size_t(height))
        std::abort();  // a decoded picture has the size it reports, within the limits
    // Every texel is readable where the texture store will read it.
    volatile uint32_t sum = 0;
    for (uint32_t texel : pixels)
        sum = sum + texel;
    return 0;
}
