// Image files to texels: every kind of PNG and JPEG, and BMP, TGA, GIF and DDS through
// FreeImage; files that once overflowed a buffer or took minutes; formats off the list refused unread; headers that claim more than the caller
// allows, and damaged files.
#include <FreeImage.h>
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "platform/hge/ImageDecoder.h"
#include "platform/image/ImageFormat.h"
#include "platform/image/JpegDecoder.h"
#include "tests/support/CostlyImages.h"
#include "tests/support/HostileImages.h"
#include "tests/support/JpegWriter.h"
#include "tests/support/PeakMemory.h"

namespace {

using Bytes = std::vector<uint8_t>;

using TestSupport::PeakResidentKib;

void Put32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

// A 24-bit BMP whose header claims width x height; `pixelBytes` of pixel data follow.
Bytes Bmp(uint32_t width, uint32_t height, size_t pixelBytes) {
    Bytes b(54 + pixelBytes, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, uint32_t(b.size()));
    Put32(b, 10, 54);
    Put32(b, 14, 40);
    Put32(b, 18, width);
    Put32(b, 22, height);
    b[26] = 1;   // planes
    b[28] = 24;  // bits per pixel
    return b;
}

struct Decoded {
    bool ok = false;
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
};

Decoded Decode(const Bytes& file, int maxSide = 16384) {
    Decoded d;
    d.ok = hgeplatform::DecodeImage(file.data(), uint32_t(file.size()), maxSide, &d.width, &d.height, &d.pixels);
    return d;
}

// ---- PNG files of every colour type, depth and interlacing, written with libpng ----

struct PngKind {
    const char* name;
    int colourType;
    int depth;
    bool transparent;  // a tRNS chunk: palette alphas, or one transparent grey or colour
    bool interlaced;
};

int Channels(int colourType) {
    switch (colourType) {
        case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
        case PNG_COLOR_TYPE_RGB: return 3;
        case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
        default: return 1;
    }
}

const int kPngW = 13, kPngH = 7;  // odd sides: every interlace pass has texels, rows end mid-byte
unsigned PaletteSize(int depth) { return depth == 1 ? 2u : depth == 2 ? 4u : 6u; }

// The file's sample of channel `c` at (x, y).
unsigned Sample(const PngKind& k, int x, int y, int c) {
    if (k.colourType == PNG_COLOR_TYPE_PALETTE) return unsigned(x + 3 * y) % PaletteSize(k.depth);
    const unsigned max = (1u << k.depth) - 1;
    if (k.depth == 16) return (unsigned(x) * 4099u + unsigned(y) * 3341u + unsigned(c) * 911u) & max;
    return (unsigned(x) * 7u + unsigned(y) * 13u + unsigned(c) * 5u) & max;
}

png_color PaletteColour(int i) { return {png_byte(10 + 40 * i), png_byte(200 - 30 * i), png_byte(5 * i + 1)}; }
uint8_t PaletteAlpha(int i) { return i < 3 ? uint8_t(255 - 50 * i) : 255; }  // tRNS shorter than the palette

uint8_t To8(unsigned v, int depth) {
    if (depth == 16) return uint8_t((v * 2 + 257) / 514);  // rounded v / 257
    return uint8_t(v * 255 / ((1u << depth) - 1));
}

void WriteToBytes(png_structp png, png_bytep data, png_size_t n) {
    Bytes* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}

Bytes WritePng(const PngKind& k) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, WriteToBytes, nullptr);
    png_set_IHDR(png, info, kPngW, kPngH, k.depth, k.colourType,
                 k.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (k.colourType == PNG_COLOR_TYPE_PALETTE) {
        png_color palette[6];
        png_byte alpha[3];
        for (int i = 0; i < 6; ++i) palette[i] = PaletteColour(i);
        for (int i = 0; i < 3; ++i) alpha[i] = PaletteAlpha(i);
        png_set_PLTE(png, info, palette, int(PaletteSize(k.depth)));
        if (k.transparent) png_set_tRNS(png, info, alpha, k.depth == 1 ? 2 : 3, nullptr);
    } else if (k.transparent) {
        // The colour at (1, 0) is the transparent one.
        png_color_16 key{};
        key.gray = png_uint_16(Sample(k, 1, 0, 0));
        key.red = png_uint_16(Sample(k, 1, 0, 0));
        key.green = png_uint_16(Sample(k, 1, 0, 1));
        key.blue = png_uint_16(Sample(k, 1, 0, 2));
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    png_write_info(png, info);
    const int channels = Channels(k.colourType);
    std::vector<Bytes> rows(kPngH, Bytes((kPngW * channels * k.depth + 7) / 8, 0));
    std::vector<png_bytep> pointers;
    for (int y = 0; y < kPngH; ++y) {
        int bit = 0;
        for (int x = 0; x < kPngW; ++x)
            for (int c = 0; c < channels; ++c, bit += k.depth) {
                const unsigned v = Sample(k, x, y, c);
                if (k.depth == 16) {
                    rows[y][bit / 8] = uint8_t(v >> 8);
                    rows[y][bit / 8 + 1] = uint8_t(v);
                } else if (k.depth == 8) {
                    rows[y][bit / 8] = uint8_t(v);
                } else {
                    rows[y][bit / 8] |= uint8_t(v << (8 - k.depth - bit % 8));
                }
            }
        pointers.push_back(rows[y].data());
    }
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

uint32_t ExpectedTexel(const PngKind& k, int x, int y) {
    if (k.colourType == PNG_COLOR_TYPE_PALETTE) {
        const int i = int(Sample(k, x, y, 0));
        const png_color c = PaletteColour(i);
        const uint32_t a = k.transparent ? PaletteAlpha(i) : 255;
        return a << 24 | uint32_t(c.red) << 16 | uint32_t(c.green) << 8 | c.blue;
    }
    const int channels = Channels(k.colourType);
    const bool grey = channels <= 2;
    const uint32_t r = To8(Sample(k, x, y, 0), k.depth);
    const uint32_t g = grey ? r : To8(Sample(k, x, y, 1), k.depth);
    const uint32_t b = grey ? r : To8(Sample(k, x, y, 2), k.depth);
    uint32_t a = 255;
    if (channels == 2 || channels == 4) a = To8(Sample(k, x, y, channels - 1), k.depth);
    if (k.transparent) {
        bool key = true;
        for (int c = 0; c < (grey ? 1 : 3); ++c) key = key && Sample(k, x, y, c) == Sample(k, 1, 0, c);
        if (key) a = 0;
    }
    return a << 24 | r << 16 | g << 8 | b;
}

TEST(ImageDecoder, EveryKindOfPngBecomesTheSameTexels) {
    const PngKind kinds[] = {
        {"grey 1", PNG_COLOR_TYPE_GRAY, 1, false, false},
        {"grey 2", PNG_COLOR_TYPE_GRAY, 2, false, false},
        {"grey 4", PNG_COLOR_TYPE_GRAY, 4, false, false},
        {"grey 8", PNG_COLOR_TYPE_GRAY, 8, false, false},
        {"grey 16", PNG_COLOR_TYPE_GRAY, 16, false, false},
        // The transparent grey of a grey picture is as transparent as a palette's.
        {"grey 1 tRNS", PNG_COLOR_TYPE_GRAY, 1, true, false},
        {"grey 2 tRNS", PNG_COLOR_TYPE_GRAY, 2, true, false},
        {"grey 4 tRNS", PNG_COLOR_TYPE_GRAY, 4, true, false},
        {"grey 8 tRNS", PNG_COLOR_TYPE_GRAY, 8, true, false},
        {"grey 16 tRNS", PNG_COLOR_TYPE_GRAY, 16, true, false},
        {"grey+alpha 8", PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, false},
        {"grey+alpha 16", PNG_COLOR_TYPE_GRAY_ALPHA, 16, false, false},
        {"rgb 8", PNG_COLOR_TYPE_RGB, 8, false, false},
        {"rgb 16", PNG_COLOR_TYPE_RGB, 16, false, false},
        {"rgb 8 tRNS", PNG_COLOR_TYPE_RGB, 8, true, false},
        {"rgb 16 tRNS", PNG_COLOR_TYPE_RGB, 16, true, false},
        {"rgba 8", PNG_COLOR_TYPE_RGB_ALPHA, 8, false, false},
        {"rgba 16", PNG_COLOR_TYPE_RGB_ALPHA, 16, false, false},
        {"palette 1", PNG_COLOR_TYPE_PALETTE, 1, false, false},
        {"palette 2 tRNS", PNG_COLOR_TYPE_PALETTE, 2, true, false},
        {"palette 4 tRNS", PNG_COLOR_TYPE_PALETTE, 4, true, false},
        {"palette 8 tRNS", PNG_COLOR_TYPE_PALETTE, 8, true, false},
        {"palette 8", PNG_COLOR_TYPE_PALETTE, 8, false, false},
        {"interlaced grey 2 tRNS", PNG_COLOR_TYPE_GRAY, 2, true, true},
        {"interlaced grey 16", PNG_COLOR_TYPE_GRAY, 16, false, true},
        {"interlaced palette 4 tRNS", PNG_COLOR_TYPE_PALETTE, 4, true, true},
        {"interlaced rgba 8", PNG_COLOR_TYPE_RGB_ALPHA, 8, false, true},
        {"interlaced rgb 16", PNG_COLOR_TYPE_RGB, 16, false, true},
    };
    for (const PngKind& k : kinds) {
        SCOPED_TRACE(k.name);
        const Bytes file = WritePng(k);
        ASSERT_FALSE(file.empty());
        const Decoded d = Decode(file);
        ASSERT_TRUE(d.ok);
        ASSERT_EQ(kPngW, d.width);
        ASSERT_EQ(kPngH, d.height);
        ASSERT_EQ(size_t(kPngW * kPngH), d.pixels.size());
        int wrong = 0;
        for (int y = 0; y < kPngH; ++y)
            for (int x = 0; x < kPngW; ++x)
                if (d.pixels[size_t(y) * kPngW + x] != ExpectedTexel(k, x, y) && ++wrong <= 3)
                    ADD_FAILURE() << "(" << x << ", " << y << "): " << std::hex << d.pixels[size_t(y) * kPngW + x]
                                  << " instead of " << ExpectedTexel(k, x, y);
        if (k.transparent && k.colourType != PNG_COLOR_TYPE_PALETTE) {
            EXPECT_EQ(0u, d.pixels[1] >> 24);
        }
    }
}

// ---- Other formats through FreeImage ----

Bytes Save(FIBITMAP* image, FREE_IMAGE_FORMAT format, int flags = 0) {
    FIMEMORY* memory = FreeImage_OpenMemory();
    Bytes out;
    if (FreeImage_SaveToMemory(format, image, memory, flags)) {
        BYTE* data = nullptr;
        DWORD size = 0;
        FreeImage_AcquireMemory(memory, &data, &size);
        out.assign(data, data + size);
    }
    FreeImage_CloseMemory(memory);
    FreeImage_Unload(image);
    return out;
}

const int kW = 11, kH = 5;

// An indexed picture whose palette's channels differ, its first entries see-through.
FIBITMAP* Palette(int bpp, bool transparent, BYTE halfAlpha) {
    FIBITMAP* image = FreeImage_Allocate(kW, kH, bpp);
    RGBQUAD* palette = FreeImage_GetPalette(image);
    const int colours = 1 << bpp;
    for (int i = 0; i < colours; ++i) {
        palette[i].rgbRed = BYTE(i * 9 + 3);
        palette[i].rgbGreen = BYTE(250 - i);
        palette[i].rgbBlue = BYTE(i * 5);
    }
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            BYTE index = BYTE((x + 2 * y) % colours);
            FreeImage_SetPixelIndex(image, x, kH - 1 - y, &index);
        }
    if (transparent) {
        BYTE alphas[2] = {0, halfAlpha};
        FreeImage_SetTransparencyTable(image, alphas, 2);
    }
    return image;
}

uint32_t PaletteTexel(int bpp, bool transparent, BYTE halfAlpha, int x, int y) {
    const int i = (x + 2 * y) % (1 << bpp);
    const uint32_t a = transparent && i < 2 ? (i == 0 ? 0u : halfAlpha) : 255u;
    return a << 24 | uint32_t(i * 9 + 3) << 16 | uint32_t(250 - i) << 8 | uint32_t(i * 5);
}

// A deep-colour picture of `bpp` (24 or 32) bits; alpha varies when there is one.
FIBITMAP* Colour(int bpp) {
    FIBITMAP* image = FreeImage_Allocate(kW, kH, bpp);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            RGBQUAD c{BYTE(x * 20), BYTE(y * 40), BYTE(x * 3 + y), BYTE(255 - x * 10)};
            FreeImage_SetPixelColor(image, x, kH - 1 - y, &c);
        }
    return image;
}

