#pragma once
// Image files made by the tests with FreeImage: palettised pictures whose palette differs
// per channel, and true-colour ones, encoded in memory as a content file would be.
#include <FreeImage.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace TestSupport {

struct PaletteEntry {
    unsigned char red, green, blue;
};

// The bytes of the open memory stream, then the stream closed.
inline std::vector<unsigned char> Encode(FIBITMAP* bitmap, FREE_IMAGE_FORMAT format)
{
    std::vector<unsigned char> bytes;
    FIMEMORY* stream = FreeImage_OpenMemory(nullptr, 0);
    if (stream && FreeImage_SaveToMemory(format, bitmap, stream, 0)) {
        BYTE* data = nullptr;
        DWORD size = 0;
        if (FreeImage_AcquireMemory(stream, &data, &size))
            bytes.assign(data, data + size);
    }
    if (stream)
        FreeImage_CloseMemory(stream);
    FreeImage_Unload(bitmap);
    return bytes;
}

// A palettised picture of 1, 4 or 8 bits; index(x, y) with y counted from the top.
inline FIBITMAP* MakePalettised(int width, int height, int bitsPerPixel, const std::vector<PaletteEntry>& palette,
                                const std::function<unsigned(int, int)>& index)
{
    FIBITMAP* bitmap = FreeImage_Allocate(width, height, bitsPerPixel, 0, 0, 0);
    RGBQUAD* entries = FreeImage_GetPalette(bitmap);
    for (size_t i = 0; i < palette.size() && i < FreeImage_GetColorsUsed(bitmap); ++i) {
        entries[i].rgbRed = palette[i].red;
        entries[i].rgbGreen = palette[i].green;
        entries[i].rgbBlue = palette[i].blue;
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            BYTE value = static_cast<BYTE>(index(x, y));
            FreeImage_SetPixelIndex(bitmap, x, height - 1 - y, &value);
        }
    return bitmap;
}

// A 24- or 32-bit picture; argb(x, y) with y counted from the top.
inline FIBITMAP* MakeTrueColour(int width, int height, int bitsPerPixel, const std::function<uint32_t(int, int)>& argb)
{
    FIBITMAP* bitmap = FreeImage_Allocate(width, height, bitsPerPixel, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK,
                                          FI_RGBA_BLUE_MASK);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t c = argb(x, y);
            RGBQUAD q;
            q.rgbRed = static_cast<BYTE>(c >> 16);
            q.rgbGreen = static_cast<BYTE>(c >> 8);
            q.rgbBlue = static_cast<BYTE>(c);
            q.rgbReserved = static_cast<BYTE>(c >> 24);
            FreeImage_SetPixelColor(bitmap, x, height - 1 - y, &q);
        }
    return bitmap;
}

// A palette of `count` entries whose red, green and blue all differ.
inline std::vector<PaletteEntry> SkewedPalette(int count)
{
    std::vector<PaletteEntry> palette;
    for (int i = 0; i < count; ++i)
        palette.push_back({static_cast<unsigned char>((i * 67 + 13) & 0xFF), static_cast<unsigned char>(255 - i),
                           static_cast<unsigned char>((i * 29) ^ 0x5A)});
    return palette;
}

}  // namespace TestSupport
