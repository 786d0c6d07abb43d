// TGA files decoded by our own code: every pixel kind, both row orders and directions,
// run-length packets across rows, colour maps that start past index 0 or come with
// true-colour pixels, and pixel data that ends early.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/image/TgaDecoder.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Header(uint8_t type, uint16_t w, uint16_t h, uint8_t depth, uint8_t descriptor, uint16_t mapFirst = 0,
             uint16_t mapLength = 0, uint8_t mapDepth = 0) {
    return {0,
            uint8_t(mapLength ? 1 : 0),
            type,
            uint8_t(mapFirst),
            uint8_t(mapFirst >> 8),
            uint8_t(mapLength),
            uint8_t(mapLength >> 8),
            mapDepth,
            0,
            0,
            0,
            0,
            uint8_t(w),
            uint8_t(w >> 8),
            uint8_t(h),
            uint8_t(h >> 8),
            depth,
            descriptor};
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(TgaDecoder, EveryKindOfPixelLandsTopRowFirst) {
    struct Case {
        const char* name;
        Bytes file;
        std::vector<uint32_t> texels;  // ARGB, top row first
    };
    const Case cases[] = {
        // Bottom row first (the default): the file's first pixel is the bottom left.
        {"24-bit bottom first", Header(2, 2, 2, 24, 0) + Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12},
         {0xFF090807, 0xFF0C0B0A, 0xFF030201, 0xFF060504}},
        {"32-bit top first", Header(2, 2, 1, 32, 0x28) + Bytes{1, 2, 3, 0x80, 4, 5, 6, 0},
         {0x80030201, 0x00060504}},
        {"24-bit top first, right to left", Header(2, 2, 1, 24, 0x30) + Bytes{1, 2, 3, 4, 5, 6},
         {0xFF060504, 0xFF030201}},
        // 16 bits: 5 per channel; the top bit is alpha only with one alpha bit declared.
        {"16-bit with an alpha bit", Header(2, 2, 1, 16, 0x21) + Bytes{0x1F, 0x00, 0x00, 0xFC},
         {0x000000FF, 0xFFFF0000}},
        {"15-bit", Header(2, 1, 1, 15, 0x20) + Bytes{0xE0, 0x03}, {0xFF00FF00}},
        {"grey", Header(3, 2, 1, 8, 0x20) + Bytes{0x00, 0x7F}, {0xFF000000, 0xFF7F7F7F}},
        // A map of two 24-bit entries that starts at index 5.
        {"indexed, map from 5", Header(1, 2, 1, 8, 0x20, 5, 2, 24) + Bytes{1, 2, 3, 4, 5, 6} + Bytes{6, 5},
         {0xFF060504, 0xFF030201}},
        {"indexed, index off the map", Header(1, 1, 1, 8, 0x20, 0, 1, 24) + Bytes{1, 2, 3} + Bytes{9},
         {0xFF000000}},
        // A true-colour file may carry a colour map: its entries come before the pixels.
        {"24-bit with a map", Header(2, 1, 1, 24, 0x20, 0, 2, 24) + Bytes{1, 2, 3, 4, 5, 6} + Bytes{7, 8, 9},
         {0xFF090807}},
        // A run of 3 then 3 raw pixels, over rows of 2.
        {"run-length across rows", Header(10, 2, 3, 24, 0x20) + Bytes{0x82, 1, 2, 3, 0x02, 4, 5, 6, 7, 8, 9, 10, 11, 12},
         {0xFF030201, 0xFF030201, 0xFF030201, 0xFF060504, 0xFF090807, 0xFF0C0B0A}},
        // A run longer than the picture is cut at its end.
        {"run past the end", Header(11, 2, 1, 8, 0x20) + Bytes{0xFF, 0x40}, {0xFF404040, 0xFF404040}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        imageformat::TgaImage image;
        ASSERT_TRUE(imageformat::DecodeTga(c.file.data(), c.file.size(), 1 << 20, &image));
        std::vector<uint32_t> texels = image.texels;
        if (image.indexed) {
            texels.clear();
            for (uint8_t index : image.indexes) texels.push_back(image.palette[index]);
        }
        EXPECT_EQ(c.texels, texels);
    }
}

TEST(TgaDecoder, DataThatEndsEarlyOrTooManyTexelsAreRefused) {
    const struct {
        const char* name;
        Bytes file;
        uint64_t maxPixels;
    } cases[] = {
        {"a raw packet cut short", Header(10, 2, 2, 24, 0) + Bytes{0x03, 1, 2, 3, 4, 5, 6}, 100},
        {"a run without its pixel", Header(10, 2, 2, 24, 0) + Bytes{0x83, 1, 2}, 100},
        {"packets that stop before the last row", Header(11, 2, 2, 8, 0) + Bytes{0x81, 7}, 100},
        {"more texels than allowed", Header(2, 4, 4, 8 + 16, 0) + Bytes(48, 0), 15},
        {"no tga", Bytes{'B', 'M', 0, 0}, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        imageformat::TgaImage image;
        image.width = 9;
        EXPECT_FALSE(imageformat::DecodeTga(c.file.data(), c.file.size(), c.maxPixels, &image));
        EXPECT_EQ(0u, image.width);
        EXPECT_TRUE(image.texels.empty());
        EXPECT_TRUE(image.indexes.empty());
    }
}

}  // namespace