uint32_t ColourTexel(int bpp, int x, int y) {
    const uint32_t a = bpp == 32 ? uint32_t(255 - x * 10) : 255u;
    return a << 24 | uint32_t(x * 3 + y) << 16 | uint32_t(y * 40) << 8 | uint32_t(x * 20);
}

TEST(ImageDecoder, IndexedAndColourFilesKeepTheirTexels) {
    struct Case {
        const char* name;
        FREE_IMAGE_FORMAT format;
        int bpp;
        bool transparent;
        BYTE halfAlpha = 128;  // the second palette entry's; a GIF has one see-through entry only
    };
    const Case cases[] = {
        {"bmp 1", FIF_BMP, 1, false},     {"bmp 4", FIF_BMP, 4, false},     {"bmp 8", FIF_BMP, 8, false},
        {"bmp 24", FIF_BMP, 24, false},   {"bmp 32", FIF_BMP, 32, false},   {"tga 8", FIF_TARGA, 8, false},
        {"tga 24", FIF_TARGA, 24, false}, {"tga 32", FIF_TARGA, 32, false}, {"gif 8 see-through", FIF_GIF, 8, true, 255},
        {"png 32 (FreeImage)", FIF_PNG, 32, false},
        {"png 8 see-through", FIF_PNG, 8, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes file = Save(c.bpp <= 8 ? Palette(c.bpp, c.transparent, c.halfAlpha) : Colour(c.bpp), c.format);
        ASSERT_FALSE(file.empty());
        const Decoded d = Decode(file);
        ASSERT_TRUE(d.ok);
        ASSERT_EQ(kW, d.width);
        ASSERT_EQ(kH, d.height);
        int wrong = 0;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const uint32_t want = c.bpp <= 8 ? PaletteTexel(c.bpp, c.transparent, c.halfAlpha, x, y) : ColourTexel(c.bpp, x, y);
                if (d.pixels[size_t(y) * kW + x] != want && ++wrong <= 3)
                    ADD_FAILURE() << "(" << x << ", " << y << "): " << std::hex << d.pixels[size_t(y) * kW + x]
                                  << " instead of " << want;
            }
    }
}

