#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "game/FreeImageLibEx/Picture.h"
#include "platform/image/ImageFormat.h"
#include "tests/support/CostlyImages.h"
#include "tests/support/HostileImages.h"
#include "tests/support/ImageFixtures.h"
#include "tests/support/JpegWriter.h"
#include "tests/support/PeakMemory.h"

using FreeImageLibEx::Picture;
using TestSupport::Encode;
using TestSupport::MakePalettised;
using TestSupport::MakeTrueColour;
using TestSupport::SkewedPalette;

namespace {

bool LoadBytes(Picture& picture, std::vector<unsigned char> bytes)
{
    return picture.Load(bytes.data(), static_cast<unsigned long>(bytes.size()), FIF_UNKNOWN);
}

// A 32-bit picture, transparent but for the rectangle [x0, x1) x [y0, y1), rows from the top.
FIBITMAP* OpaqueBlock(int width, int height, int x0, int x1, int y0, int y1)
{
    return MakeTrueColour(width, height, 32, [=](int x, int y) -> uint32_t {
        const bool inside = x >= x0 && x < x1 && y >= y0 && y < y1;
        return inside ? 0xFF000000u | uint32_t(x) << 16 | uint32_t(y) << 8 | 0x5Au : 0x00102030u;
    });
}

// Little-endian 16-bit.
void Put16(std::vector<unsigned char>& bytes, unsigned value)
{
    bytes.push_back(static_cast<unsigned char>(value & 0xFF));
    bytes.push_back(static_cast<unsigned char>(value >> 8));
}

// A GIF whose logical screen and first image claim the given sides, with a token of
// pixel data: a decoder that trusts the sides allocates them whole.
std::vector<unsigned char> ClaimingGif(unsigned screenW, unsigned screenH, unsigned imageW, unsigned imageH)
{
    std::vector<unsigned char> gif = {'G', 'I', 'F', '8', '9', 'a'};
    Put16(gif, screenW);
    Put16(gif, screenH);
    gif.insert(gif.end(), {0x80, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF});  // two colours
    gif.insert(gif.end(), {0x21, 0xF9, 4, 0, 0, 0, 0, 0});           // an extension first
    gif.push_back(0x2C);
    Put16(gif, 0);
    Put16(gif, 0);
    Put16(gif, imageW);
    Put16(gif, imageH);
    gif.insert(gif.end(), {0, 2, 2, 0x4C, 0x01, 0, 0x3B});
    return gif;
}

std::vector<unsigned char> Cut(std::vector<unsigned char> bytes, size_t size)
{
    bytes.resize(size);
    return bytes;
}

TEST(PictureTest, LoadFindsTheFormatAndAFailedLoadLeavesItEmpty)
{
    Picture picture;
    EXPECT_FALSE(picture.IsValid());
    int w = 0, h = 0, bpp = 0;
    EXPECT_FALSE(picture.GetInfo(w, h, bpp));

    struct Case {
        const char* name;
        FREE_IMAGE_FORMAT format;
        int bits;
    } cases[] = {{"png 8", FIF_PNG, 8}, {"bmp 8", FIF_BMP, 8}, {"gif 8", FIF_GIF, 8}, {"png 4", FIF_PNG, 4},
                 {"png 1", FIF_PNG, 1}, {"tga 8", FIF_TARGA, 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int colours = 1 << c.bits;
        ASSERT_TRUE(LoadBytes(picture, Encode(MakePalettised(13, 5, c.bits, SkewedPalette(colours),
                                                             [&](int x, int y) { return (x + 3 * y) % colours; }),
                                              c.format)));
        ASSERT_TRUE(picture.GetInfo(w, h, bpp));
        EXPECT_EQ(13, w);
        EXPECT_EQ(5, h);
        EXPECT_EQ(c.bits, bpp);
    }

    const std::vector<std::vector<unsigned char>> refused = {
        {},
        std::vector<unsigned char>(64, 0xAB),
        // A PNG signature and nothing after it.
        {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A},
    };
    for (const auto& bytes : refused) {
        ASSERT_TRUE(LoadBytes(picture, Encode(MakePalettised(4, 4, 8, SkewedPalette(4), [](int, int) { return 1; }),
                                              FIF_PNG)));
        std::vector<unsigned char> copy = bytes;
        EXPECT_FALSE(picture.Load(copy.empty() ? nullptr : copy.data(), copy.size(), FIF_UNKNOWN));
        EXPECT_FALSE(picture.IsValid());
        EXPECT_FALSE(picture.GetInfo(w, h, bpp));
        unsigned char* bits = nullptr;
        EXPECT_FALSE(picture.GetBits(bits));
        unsigned char r, g, b;
        EXPECT_FALSE(picture.GetColor(0, r, g, b));
    }
}

// Only the accepted formats reach FreeImage, told from the bytes: TIFF, PSD, the portable
// maps and the float formats are refused unread (among them files that once crashed or
// hung a decoder; the only PSD is a hostile one, as FreeImage's PSD writer leaks), and a
// format the caller names must be the one the bytes hold.
TEST(PictureTest, FormatsOffTheListAndMismatchedNamesAreRefused)
{
    Picture picture;
    std::vector<std::vector<unsigned char>> refused;
    for (const TestSupport::HostileImage& hostile : TestSupport::HostileImages())
        refused.push_back(hostile.bytes);
    const auto palettised = [] {
        return MakePalettised(6, 4, 8, SkewedPalette(4), [](int x, int y) { return (x + y) % 4; });
    };
    for (FREE_IMAGE_FORMAT format : {FIF_TIFF, FIF_PGMRAW, FIF_PPMRAW, FIF_XPM}) {
        refused.push_back(Encode(palettised(), format));
        ASSERT_FALSE(refused.back().empty()) << FreeImage_GetFormatFromFIF(format);
    }
    for (std::vector<unsigned char>& bytes : refused) {
        EXPECT_FALSE(picture.Load(bytes.data(), static_cast<unsigned long>(bytes.size()), FIF_UNKNOWN));
        EXPECT_FALSE(picture.IsValid());
    }

    std::vector<unsigned char> png = Encode(palettised(), FIF_PNG);
    EXPECT_FALSE(picture.Load(png.data(), static_cast<unsigned long>(png.size()), FIF_BMP));
    EXPECT_TRUE(picture.Load(png.data(), static_cast<unsigned long>(png.size()), FIF_PNG));
    // The bytes decide, not the name: a PNG named .bmp loads, a TIFF named .png does not.
    const std::string folder = ::testing::TempDir();
    const struct {
        std::string path;
        FREE_IMAGE_FORMAT written;
        bool loads;
    } files[] = {{folder + "picture-test-really-png.bmp", FIF_PNG, true},
                 {folder + "picture-test-really-tiff.png", FIF_TIFF, false}};
    for (const auto& f : files) {
        SCOPED_TRACE(f.path);
        const std::vector<unsigned char> bytes = Encode(palettised(), f.written);
        FILE* out = std::fopen(f.path.c_str(), "wb");
        ASSERT_TRUE(out);
        ASSERT_EQ(bytes.size(), std::fwrite(bytes.data(), 1, bytes.size(), out));
        std::fclose(out);
        EXPECT_EQ(f.loads, picture.Load(f.path.c_str(), FIF_UNKNOWN));
        std::remove(f.path.c_str());
    }
}

// Sides are measured before pixels are decoded; a handful of bytes cannot make the
// decoder take gigabytes (a test that ran the decode would take tens of seconds).
TEST(PictureTest, ImagesClaimingHugeSidesAreRefusedBeforeDecoding)
{
    Picture picture;
    const long peakBefore = TestSupport::PeakResidentKib();
    struct Case {
        const char* name;
        std::vector<unsigned char> bytes;
    } cases[] = {
        {"gif screen 40000 x 40000", ClaimingGif(40000, 40000, 2, 2)},
        {"gif image 40000 x 40000 on a small screen", ClaimingGif(2, 2, 40000, 40000)},
        {"gif 12000 x 12000: sides fit, pixel count does not", ClaimingGif(12000, 12000, 12000, 12000)},
        {"gif of zero width", ClaimingGif(0, 2, 0, 2)},
        {"gif cut inside its extension", Cut(ClaimingGif(2, 2, 2, 2), 25)},
        {"gif cut inside its image descriptor", Cut(ClaimingGif(2, 2, 2, 2), 30)},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(picture.Load(c.bytes.data(), c.bytes.size(), FIF_UNKNOWN));
        EXPECT_FALSE(picture.IsValid());
    }
    // The same construction with sides that fit decodes.
    std::vector<unsigned char> small = ClaimingGif(2, 2, 2, 2);
    EXPECT_TRUE(picture.Load(small.data(), small.size(), FIF_UNKNOWN));

    // A PNG wider than the largest side is refused from its header.
    EXPECT_FALSE(LoadBytes(picture, Encode(MakePalettised(int(Picture::kMaxSide) + 1, 1, 8, SkewedPalette(2),
                                                          [](int, int) { return 0; }),
                                           FIF_PNG)));
    // Refused from the header: none of the claimed pictures (the smallest holds 144 MB
    // of 8-bit texels) was made.
    EXPECT_LT(TestSupport::PeakResidentKib() - peakBefore, 64L * 1024);
}

// JPEG pictures are held as FreeImage holds them, grey as 8 bits with a grey palette, the
// others as 24, with the colours they were made of (CMYK as printed), baseline and
// progressive; a JPEG is saved as before.
TEST(PictureTest, EveryKindOfJpegKeepsItsColours)
{
    Picture picture;
    for (const TestSupport::JpegColourCase& c : TestSupport::JpegColourCases()) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(LoadBytes(picture, c.file));
        int w = 0, h = 0, bpp = 0;
        ASSERT_TRUE(picture.GetInfo(w, h, bpp));
        ASSERT_EQ(TestSupport::kJpegCaseSide, w);
        ASSERT_EQ(TestSupport::kJpegCaseSide, h);
        ASSERT_EQ(c.grey ? 8 : 24, bpp);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                // Palettised pictures count rows from the top and give 0x00BBGGRR; deeper
                // ones count them from the bottom and give 0x00RRGGBB.
                uint32_t got = 0;
                ASSERT_TRUE(picture.GetPixelColor(unsigned(x), unsigned(c.grey ? y : h - 1 - y), got));
                if (c.grey)
                    got = (got & 0xFF) << 16 | (got & 0xFF00) | got >> 16;
                const uint32_t want = c.colours[x / 8 + 2 * (y / 8)];
                for (int shift = 0; shift < 24; shift += 8)
                    ASSERT_NEAR(int(want >> shift & 255), int(got >> shift & 255), 3)
                        << "(" << x << ", " << y << ") " << std::hex << got << " for " << want;
            }
    }
    std::vector<unsigned char> saved;
    ASSERT_TRUE(picture.Save(FIF_JPEG, saved));
    EXPECT_TRUE(LoadBytes(picture, saved));
}

