// The list of accepted image formats: each told from its bytes with the sides its header
// claims, and the headers that must not reach a decoder (damaged, inconsistent, or
// promising more pixel data than the file holds).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/image/ImageFormat.h"

namespace {

using imageformat::ImageFormat;
using Bytes = std::vector<uint8_t>;

void Le16(Bytes& b, size_t at, uint32_t v) {
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
void Le32(Bytes& b, size_t at, uint32_t v) {
    Le16(b, at, v & 0xFFFF);
    Le16(b, at + 2, v >> 16);
}
void Be16(Bytes& b, size_t at, uint32_t v) {
    b[at] = uint8_t(v >> 8);
    b[at + 1] = uint8_t(v);
}

Bytes Png(uint32_t w, uint32_t h) {
    Bytes b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    b.resize(33, 0);
    for (int i = 0; i < 4; ++i) {
        b[16 + i] = uint8_t(w >> (24 - 8 * i));
        b[20 + i] = uint8_t(h >> (24 - 8 * i));
    }
    b[24] = 8;
    return b;
}

// Start of image, an APP0 segment, then a baseline frame header of `components`.
Bytes Jpeg(uint32_t w, uint32_t h, uint8_t frame = 0xC0, uint8_t components = 1) {
    Bytes b = {0xFF, 0xD8, 0xFF, 0xE0, 0, 4, 0, 0, 0xFF, frame, 0, 0, 8, 0, 0, 0, 0, components};
    Be16(b, 10, 8 + 3 * uint32_t(components));
    Be16(b, 13, h);
    Be16(b, 15, w);
    for (uint8_t c = 1; c <= components; ++c) b.insert(b.end(), {c, 0x11, 0});
    return b;
}

// Jpeg(w, h) with stray bytes, a stuffed zero among them, after its start of image and
// before its frame header: libjpeg skips them with a warning.
Bytes JpegWithStrayBytes(uint32_t w, uint32_t h) {
    const Bytes stray = {0x00, 0x5A, 0xFF, 0x00, 0x13};
    Bytes b = Jpeg(w, h);
    b.insert(b.begin() + 8, stray.begin(), stray.end());
    b.insert(b.begin() + 2, stray.begin(), stray.end());
    return b;
}

Bytes Bmp(int32_t w, int32_t h, uint16_t depth, uint32_t compression = 0, size_t pixelBytes = SIZE_MAX) {
    const size_t rows = size_t((int64_t(w) * depth + 31) / 32 * 4) * size_t(h < 0 ? -h : h);
    Bytes b(54 + (pixelBytes == SIZE_MAX ? rows : pixelBytes), 0);
    b[0] = 'B';
    b[1] = 'M';
    Le32(b, 10, 54);
    Le32(b, 14, 40);
    Le32(b, 18, uint32_t(w));
    Le32(b, 22, uint32_t(h));
    Le16(b, 26, 1);
    Le16(b, 28, depth);
    Le32(b, 30, compression);
    return b;
}

Bytes Tga(uint32_t w, uint32_t h, uint8_t type, uint8_t depth, uint32_t mapLength = 0) {
    const uint32_t pixelBytes = (type & 8) ? 1 : w * h * ((depth + 7) / 8);
    Bytes b(18 + mapLength * 3 + pixelBytes, 0);
    b[1] = mapLength ? 1 : 0;
    b[2] = type;
    Le16(b, 5, mapLength);
    b[7] = mapLength ? 24 : 0;
    Le16(b, 12, w);
    Le16(b, 14, h);
    b[16] = depth;
    return b;
}

Bytes Gif(uint32_t screenW, uint32_t screenH, uint32_t w, uint32_t h) {
    Bytes b = {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255,
               0x21, 0xF9, 4, 1, 0, 0, 0, 0,                   // a graphic control extension
               0x2C, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 2, 0x4C, 0x01, 0, 0x3B};
    Le16(b, 6, screenW);
    Le16(b, 8, screenH);
    Le16(b, 32, w);
    Le16(b, 34, h);
    return b;
}

Bytes Dds(uint32_t w, uint32_t h, const char* fourCc, uint32_t rgbBits, size_t dataBytes) {
    Bytes b(128 + dataBytes, 0);
    std::memcpy(b.data(), "DDS ", 4);
    Le32(b, 4, 124);
    Le32(b, 12, h);
    Le32(b, 16, w);
    Le32(b, 76, 32);
    if (fourCc) {
        Le32(b, 80, 0x4);
        std::memcpy(b.data() + 84, fourCc, 4);
    } else {
        Le32(b, 80, 0x41);
        Le32(b, 88, rgbBits);
    }
    return b;
}

Bytes Cut(Bytes b, size_t size) {
    b.resize(size);
    return b;
}

TEST(ImageFormat, EachAcceptedFormatIsToldFromItsBytesWithItsSides) {
    struct Case {
        const char* name;
        Bytes file;
        ImageFormat format;
        uint32_t width, height;
    };
    const Case cases[] = {
        {"png", Png(300, 20), ImageFormat::kPng, 300, 20},
        {"jpeg baseline", Jpeg(640, 480), ImageFormat::kJpeg, 640, 480},
        {"jpeg progressive", Jpeg(7, 9, 0xC2), ImageFormat::kJpeg, 7, 9},
        {"jpeg colour", Jpeg(8, 8, 0xC0, 3), ImageFormat::kJpeg, 8, 8},
        {"jpeg cmyk", Jpeg(8, 8, 0xC2, 4), ImageFormat::kJpeg, 8, 8},
        {"jpeg arithmetic", Jpeg(5, 6, 0xC9, 3), ImageFormat::kJpeg, 5, 6},
        {"jpeg progressive arithmetic", Jpeg(6, 5, 0xCA), ImageFormat::kJpeg, 6, 5},
        {"jpeg with stray bytes before markers", JpegWithStrayBytes(33, 44), ImageFormat::kJpeg, 33, 44},
        {"bmp 24", Bmp(3, 2, 24), ImageFormat::kBmp, 3, 2},
        {"bmp top-down", Bmp(3, -2, 8), ImageFormat::kBmp, 3, 2},
        {"bmp run-length 8", Bmp(300, 200, 8, 1, 10), ImageFormat::kBmp, 300, 200},
        {"tga true colour", Tga(4, 3, 2, 32), ImageFormat::kTga, 4, 3},
        {"tga indexed", Tga(4, 3, 1, 8, 16), ImageFormat::kTga, 4, 3},
        {"tga grey run-length", Tga(40, 3, 11, 8), ImageFormat::kTga, 40, 3},
        {"gif", Gif(5, 6, 5, 6), ImageFormat::kGif, 5, 6},
        // The decoder allocates for the larger of the screen and the first image.
        {"gif image beyond its screen", Gif(2, 2, 900, 3), ImageFormat::kGif, 900, 3},
        {"dds dxt1", Dds(5, 5, "DXT1", 0, 4 * 8), ImageFormat::kDds, 5, 5},
        {"dds dxt5", Dds(8, 4, "DXT5", 0, 2 * 16), ImageFormat::kDds, 8, 4},
        {"dds 32-bit", Dds(3, 2, nullptr, 32, 24), ImageFormat::kDds, 3, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const imageformat::ImageHeader header = imageformat::ReadImageHeader(c.file.data(), c.file.size());
        EXPECT_EQ(c.format, header.format);
        EXPECT_EQ(c.width, header.width);
        EXPECT_EQ(c.height, header.height);
    }
}

TEST(ImageFormat, HeadersThatCannotBeTrustedAreOfNoFormat) {
    Bytes bmpDepth = Bmp(2, 2, 24, 1);  // run-length 8 with 24 bits
    Bytes bmpPlanes = Bmp(2, 2, 24);
    bmpPlanes[26] = 2;
    Bytes bmpColours = Bmp(2, 2, 4);
    Le32(bmpColours, 46, 17);  // more colours than 4 bits index
    Bytes bmpInfo = Bmp(2, 2, 24);
    Le32(bmpInfo, 14, 64);  // an information header of another family
    Bytes bmpPixelsAt = Bmp(2, 2, 24);
    Le32(bmpPixelsAt, 10, 20);  // pixels inside the header
    Bytes tgaMap = Tga(4, 3, 1, 8, 300);  // more palette entries than 8 bits index
    Bytes tgaInterleaved = Tga(4, 3, 2, 24);
    tgaInterleaved[17] = 0x40;
    Bytes jpegNoLength = Jpeg(4, 4);
    jpegNoLength[5] = 1;  // a segment shorter than its own length field
    Bytes jpegLongFrame = Jpeg(8, 8, 0xC0, 3);
    jpegLongFrame[11] += 3;  // room for a fourth component the count does not give
    jpegLongFrame.resize(jpegLongFrame.size() + 3);
    const Bytes jpegScanFirst = {0xFF, 0xD8, 0xFF, 0xDA, 0, 2, 0xFF, 0xC0, 0, 11, 8, 0, 4, 0, 4, 1, 1, 0x11, 0};
    const struct {
        const char* name;
        Bytes file;
    } cases[] = {
        {"empty", {}},
        {"png signature alone", Cut(Png(2, 2), 8)},
        {"png without IHDR first", [] { Bytes b = Png(2, 2); b[12] = 'i'; return b; }()},
        {"png of zero width", Png(0, 4)},
        {"png wider than 2^31", Png(0x80000000u, 1)},
        {"jpeg of zero height", Jpeg(4, 0)},
        {"jpeg cut before its frame", Cut(Jpeg(4, 4), 12)},
        {"jpeg with a segment of length 1", jpegNoLength},
        {"jpeg scan before its frame", jpegScanFirst},
        {"jpeg huffman table taken for a frame", Jpeg(4, 4, 0xC4)},
        {"jpeg arithmetic table taken for a frame", Jpeg(4, 4, 0xCC)},
        {"jpeg of stray bytes to its end", {0xFF, 0xD8, 0x00, 0x5A, 0xFF, 0x00, 0x13, 0, 0, 0, 0, 0}},
        // libjpeg knows no colours for these; readers that trust its bytes a pixel overflow.
        {"jpeg of no components", Jpeg(8, 8, 0xC0, 0)},
        {"jpeg of 2 components", Jpeg(8, 8, 0xC0, 2)},
        {"jpeg of 5 components", Jpeg(8, 8, 0xC2, 5)},
        {"jpeg of 10 components", Jpeg(8, 8, 0xC2, 10)},
        {"jpeg frame longer than its components", jpegLongFrame},
        {"bmp with rows missing", Bmp(4, 4, 24, 0, 47)},
        {"bmp claiming 100000 x 100000 in 16 bytes", Bmp(100000, 100000, 24, 0, 16)},
        {"bmp of negative width", Bmp(-4, 4, 24, 0, 64)},
        {"bmp run-length 8 with 24 bits", bmpDepth},
        {"bmp top-down run-length", Bmp(4, -4, 8, 1, 10)},
        {"bmp embedding a jpeg", Bmp(4, 4, 0, 4, 10)},
        {"bmp of two planes", bmpPlanes},
        {"bmp with more colours than its depth", bmpColours},
        {"bmp with an unknown header size", bmpInfo},
        {"bmp with pixels inside its header", bmpPixelsAt},
        {"tga with pixels missing", Cut(Tga(4, 3, 2, 24), 18 + 35)},
        {"tga 8-bit indexed without a map", Tga(4, 3, 1, 8)},
        {"tga with a map too long for its indexes", tgaMap},
        {"tga of 7 bits", Tga(4, 3, 2, 7)},
        {"tga of an unknown type", Tga(4, 3, 4, 24)},
        {"tga interleaved", tgaInterleaved},
        {"tga of zero width", Tga(0, 3, 2, 24)},
        {"tga run-length claiming more texels than its runs can make", Tga(400, 300, 11, 8)},
        {"gif cut inside its extension", Cut(Gif(2, 2, 2, 2), 22)},
        {"gif without an image", Cut(Gif(2, 2, 2, 2), 27)},
        {"gif of a zero-height image", Gif(2, 2, 2, 0)},
        {"gif of a zero-width screen", Gif(0, 2, 2, 2)},
        {"dds dxt1 blocks missing", Dds(8, 8, "DXT1", 0, 4 * 8 - 1)},
        {"dds of a format off the list", Dds(4, 4, "DX10", 0, 64)},
        {"dds of 16-bit colours", Dds(2, 2, nullptr, 16, 8)},
        {"dds claiming 2^30 square", Dds(1u << 30, 1u << 30, "DXT1", 0, 8)},
        {"garbage", Bytes(64, 0x5A)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const imageformat::ImageHeader header = imageformat::ReadImageHeader(c.file.data(), c.file.size());
        EXPECT_EQ(ImageFormat::kNone, header.format) << imageformat::FormatName(header.format);
        EXPECT_EQ(0u, header.width);
        EXPECT_EQ(0u, header.height);
    }
}

// Every byte of a short file is read through bounds checks: each prefix of each accepted
// file is either refused or told with the same sides (the full file's).
TEST(ImageFormat, EveryPrefixIsReadWithinItsBytes) {
    for (const Bytes& file : {Png(9, 9), Jpeg(9, 9), JpegWithStrayBytes(9, 9), Bmp(3, 3, 8), Tga(3, 3, 2, 24), Gif(3, 3, 3, 3),
                              Dds(4, 4, "DXT3", 0, 16)}) {
        const imageformat::ImageHeader whole = imageformat::ReadImageHeader(file.data(), file.size());
        ASSERT_NE(ImageFormat::kNone, whole.format);
        for (size_t size = 0; size < file.size(); ++size) {
            // A copy of exactly `size` bytes, so that a read past its end is a sanitizer fault.
            const Bytes prefix(file.begin(), file.begin() + long(size));
            const imageformat::ImageHeader header = imageformat::ReadImageHeader(prefix.data(), prefix.size());
            if (header.format != ImageFormat::kNone) {
                EXPECT_EQ(whole.width, header.width) << size;
                EXPECT_EQ(whole.height, header.height) << size;
            }
        }
    }
}

}  // namespace