TEST(ImageDecoder, SixteenBitFilesLoseOnlyTheirLowBits) {
    // 16-bit 5-6-5 and 5-5-5 BMPs: each channel widened to 8 bits.
    struct Case {
        const char* name;
        unsigned red, green, blue;
    };
    const Case cases[] = {{"565", FI16_565_RED_MASK, FI16_565_GREEN_MASK, FI16_565_BLUE_MASK},
                          {"555", FI16_555_RED_MASK, FI16_555_GREEN_MASK, FI16_555_BLUE_MASK}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FIBITMAP* image = FreeImage_Allocate(kW, kH, 16, c.red, c.green, c.blue);
        for (int y = 0; y < kH; ++y) {
            WORD* line = reinterpret_cast<WORD*>(FreeImage_GetScanLine(image, kH - 1 - y));
            for (int x = 0; x < kW; ++x) line[x] = WORD(c.red & 0xFFFFu);  // full red
            line[0] = WORD(c.blue);                                          // full blue at the left
        }
        const Decoded d = Decode(Save(image, FIF_BMP));
        ASSERT_TRUE(d.ok);
        EXPECT_EQ(0xFF0000FFu, d.pixels[0] & 0xFFFFFFFFu);
        EXPECT_EQ(0xFFFF0000u, d.pixels[1]);
        EXPECT_EQ(0xFFFF0000u, d.pixels[size_t(kH) * kW - 1]);
    }
}