// Files that once made FreeImage's JPEG reader write past a buffer or work for minutes, at
// full size and as fuzz seeds: JPEGs of other than 1, 3 or 4 components are of no format,
// JPEGs whose scans walk more blocks than the bound allows are refused before any is
// decoded; the others decode to the picture they claim, the BMP at 4 bits a pixel.
TEST(PictureTest, CostlyFilesAreRefusedOrDecodedWithinTheirBound)
{
    Picture picture;
    for (const TestSupport::CostlyImage& file : TestSupport::CostlyImagesOfBothSizes()) {
        SCOPED_TRACE(file.name);
        const long peakBefore = TestSupport::PeakResidentKib();
        ASSERT_EQ(file.decodes, LoadBytes(picture, file.bytes));
        if (!file.decodes) {
            EXPECT_FALSE(picture.IsValid());
            EXPECT_LT(TestSupport::PeakResidentKib() - peakBefore, 16L * 1024);
            continue;
        }
        const imageformat::ImageHeader header = imageformat::ReadImageHeader(file.bytes.data(), file.bytes.size());
        int w = 0, h = 0, bpp = 0;
        ASSERT_TRUE(picture.GetInfo(w, h, bpp));
        EXPECT_EQ(int(header.width), w);
        EXPECT_EQ(int(header.height), h);
        EXPECT_EQ(file.bytes[0] == 'B' ? 4 : 8, bpp);
    }
}

