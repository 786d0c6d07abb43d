// Alpha and mask images: the accepted formats told from the bytes, the header-first checks,
// widening to 8 bits, and every pixel's palette entry as the Sprite script class reads it.
#include <cstdint>
#include <cstdlib>

#include "game/FreeImageLibEx/Picture.h"
#include "platform/image/ImageFormat.h"

namespace {

// As the texture target: small enough that a few bytes claiming the largest allowed
// picture still decode and are walked within the run's time limit; the checks are the same
// for any side.
const uint32_t kMaxSide = 2048;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const imageformat::ImageHeader header = imageformat::ReadImageHeader(data, size);
    if (header.width > kMaxSide || header.height > kMaxSide)
        return 0;
    FreeImageLibEx::Picture picture;
    // FreeImage reads the block in place; it never writes to it.
    if (!picture.Load(const_cast<unsigned char*>(data), static_cast<unsigned long>(size), FIF_UNKNOWN))
        return 0;
    int width = 0, height = 0, bits = 0;
    if (!picture.GetInfo(width, height, bits) || width <= 0 || height <= 0 ||
        uint64_t(width) * uint64_t(height) > FreeImageLibEx::Picture::kMaxPixels)
        std::abort();  // a loaded picture has a size within the limits
    if (bits < 8)
        picture.ConvertTo8();
    unsigned pitch = 0;
    unsigned char* pixels = nullptr;
    if (!picture.GetInfo(width, height, bits) || bits != 8 || !picture.GetPitch(pitch) || !picture.GetBits(pixels) ||
        !pixels)
        return 0;
    if (pitch < unsigned(width))
        std::abort();
    unsigned sum = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            unsigned char r = 0, g = 0, b = 0;
            if (picture.GetColor(pixels[size_t(y) * pitch + size_t(x)], r, g, b))
                sum += r;
        }
    uint32_t colour = 0;
    picture.GetPixelColor(unsigned(width - 1), unsigned(height - 1), colour);
    return sum == 0xFFFFFFFFu ? 1 : 0;
}