// Formats off the list never reach a decoder, however well-formed: TIFF, PSD, the
// portable maps, the float and high-dynamic-range formats and the rest. Among them the
// small files that once crashed or hung a decoder (the only PSD is a hostile one, as
// FreeImage's PSD writer leaks), and float pictures that made one take gigabytes.
TEST(ImageDecoder, FormatsOffTheListAreRefusedUnread) {
    struct Case {
        std::string name;
        Bytes file;
    };
    std::vector<Case> cases;
    for (const TestSupport::HostileImage& hostile : TestSupport::HostileImages())
        cases.push_back({hostile.name, hostile.bytes});
    const struct {
        const char* name;
        FREE_IMAGE_FORMAT format;
        FIBITMAP* (*make)();
    } written[] = {
        {"tiff 32", FIF_TIFF, [] { return Colour(32); }},
        {"tiff 4", FIF_TIFF, [] { return Palette(4, false, 128); }},
        {"tiff float", FIF_TIFF, [] { return FreeImage_AllocateT(FIT_RGBAF, 512, 512); }},
        {"pgm 16-bit", FIF_PGMRAW, [] { return FreeImage_AllocateT(FIT_UINT16, kW, kH); }},
        {"ppm", FIF_PPMRAW, [] { return Colour(24); }},
        {"pbm", FIF_PBMRAW, [] { return Palette(1, false, 128); }},
        {"hdr", FIF_HDR, [] { return FreeImage_AllocateT(FIT_RGBF, 512, 512); }},
        {"pfm", FIF_PFM, [] { return FreeImage_AllocateT(FIT_RGBF, 512, 512); }},
        {"exr", FIF_EXR, [] { return FreeImage_AllocateT(FIT_RGBAF, 512, 512); }},
        {"xpm", FIF_XPM, [] { return Colour(24); }},
        {"webp", FIF_WEBP, [] { return Colour(24); }},
    };
    for (const auto& w : written) {
        SCOPED_TRACE(w.name);
        const Bytes file = Save(w.make(), w.format);
        ASSERT_FALSE(file.empty()) << "FreeImage wrote no file";
        cases.push_back({w.name, file});
    }
    const long peakBefore = PeakResidentKib();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Decoded d = Decode(c.file);
        EXPECT_FALSE(d.ok);
        EXPECT_TRUE(d.pixels.empty());
    }
    EXPECT_LT(PeakResidentKib() - peakBefore, 64L * 1024) << "a refused file was decoded";
}