TEST(PictureTest, ConvertTo8RefreshesThePalette)
{
    struct Case {
        int bits;
    } cases[] = {{1}, {4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits);
        const int colours = 1 << c.bits;
        const auto palette = SkewedPalette(colours);
        Picture picture;
        ASSERT_TRUE(LoadBytes(picture, Encode(MakePalettised(7, 3, c.bits, palette,
                                                             [&](int x, int y) { return (x * 5 + y) % colours; }),
                                              FIF_PNG)));
        unsigned char r = 0, g = 0, b = 0;
        EXPECT_TRUE(picture.GetColor(unsigned(colours - 1), r, g, b));
        EXPECT_FALSE(picture.GetColor(unsigned(colours), r, g, b));

        ASSERT_TRUE(picture.ConvertTo8());
        int w = 0, h = 0, bpp = 0;
        ASSERT_TRUE(picture.GetInfo(w, h, bpp));
        EXPECT_EQ(8, bpp);
        EXPECT_EQ(7, w);
        unsigned pitch = 0;
        unsigned char* bits = nullptr;
        ASSERT_TRUE(picture.GetPitch(pitch));
        ASSERT_TRUE(picture.GetBits(bits));
        EXPECT_EQ(8u, pitch);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 7; ++x) {
                const unsigned index = bits[(2 - y) * pitch + x];
                ASSERT_TRUE(picture.GetColor(index, r, g, b));
                const auto& want = palette[size_t((x * 5 + y) % colours)];
                EXPECT_EQ(want.red, r) << x << "," << y;
                EXPECT_EQ(want.green, g);
                EXPECT_EQ(want.blue, b);
            }
    }
}

