#include "platform/hge/ImageDecoder.h"

#include <FreeImage.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>

#include "platform/hge/JpegDecoder.h"
#include "platform/hge/PngDecoder.h"

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

unsigned Le16(const uint8_t* p) { return unsigned(p[0]) | unsigned(p[1]) << 8; }
uint32_t Le32(const uint8_t* p) { return uint32_t(Le16(p)) | uint32_t(Le16(p + 2)) << 16; }

// FreeImage cannot read a GIF's header alone: the logical screen and the first image
// descriptor, whose size the decoder allocates, are found here. Every step moves forward
// through the bytes, so the walk ends.
bool GifFits(const uint8_t* data, uint32_t size, const Limits& limits) {
    if (size < 13 || !limits.Fit(Le16(data + 6), Le16(data + 8))) return false;
    uint64_t at = 13;
    if (data[10] & 0x80) at += 3u << ((data[10] & 7) + 1);
    while (at < size) {
        const uint8_t block = data[at];
        if (block == 0x2C) return size - at >= 10 && limits.Fit(Le16(data + at + 5), Le16(data + at + 7));
        if (block != 0x21 || size - at < 2) return false;
        at += 2;
        for (;;) {
            if (at >= size) return false;
            const unsigned length = data[at];
            at += 1 + length;
            if (length == 0) break;
        }
    }
    return false;
}

// A DDS file's sides sit at fixed places of its 128-byte header; only the top surface is
// decoded.
bool DdsFits(const uint8_t* data, uint32_t size, const Limits& limits) {
    return size >= 128 && Le32(data + 4) == 124 && limits.Fit(Le32(data + 16), Le32(data + 12));
}

// Whether the file may be decoded, from its header alone: a few bytes can claim a
// picture of many gigabytes. Formats whose header cannot be read on its own are refused.
bool HeaderFits(FREE_IMAGE_FORMAT fif, FIMEMORY* mem, const uint8_t* data, uint32_t size, const Limits& limits) {
    if (fif == FIF_GIF) return GifFits(data, size, limits);
    if (fif == FIF_DDS) return DdsFits(data, size, limits);
    // Camera raw files are no textures, and their decoder sizes its work from the sensor.
    if (fif == FIF_RAW || !FreeImage_FIFSupportsNoPixels(fif)) return false;
    FIBITMAP* header = FreeImage_LoadFromMemory(fif, mem, FIF_LOAD_NOPIXELS);
    if (!header) return false;
    const bool fits = limits.Fit(FreeImage_GetWidth(header), FreeImage_GetHeight(header));
    FreeImage_Unload(header);
    FreeImage_SeekMemory(mem, 0, SEEK_SET);
    return fits;
}

// A standard bitmap of 1 to 32 bits from any image type FreeImage decodes; null when
// there is none. `image` is consumed.
FIBITMAP* ToStandardBitmap(FIBITMAP* image) {
    FIBITMAP* out = nullptr;
    switch (FreeImage_GetImageType(image)) {
        case FIT_BITMAP:
            return image;
        case FIT_UINT16:  // 16-bit grey: the high byte, as 16-bit colours lose their low one
        case FIT_RGB16:
        case FIT_RGBA16:
            out = FreeImage_GetImageType(image) == FIT_UINT16 ? FreeImage_ConvertTo8Bits(image)
                                                               : FreeImage_ConvertTo32Bits(image);
            break;
        case FIT_RGBF:
        case FIT_RGBAF: {
            // High dynamic range colours are tone mapped; alpha is a plain 0..1 value.
            FIBITMAP* mapped = FreeImage_ToneMapping(image, FITMO_DRAGO03);
            out = mapped ? FreeImage_ConvertTo32Bits(mapped) : nullptr;
            if (mapped) FreeImage_Unload(mapped);
            if (out && FreeImage_GetImageType(image) == FIT_RGBAF) {
                const unsigned w = FreeImage_GetWidth(image), h = FreeImage_GetHeight(image);
                for (unsigned y = 0; y < h; ++y) {
                    const FIRGBAF* from = reinterpret_cast<const FIRGBAF*>(FreeImage_GetScanLine(image, int(y)));
                    BYTE* to = FreeImage_GetScanLine(out, int(y));
                    for (unsigned x = 0; x < w; ++x) {
                        // Written so that a NaN alpha reads as 0 (clamp would pass it on).
                        const float a = from[x].alpha;
                        const float alpha = a > 0.0f ? (a < 1.0f ? a : 1.0f) : 0.0f;
                        to[x * 4 + FI_RGBA_ALPHA] = BYTE(alpha * 255.0f + 0.5f);
                    }
                }
            }
            break;
        }
        case FIT_INT16:
        case FIT_UINT32:
        case FIT_INT32:
        case FIT_FLOAT:
        case FIT_DOUBLE:
            // Grey values of any range: scaled from their least to their greatest.
            out = FreeImage_ConvertToStandardType(image, TRUE);
            break;
        default:
            break;
    }
    FreeImage_Unload(image);
    return out;
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

bool DecodeWithFreeImage(const uint8_t* data, uint32_t size, const Limits& limits, int* width, int* height,
                         std::vector<uint32_t>* pixels) {
    InitFreeImage();
    FIMEMORY* mem = FreeImage_OpenMemory(const_cast<BYTE*>(data), size);
    if (!mem) return false;
    bool ok = false;
    const FREE_IMAGE_FORMAT fif = FreeImage_GetFileTypeFromMemory(mem, 0);
    if (fif != FIF_UNKNOWN && FreeImage_FIFSupportsReading(fif) && HeaderFits(fif, mem, data, size, limits)) {
        FIBITMAP* image = FreeImage_LoadFromMemory(fif, mem, 0);
        if (image) image = ToStandardBitmap(image);
        if (image) {
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
            FreeImage_Unload(image);
        }
    }
    FreeImage_CloseMemory(mem);
    return ok;
}

}  // namespace

bool DecodeImage(const void* data, uint32_t size, int maxSide, int* width, int* height,
                 std::vector<uint32_t>* pixels) {
    if (!data || size == 0 || maxSide <= 0) return false;
    const Limits limits{maxSide};
    bool ok = false;
    if (IsPng(data, size)) {
        ok = DecodePng(data, size, maxSide, kMaxImagePixels, width, height, pixels);
    } else {
        const JpegResult jpeg = DecodeJpeg(data, size, maxSide, kMaxImagePixels, width, height, pixels);
        ok = jpeg == JpegResult::kNotHandled
                 ? DecodeWithFreeImage(static_cast<const uint8_t*>(data), size, limits, width, height, pixels)
                 : jpeg == JpegResult::kDecoded;
    }
    if (!ok) pixels->clear();
    return ok;
}

}  // namespace hgeplatform
