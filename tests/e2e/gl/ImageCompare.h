#pragma once
// Loads pictures with FreeImage and compares them channel by channel.
#include <FreeImage.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace E2E {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;  // top row first
};

inline bool LoadImage(const std::string& path, Image& image)
{
    const FREE_IMAGE_FORMAT format = FreeImage_GetFileType(path.c_str(), 0);
    if (format == FIF_UNKNOWN)
        return false;
    FIBITMAP* loaded = FreeImage_Load(format, path.c_str(), 0);
    if (!loaded)
        return false;
    FIBITMAP* bitmap = FreeImage_ConvertTo32Bits(loaded);
    FreeImage_Unload(loaded);
    if (!bitmap)
        return false;
    image.width = static_cast<int>(FreeImage_GetWidth(bitmap));
    image.height = static_cast<int>(FreeImage_GetHeight(bitmap));
    image.argb.resize(static_cast<size_t>(image.width) * image.height);
    for (int y = 0; y < image.height; ++y) {
        const BYTE* row = FreeImage_GetScanLine(bitmap, image.height - 1 - y);
        for (int x = 0; x < image.width; ++x) {
            const BYTE* p = row + x * 4;
            image.argb[static_cast<size_t>(y) * image.width + x] =
                0xFF000000u | uint32_t(p[FI_RGBA_RED]) << 16 | uint32_t(p[FI_RGBA_GREEN]) << 8 | p[FI_RGBA_BLUE];
        }
    }
    FreeImage_Unload(bitmap);
    return true;
}

inline bool SavePng(const std::string& path, const Image& image)
{
    FIBITMAP* bitmap = FreeImage_Allocate(image.width, image.height, 24);
    if (!bitmap)
        return false;
    for (int y = 0; y < image.height; ++y) {
        BYTE* row = FreeImage_GetScanLine(bitmap, image.height - 1 - y);
        for (int x = 0; x < image.width; ++x) {
            const uint32_t c = image.argb[static_cast<size_t>(y) * image.width + x];
            row[x * 3 + FI_RGBA_RED] = static_cast<BYTE>(c >> 16);
            row[x * 3 + FI_RGBA_GREEN] = static_cast<BYTE>(c >> 8);
            row[x * 3 + FI_RGBA_BLUE] = static_cast<BYTE>(c);
        }
    }
    const bool saved = FreeImage_Save(FIF_PNG, bitmap, path.c_str(), 0);
    FreeImage_Unload(bitmap);
    return saved;
}

// The largest difference of any channel of any pixel; -1 when the sizes differ.
inline int LargestChannelDifference(const Image& a, const Image& b)
{
    if (a.width != b.width || a.height != b.height)
        return -1;
    int largest = 0;
    for (size_t i = 0; i < a.argb.size(); ++i) {
        for (int shift = 0; shift < 24; shift += 8) {
            const int d = std::abs(int((a.argb[i] >> shift) & 0xFF) - int((b.argb[i] >> shift) & 0xFF));
            if (d > largest)
                largest = d;
        }
    }
    return largest;
}

}  // namespace E2E