// JPEG pictures decode to the texels FreeImage gives for them when asked for accuracy (the
// same library and settings underneath): grey, colour, progressive.
TEST(ImageDecoder, JpegTexelsAreThoseOfFreeImage) {
    struct Case {
        const char* name;
        int bpp;
        int flags;
    };
    const Case cases[] = {{"colour", 24, JPEG_QUALITYGOOD},
                          {"colour progressive", 24, JPEG_PROGRESSIVE},
                          {"colour 4:4:4", 24, JPEG_QUALITYSUPERB | JPEG_SUBSAMPLING_444},
                          {"grey", 8, JPEG_QUALITYNORMAL}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FIBITMAP* picture = Colour(24);
        if (c.bpp == 8) {
            FIBITMAP* grey = FreeImage_ConvertToGreyscale(picture);
            FreeImage_Unload(picture);
            picture = grey;
        }
        const Bytes file = Save(picture, FIF_JPEG, c.flags);
        ASSERT_FALSE(file.empty());
        FIMEMORY* memory = FreeImage_OpenMemory(const_cast<BYTE*>(file.data()), DWORD(file.size()));
        FIBITMAP* loaded = FreeImage_LoadFromMemory(FIF_JPEG, memory, JPEG_ACCURATE);
        FIBITMAP* wide = FreeImage_ConvertTo32Bits(loaded);
        const Decoded d = Decode(file);
        ASSERT_TRUE(d.ok);
        ASSERT_EQ(kW, d.width);
        ASSERT_EQ(kH, d.height);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const uint32_t want = reinterpret_cast<const uint32_t*>(FreeImage_GetScanLine(wide, kH - 1 - y))[x];
                EXPECT_EQ(want, d.pixels[size_t(y) * kW + x]) << "(" << x << ", " << y << ")";
            }
        FreeImage_Unload(wide);
        FreeImage_Unload(loaded);
        FreeImage_CloseMemory(memory);
    }
}

// Every kind of JPEG shows the colours it was made of: grey, colour, and CMYK as printed
// (the Adobe marker's files with their ink inverted), baseline and progressive.
TEST(ImageDecoder, EveryKindOfJpegKeepsItsColours) {
    for (const TestSupport::JpegColourCase& c : TestSupport::JpegColourCases()) {
        SCOPED_TRACE(c.name);
        const Decoded d = Decode(c.file);
        ASSERT_TRUE(d.ok);
        ASSERT_EQ(TestSupport::kJpegCaseSide, d.width);
        ASSERT_EQ(TestSupport::kJpegCaseSide, d.height);
        for (int y = 0; y < d.height; ++y)
            for (int x = 0; x < d.width; ++x) {
                const uint32_t want = 0xFF000000u | c.colours[x / 8 + 2 * (y / 8)];
                const uint32_t got = d.pixels[size_t(y) * size_t(d.width) + size_t(x)];
                for (int shift = 0; shift < 32; shift += 8)
                    ASSERT_NEAR(int(want >> shift & 255), int(got >> shift & 255), 3)
                        << "(" << x << ", " << y << ") " << std::hex << got << " for " << want;
            }
    }
}

// The bound on a JPEG's work leaves room for the largest picture written as encoders write
// progressive files: the work of a small one, scaled to 8192 x 8192, is within half of it.
TEST(ImageDecoder, JpegWorkBoundPassesLargeProgressivePictures) {
    for (const TestSupport::JpegColourCase& c : TestSupport::JpegColourCases()) {
        SCOPED_TRACE(c.name);
        const imageformat::JpegWork work = imageformat::MeasureJpegWork(c.file.data(), c.file.size());
        ASSERT_GE(work.scans, 1u);
        const uint64_t scale = (8192 / TestSupport::kJpegCaseSide) * (8192 / TestSupport::kJpegCaseSide);
        EXPECT_LT(work.blocks * scale, imageformat::kMaxJpegBlockWork / 2) << work.scans << " scans";
    }
}

