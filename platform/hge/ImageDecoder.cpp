#include "platform/hge/ImageDecoder.h"

#include <FreeImage.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>

#include "platform/hge/PngDecoder.h"
#include "platform/image/ImageFormat.h"
#include "platform/image/JpegDecoder.h"
#include "platform/image/TgaDecoder.h"

namespace hgeplatform {

namespace {

// Once per process, never undone: other parts of the program use FreeImage too.
void InitFreeImage() {
    static std::once_flag once;
    std::call_once(once, [] { FreeImage_Initialise(FALSE); });
}

struct Limits {
    int maxSide;
    bool Fit(uint64_t w, uint64_t h) const {
        return w > 0 && h > 0 && w <= uint64_t(maxSide) && h <= uint64_t(maxSide) && w * h <= kMaxImagePixels;
    }
};

FREE_IMAGE_FORMAT FreeImageFormat(imageformat::ImageFormat format) {
    switch (format) {
        case imageformat::ImageFormat::kBmp: return FIF_BMP;
        case imageformat::ImageFormat::kGif: return FIF_GIF;
        case imageformat::ImageFormat::kDds: return FIF_DDS;
        default: return FIF_UNKNOWN;
    }
}

// The texel of every palette index: the palette's colour with the transparency table's
// alpha (opaque beyond the table). Indexes beyond the palette are opaque black.
void PaletteTexels(FIBITMAP* image, uint32_t* lut) {
    std::fill(lut, lut + 256, 0xFF000000u);
    const RGBQUAD* palette = FreeImage_GetPalette(image);
    const unsigned colours = std::min(FreeImage_GetColorsUsed(image), 256u);
    const BYTE* alpha = FreeImage_IsTransparent(image) ? FreeImage_GetTransparencyTable(image) : nullptr;
    const unsigned alphas = alpha ? std::min(unsigned(FreeImage_GetTransparencyCount(image)), 256u) : 0;
    for (unsigned i = 0; palette && i < colours; ++i)
        lut[i] = uint32_t(i < alphas ? alpha[i] : 255) << 24 | uint32_t(palette[i].rgbRed) << 16 |
                 uint32_t(palette[i].rgbGreen) << 8 | palette[i].rgbBlue;
}

// Writes the standard bitmap's texels, top row first, into `pixels`, which is sized
// here: the only copy besides the decoder's own.
bool CopyTexels(FIBITMAP* image, std::vector<uint32_t>* pixels) {
    const unsigned w = FreeImage_GetWidth(image), h = FreeImage_GetHeight(image);
    const unsigned bpp = FreeImage_GetBPP(image);
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
    const bool is565 = bpp == 16 && FreeImage_GetRedMask(image) == FI16_565_RED_MASK &&
                       FreeImage_GetGreenMask(image) == FI16_565_GREEN_MASK &&
                       FreeImage_GetBlueMask(image) == FI16_565_BLUE_MASK;
    uint32_t lut[256];
    if (bpp <= 8) PaletteTexels(image, lut);
    pixels->resize(size_t(w) * h);
    for (unsigned y = 0; y < h; ++y) {
        // FreeImage keeps rows bottom-up, texels as B, G, R, A bytes.
        const BYTE* from = FreeImage_GetScanLine(image, int(h - 1 - y));
        uint32_t* to = pixels->data() + size_t(y) * w;
        BYTE* bytes = reinterpret_cast<BYTE*>(to);
        switch (bpp) {
            case 1:
                for (unsigned x = 0; x < w; ++x) to[x] = lut[(from[x >> 3] >> (7 - (x & 7))) & 1];
                break;
            case 4:
                for (unsigned x = 0; x < w; ++x) to[x] = lut[(from[x >> 1] >> ((x & 1) ? 0 : 4)) & 15];
                break;
            case 8:
                for (unsigned x = 0; x < w; ++x) to[x] = lut[from[x]];
                break;
            case 16:
                if (is565)
                    FreeImage_ConvertLine16To32_565(bytes, const_cast<BYTE*>(from), int(w));
                else
                    FreeImage_ConvertLine16To32_555(bytes, const_cast<BYTE*>(from), int(w));
                break;
            case 24:
                FreeImage_ConvertLine24To32(bytes, const_cast<BYTE*>(from), int(w));
                break;
            default:
                std::memcpy(to, from, size_t(w) * 4);
                break;
        }
    }
    return true;
}

// TGA is decoded by our own code: FreeImage's reader trusts the file's run lengths and
// extension area.
bool DecodeTgaTexels(const void* data, uint32_t size, int* width, int* height, std::vector<uint32_t>* pixels) {
    imageformat::TgaImage image;
    if (!imageformat::DecodeTga(data, size, kMaxImagePixels, &image)) return false;
    try {
        if (image.indexed) {
            pixels->resize(image.indexes.size());
            for (size_t i = 0; i < image.indexes.size(); ++i) (*pixels)[i] = image.palette[image.indexes[i]];
        } else {
            pixels->swap(image.texels);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    *width = int(image.width);
    *height = int(image.height);
    return true;
}

// JPEG is decoded by our own code too, straight into the texels: FreeImage's reader trusts
// libjpeg's count of bytes a pixel and knows no bound on the work of many scans.
class JpegTexels : public imageformat::JpegRows {
public:
    JpegTexels(const Limits& limits, std::vector<uint32_t>* pixels) : limits_(limits), pixels_(pixels) {}
    bool Start(uint32_t width, uint32_t height, bool) override {
        if (!limits_.Fit(width, height)) return false;
        pixels_->resize(size_t(width) * height);
        width_ = width;
        height_ = height;
        return true;
    }
    uint32_t* Row(uint32_t y) override { return pixels_->data() + size_t(y) * width_; }
    int width() const { return int(width_); }
    int height() const { return int(height_); }

private:
    const Limits& limits_;
    std::vector<uint32_t>* pixels_;
    uint32_t width_ = 0, height_ = 0;
};

// The formats FreeImage decodes here hold plain bitmaps of 1 to 32 bits only.
bool DecodeWithFreeImage(FREE_IMAGE_FORMAT fif, const uint8_t* data, uint32_t size, const Limits& limits,
                         int* width, int* height, std::vector<uint32_t>* pixels) {
    InitFreeImage();
    FIMEMORY* mem = FreeImage_OpenMemory(const_cast<BYTE*>(data), size);
    if (!mem) return false;
    bool ok = false;
    FIBITMAP* image = FreeImage_LoadFromMemory(fif, mem, 0);
    if (image && FreeImage_GetImageType(image) == FIT_BITMAP) {
        const unsigned w = FreeImage_GetWidth(image), h = FreeImage_GetHeight(image);
        try {
            ok = limits.Fit(w, h) && CopyTexels(image, pixels);
        } catch (const std::bad_alloc&) {
            ok = false;
        }
        if (ok) {
            *width = int(w);
            *height = int(h);
        }
    }
    if (image) FreeImage_Unload(image);
    FreeImage_CloseMemory(mem);
    return ok;
}

}  // namespace

bool DecodeImage(const void* data, uint32_t size, int maxSide, int* width, int* height,
                 std::vector<uint32_t>* pixels) {
    if (!data || size == 0 || maxSide <= 0) return false;
    const Limits limits{maxSide};
    const imageformat::ImageHeader header = imageformat::ReadImageHeader(data, size);
    if (header.format == imageformat::ImageFormat::kNone || !limits.Fit(header.width, header.height)) return false;
    bool ok = false;
    if (header.format == imageformat::ImageFormat::kPng) {
        ok = DecodePng(data, size, maxSide, kMaxImagePixels, width, height, pixels);
    } else if (header.format == imageformat::ImageFormat::kTga) {
        ok = DecodeTgaTexels(data, size, width, height, pixels);
    } else if (header.format == imageformat::ImageFormat::kJpeg) {
        JpegTexels texels(limits, pixels);
        ok = imageformat::DecodeJpeg(data, size, kMaxImagePixels, &texels);
        if (ok) {
            *width = texels.width();
            *height = texels.height();
        }
    } else {
        ok = DecodeWithFreeImage(FreeImageFormat(header.format), static_cast<const uint8_t*>(data), size, limits,
                                 width, height, pixels);
    }
    if (!ok) pixels->clear();
    return ok;
}

}  // namespace hgeplatform