TEST(PictureTest, PixelColoursAreAddressedThroughTheRowPitch)
{
    // 33 wide: a 24-bit row is 99 bytes, padded to 100.
    auto colour = [](int x, int y) { return 0xFF000000u | uint32_t(x * 7) << 16 | uint32_t(y * 11) << 8 | 0x33u; };
    for (int bits : {24, 32}) {
        SCOPED_TRACE(bits);
        Picture picture;
        ASSERT_TRUE(picture.Create(MakeTrueColour(33, 4, bits, colour)));
        uint32_t got = 0;
        // Deep pictures count rows from the bottom.
        for (int y = 0; y < 4; ++y)
            for (int x : {0, 1, 31, 32}) {
                ASSERT_TRUE(picture.GetPixelColor(unsigned(x), unsigned(y), got));
                EXPECT_EQ(colour(x, 3 - y) & 0x00FFFFFFu, got) << x << "," << y;
            }
        EXPECT_FALSE(picture.GetPixelColor(33, 0, got));
        EXPECT_FALSE(picture.GetPixelColor(0, 4, got));
    }
    // Palettised pictures count rows from the top and pack red lowest.
    const auto palette = SkewedPalette(16);
    Picture picture;
    ASSERT_TRUE(picture.Create(MakePalettised(9, 3, 4, palette, [](int x, int y) { return (x + 4 * y) % 16; })));
    uint32_t got = 0;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 9; ++x) {
            ASSERT_TRUE(picture.GetPixelColor(unsigned(x), unsigned(y), got));
            const auto& p = palette[size_t((x + 4 * y) % 16)];
            EXPECT_EQ(uint32_t(p.blue) << 16 | uint32_t(p.green) << 8 | p.red, got) << x << "," << y;
        }
    EXPECT_FALSE(picture.GetPixelColor(9, 0, got));
}