// The work counted from the markers is the blocks each scan walks: a subsampled component
// has fewer blocks than the full-size one, and an interleaved scan walks whole MCUs (a 24 x 8
// picture at 4:2:0 is two MCUs of 2 x 2 luma and one of each chroma block).
TEST(ImageDecoder, JpegWorkCountsTheBlocksOfEachComponent) {
    using TestSupport::JpegKind;
    struct Case {
        const char* name;
        int width, height;
        JpegKind kind;
        unsigned scans;
        uint64_t blocks;
    };
    const Case cases[] = {
        {"grey", 16, 16, {JCS_GRAYSCALE, JCS_GRAYSCALE, false, false}, 1, 4},
        {"colour 4:4:4", 16, 16, {JCS_RGB, JCS_YCbCr, false, false}, 1, 12},
        {"colour 4:2:0", 16, 16, {JCS_RGB, JCS_YCbCr, false, false, true}, 1, 6},
        {"colour 4:2:0, 24 x 8", 24, 8, {JCS_RGB, JCS_YCbCr, false, false, true}, 1, 12},
        // libjpeg's script: DC of all three (6 blocks) twice, four luma scans of 4, four
        // chroma scans of 1.
        {"colour 4:2:0 progressive", 16, 16, {JCS_RGB, JCS_YCbCr, true, false, true}, 10, 32},
        // The same script at full resolution: every chroma scan walks 4 blocks too.
        {"colour 4:4:4 progressive", 16, 16, {JCS_RGB, JCS_YCbCr, true, false}, 10, 56},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int channels = c.kind.samples == JCS_GRAYSCALE ? 1 : 3;
        std::vector<unsigned char> samples(size_t(c.width) * size_t(c.height) * size_t(channels));
        for (size_t i = 0; i < samples.size(); ++i) samples[i] = (unsigned char)(i * 37);
        const Bytes file = TestSupport::WriteJpeg(c.width, c.height, c.kind, samples);
        const imageformat::JpegWork work = imageformat::MeasureJpegWork(file.data(), file.size());
        EXPECT_EQ(c.scans, work.scans);
        EXPECT_EQ(c.blocks, work.blocks);
        EXPECT_TRUE(Decode(file).ok);
    }
}

// Files that once made the decoders write past a buffer or work for minutes, at full size
// and as fuzz seeds: JPEGs of other than 1, 3 or 4 components are of no format, JPEGs
// whose scans walk more blocks than the bound allows are refused before any is decoded;
// the others decode to the picture they claim.
TEST(ImageDecoder, CostlyFilesAreRefusedOrDecodedWithinTheirBound) {
    for (const TestSupport::CostlyImage& file : TestSupport::CostlyImagesOfBothSizes()) {
        SCOPED_TRACE(file.name);
        const long peakBefore = PeakResidentKib();
        const Decoded d = Decode(file.bytes);
        ASSERT_EQ(file.decodes, d.ok);
        if (!d.ok) {
            EXPECT_TRUE(d.pixels.empty());
            EXPECT_LT(PeakResidentKib() - peakBefore, 16L * 1024);
            continue;
        }
        const imageformat::ImageHeader header = imageformat::ReadImageHeader(file.bytes.data(), file.bytes.size());
        EXPECT_EQ(int(header.width), d.width);
        EXPECT_EQ(int(header.height), d.height);
        EXPECT_EQ(size_t(d.width) * size_t(d.height), d.pixels.size());
    }
}

// A JPEG whose frame header claims width x height.
Bytes JpegClaiming(unsigned width, unsigned height) {
    Bytes file = Save(Colour(24), FIF_JPEG);
    for (size_t i = 2; i + 9 < file.size(); ++i)
        if (file[i] == 0xFF && file[i + 1] == 0xC0) {
            file[i + 5] = uint8_t(height >> 8);
            file[i + 6] = uint8_t(height);
            file[i + 7] = uint8_t(width >> 8);
            file[i + 8] = uint8_t(width);
            break;
        }
    return file;
}

// Where each scan's coded data ends in `file`: at the first marker after its header.
// `eoi` is where the end-of-image marker stands.
std::vector<size_t> ScanEnds(const Bytes& file, size_t* eoi) {
    std::vector<size_t> ends;
    *eoi = 0;
    for (size_t i = 2; i + 1 < file.size(); ++i) {
        if (file[i] != 0xFF) continue;
        if (file[i + 1] == 0xD9) *eoi = i;
        if (file[i + 1] != 0xDA || i + 3 >= file.size()) continue;
        size_t at = i + 2 + (size_t(file[i + 2]) << 8 | file[i + 3]);
        while (at + 1 < file.size() &&
               !(file[at] == 0xFF && file[at + 1] != 0 && (file[at + 1] < 0xD0 || file[at + 1] > 0xD7)))
            ++at;
        ends.push_back(at);
        i = at - 1;
    }
    return ends;
}

// A progressive JPEG whose second scan (a first scan of some AC coefficients, which
// reads nothing earlier scans left) is repeated, with the tables it uses, until the
// file holds `scans` scans: every copy is decoded over the whole picture.
Bytes JpegOfScans(int scans) {
    const Bytes file = Save(Colour(24), FIF_JPEG, JPEG_PROGRESSIVE);
    size_t eoi = 0;
    const std::vector<size_t> ends = ScanEnds(file, &eoi);
    if (ends.size() < 2 || eoi < ends.back()) return Bytes();
    const Bytes second(file.begin() + long(ends[0]), file.begin() + long(ends[1]));
    Bytes out(file.begin(), file.begin() + long(eoi));
    for (int n = int(ends.size()); n < scans; ++n) out.insert(out.end(), second.begin(), second.end());
    out.insert(out.end(), file.begin() + long(eoi), file.end());
    return out;
}

// A DDS file of uncompressed 32-bit texels, as game tools write them.
Bytes Dds(uint32_t width, uint32_t height, bool withPixels) {
    Bytes b(128 + (withPixels ? size_t(width) * height * 4 : 0), 0);
    std::memcpy(b.data(), "DDS ", 4);
    Put32(b, 4, 124);
    Put32(b, 8, 0x1 | 0x2 | 0x4 | 0x1000);  // caps, height, width, pixel format
    Put32(b, 12, height);
    Put32(b, 16, width);
    Put32(b, 20, width * 4);
    Put32(b, 76, 32);       // pixel format record size
    Put32(b, 80, 0x41);     // RGB with alpha
    Put32(b, 88, 32);       // bits
    Put32(b, 92, 0x00FF0000);
    Put32(b, 96, 0x0000FF00);
    Put32(b, 100, 0x000000FF);
    Put32(b, 104, 0xFF000000);
    Put32(b, 108, 0x1000);  // texture
    for (size_t i = 0; withPixels && i < size_t(width) * height; ++i) Put32(b, 128 + i * 4, 0x80102030u + uint32_t(i));
    return b;
}

TEST(ImageDecoder, DdsTexels) {
    const Decoded d = Decode(Dds(3, 2, true));
    ASSERT_TRUE(d.ok);
    ASSERT_EQ(3, d.width);
    ASSERT_EQ(2, d.height);
    for (uint32_t i = 0; i < 6; ++i) EXPECT_EQ(0x80102030u + i, d.pixels[i]) << i;
}

// A GIF of `size` bytes whose screen and image descriptor claim width x height.
Bytes Gif(unsigned width, unsigned height) {
    Bytes b = {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0x80, 0, 0,  // screen, 2-colour table
               0, 0, 0, 255, 255, 255,                               // the table
               0x2C, 0, 0, 0, 0, 0, 0, 0, 0, 0,                      // image descriptor
               2, 2, 0x4C, 0x01, 0, 0x3B};                           // a little LZW data, the end
    for (size_t at : {size_t(6), size_t(19 + 5)}) {
        b[at] = uint8_t(width);
        b[at + 1] = uint8_t(width >> 8);
        b[at + 2] = uint8_t(height);
        b[at + 3] = uint8_t(height >> 8);
    }
    return b;
}