TEST(PictureTest, CutEmptyZoneCropsToTheOpaquePixels)
{
    struct Case {
        const char* name;
        int imageWidth;
        int x0, x1, y0, y1;  // opaque block, half-open, rows from the top
        bool horizontal, vertical;
        int width, height, dx, dy;
        int firstOpaqueColumn;  // of the cropped picture's top row
    } cases[] = {
        {"20 x 10 block", 100, 10, 30, 5, 15, true, true, 20, 10, -30, -20, 0},
        {"21 wide widens left", 100, 10, 31, 5, 15, true, true, 22, 10, -30, -20, 1},
        {"odd at the left edge widens right", 100, 0, 21, 5, 15, true, true, 22, 10, -39, -20, 0},
        {"odd over the whole width stays odd", 99, 0, 99, 5, 15, true, true, 99, 10, 0, -20, 0},
        {"width kept", 100, 10, 30, 5, 15, false, true, 100, 10, 0, -20, 10},
        {"height kept", 100, 10, 30, 5, 15, true, false, 20, 60, -30, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Picture picture;
        ASSERT_TRUE(picture.Create(OpaqueBlock(c.imageWidth, 60, c.x0, c.x1, c.y0, c.y1)));
        int dx = 1, dy = 1;
        ASSERT_TRUE(picture.CutEmptyZone(1, c.horizontal, c.vertical, dx, dy));
        int w = 0, h = 0, bpp = 0;
        ASSERT_TRUE(picture.GetInfo(w, h, bpp));
        EXPECT_EQ(c.width, w);
        EXPECT_EQ(c.height, h);
        EXPECT_EQ(32, bpp);
        EXPECT_EQ(c.dx, dx);
        EXPECT_EQ(c.dy, dy);
        // The kept pixels are the old ones, alpha included, top row first.
        const int topRow = c.vertical ? 0 : c.y0;
        const BYTE* line = FreeImage_GetScanLine(picture.GetImageHandle(), h - 1 - topRow);
        const int column = c.firstOpaqueColumn;
        EXPECT_EQ(255, line[column * 4 + FI_RGBA_ALPHA]);
        EXPECT_EQ(c.y0, line[column * 4 + FI_RGBA_GREEN]);
        if (column > 0) {
            EXPECT_EQ(0, line[(column - 1) * 4 + FI_RGBA_ALPHA]);
        }
    }

    // Nothing qualifies, or not 32-bit: false, and the picture is unchanged.
    Picture clear;
    ASSERT_TRUE(clear.Create(OpaqueBlock(10, 6, 0, 0, 0, 0)));
    int dx = 7, dy = 7;
    EXPECT_FALSE(clear.CutEmptyZone(1, true, true, dx, dy));
    int w = 0, h = 0, bpp = 0;
    ASSERT_TRUE(clear.GetInfo(w, h, bpp));
    EXPECT_EQ(10, w);
    EXPECT_EQ(6, h);
    EXPECT_EQ(7, dx);
    Picture deep24;
    ASSERT_TRUE(deep24.Create(MakeTrueColour(10, 6, 24, [](int, int) { return 0xFFFFFFFFu; })));
    EXPECT_FALSE(deep24.CutEmptyZone(1, true, true, dx, dy));
    ASSERT_TRUE(deep24.GetInfo(w, h, bpp));
    EXPECT_EQ(24, bpp);
    EXPECT_EQ(10, w);
}

TEST(PictureTest, SaveFlipAndConvertKeepThePixels)
{
    Picture picture;
    ASSERT_TRUE(picture.Create(OpaqueBlock(5, 3, 0, 5, 0, 1)));  // only the top row opaque
    std::vector<unsigned char> png;
    ASSERT_TRUE(picture.Save(FIF_PNG, png));
    Picture again;
    ASSERT_TRUE(again.Load(png.data(), png.size(), FIF_UNKNOWN));
    uint32_t colour = 0;
    ASSERT_TRUE(again.GetPixelColor(4, 2, colour));  // bottom-up: row 2 is the top
    EXPECT_EQ(0x04005Au, colour);

    ASSERT_TRUE(again.FlipVertical());
    ASSERT_TRUE(again.GetPixelColor(4, 0, colour));
    EXPECT_EQ(0x04005Au, colour);

    ASSERT_TRUE(again.ConvertTo24());
    int w = 0, h = 0, bpp = 0;
    ASSERT_TRUE(again.GetInfo(w, h, bpp));
    EXPECT_EQ(24, bpp);
    ASSERT_TRUE(again.GetPixelColor(4, 0, colour));
    EXPECT_EQ(0x04005Au, colour);
    ASSERT_TRUE(again.ConvertTo32());
    ASSERT_TRUE(again.GetInfo(w, h, bpp));
    EXPECT_EQ(32, bpp);

    Picture empty;
    EXPECT_FALSE(empty.Save(FIF_PNG, png));
    EXPECT_FALSE(empty.ConvertTo8());
    EXPECT_FALSE(empty.FlipVertical());
    EXPECT_FALSE(empty.Create(nullptr));
    EXPECT_FALSE(empty.Create(0, 4, 8));
    EXPECT_TRUE(empty.Create(3, 4, 8));
    EXPECT_EQ(FIF_PNG, Picture::GetFileFormat("masks/a.png"));
}

}  // namespace