TEST(ImageDecoder, SidesAndTexelCountAreCheckedBeforeDecoding) {
    struct Case {
        const char* name;
        Bytes file;
        int maxSide;
        bool ok;
    };
    const size_t row2 = 8;  // a 2-texel 24-bit BMP row, padded
    const Case cases[] = {
        {"bmp within", Bmp(2, 2, row2 * 2), 2, true},
        {"bmp too wide", Bmp(3, 2, 16), 2, false},
        {"bmp too tall", Bmp(2, 3, 16), 2, false},
        // A few bytes claiming a picture of tens of gigabytes are refused, not allocated.
        {"bmp 100000 square", Bmp(100000, 100000, 16), 16384, false},
        {"bmp 16384 x 200000", Bmp(16384, 200000, 16), 16384, false},
        // Each side allowed, but 256 million texels in all.
        {"bmp 16384 square", Bmp(16384, 16384, 16), 16384, false},
        {"gif 40000 square", Gif(40000, 40000), 65535, false},
        {"gif 16000 square", Gif(16000, 16000), 16384, false},
        {"gif 40000 wide, within the screen's sides", Gif(40000, 2), 16384, false},
        {"dds 40000 square", Dds(40000, 40000, false), 65535, false},
        {"dds 16384 square", Dds(16384, 16384, false), 16384, false},
        {"jpeg 16384 square", JpegClaiming(16384, 16384), 16384, false},
        {"jpeg 3 x 40000", JpegClaiming(3, 40000), 16384, false},
    };
    const long peakBefore = PeakResidentKib();
    const auto start = std::chrono::steady_clock::now();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Decoded d = Decode(c.file, c.maxSide);
        EXPECT_EQ(c.ok, d.ok);
        if (!d.ok) {
            EXPECT_TRUE(d.pixels.empty());
        }
    }
    // Refused from the header: the claimed pictures were never made.
    EXPECT_LT(PeakResidentKib() - peakBefore, 256L * 1024);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20)) << "decoded before refusing";
}

// The same header claim through a PNG's IHDR, checked from the header by libpng's path.
Bytes PngClaiming(uint32_t width, uint32_t height) {
    PngKind k{"", PNG_COLOR_TYPE_GRAY, 8, false, false};
    Bytes file = WritePng(k);
    // IHDR data begins at byte 16; its CRC follows at 29.
    for (int i = 0; i < 4; ++i) {
        file[16 + i] = uint8_t(width >> (24 - 8 * i));
        file[20 + i] = uint8_t(height >> (24 - 8 * i));
    }
    const uint32_t crc = uint32_t(crc32(0, file.data() + 12, 17));
    for (int i = 0; i < 4; ++i) file[29 + i] = uint8_t(crc >> (24 - 8 * i));
    return file;
}

TEST(ImageDecoder, DamagedAndUncheckableFilesAreRefused) {
    const Bytes png = WritePng({"", PNG_COLOR_TYPE_RGB_ALPHA, 8, false, true});
    Bytes truncated(png.begin(), png.begin() + long(png.size() / 2));
    Bytes badCrc = png;
    badCrc[30] ^= 0x55;  // IHDR's CRC
    Bytes badData = png;
    for (size_t i = 45; i < badData.size() - 20; i += 3) badData[i] ^= 0xA5;  // inside IDAT
    const Bytes jpeg = Save(Colour(24), FIF_JPEG);
    const Bytes jpegHead(jpeg.begin(), jpeg.begin() + 30);
    const Bytes jpegCut(jpeg.begin(), jpeg.begin() + long(jpeg.size() * 3 / 4));
    // Cut where the second scan starts: every byte of the first scan is there, so only the
    // early end of the file tells that picture data is missing.
    const Bytes progressive = Save(Colour(24), FIF_JPEG, JPEG_PROGRESSIVE);
    size_t eoi = 0;
    const std::vector<size_t> scanEnds = ScanEnds(progressive, &eoi);
    ASSERT_GE(scanEnds.size(), 2u);
    const Bytes progressiveCut(progressive.begin(), progressive.begin() + long(scanEnds[0]));
    Bytes wbmp = {0, 0, 8, 8};  // WBMP: no header-only reading in FreeImage
    wbmp.resize(4 + 8, 0);
    struct Case {
        const char* name;
        Bytes file;
    };
    const Case cases[] = {
        {"png cut in half", truncated},
        {"png with a wrong header checksum", badCrc},
        {"png with damaged pixel data", badData},
        {"png signature alone", Bytes(png.begin(), png.begin() + 8)},
        {"png claiming 9000 x 9000", PngClaiming(9000, 9000)},
        {"png claiming 0 x 5", PngClaiming(0, 5)},
        {"png claiming 20000 x 1", PngClaiming(20000, 1)},
        {"jpeg header alone", jpegHead},
        {"jpeg cut short", jpegCut},
        {"progressive jpeg cut where its second scan starts", progressiveCut},
        {"progressive jpeg of 600 scans", JpegOfScans(600)},
        {"wbmp", wbmp},
        {"garbage", Bytes(64, 0x5A)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Decoded d = Decode(c.file);
        EXPECT_FALSE(d.ok);
        EXPECT_TRUE(d.pixels.empty());
    }
    // The intact file is fine.
    EXPECT_TRUE(Decode(png).ok);
    EXPECT_TRUE(Decode(jpeg).ok);
    EXPECT_TRUE(Decode(JpegOfScans(400)).ok);
}

}  // namespace
