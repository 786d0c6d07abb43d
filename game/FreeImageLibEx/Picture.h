#pragma once
// One image held by FreeImage: its size and depth, pixel rows (bottom row first,
// each `GetPitch` bytes long), palette, and the conversions and crops the game needs.

#include <FreeImage.h>

#include <cstdint>
#include <vector>

// FreeImage's types as the game library names them. A system header cannot be wrapped
// in a namespace of ours, so its types are brought in instead.
namespace FreeImageLib {
using ::FIBITMAP;
using ::FREE_IMAGE_FORMAT;
}  // namespace FreeImageLib

namespace FreeImageLibEx {

// Empty, or the only owner of one FreeImage image. The cached palette belongs to that
// image and is read again whenever the image is replaced or changed. No operation
// throws: every failure is a false result. A format of -1 means "find it from the data".
class Picture {
public:
    // Largest side, and largest pixel count, of an image decoded from outside data:
    // both are checked from the file's header before any pixel memory is taken.
    static constexpr unsigned kMaxSide = 16384;
    static constexpr uint64_t kMaxPixels = uint64_t(8192) * 8192;

    Picture() = default;
    ~Picture();
    // One owner per image: a copy would free it twice.
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    void Release();
    bool IsValid() const { return _image != nullptr; }

    // Decodes a file held in memory. Only the formats of platform/image/ImageFormat.h are
    // taken, told from the bytes with their headers checked before any decoder sees them
    // (TGA and JPEG are decoded by platform/image, the others by FreeImage);
    // a named format must be the one the bytes hold. Images larger than the limits above
    // are refused from their header. A failed load leaves the picture empty.
    bool Load(unsigned char* data, unsigned long size, FreeImageLib::FREE_IMAGE_FORMAT format);
    bool Load(const char* path, FreeImageLib::FREE_IMAGE_FORMAT format);
    bool Create(int width, int height, int bitsPerPixel);
    // Takes ownership of `image`.
    bool Create(FreeImageLib::FIBITMAP* image);

    bool Save(const char* path, FreeImageLib::FREE_IMAGE_FORMAT format) const;
    bool Save(FreeImageLib::FREE_IMAGE_FORMAT format, std::vector<unsigned char>& out) const;

    bool GetInfo(int& width, int& height, int& bitsPerPixel) const;
    bool GetPitch(unsigned int& pitch) const;
    bool GetBits(unsigned char*& bits) const;
    // Palette entry `index`; false without a palette or past the colours used.
    bool GetColor(unsigned int index, unsigned char& red, unsigned char& green, unsigned char& blue) const;
    // Pixel (x, y), y counted from the top of palettised images and from the bottom of
    // deeper ones; palette colours come as 0x00BBGGRR, deep colours as 0x00RRGGBB.
    // False outside the image.
    bool GetPixelColor(unsigned int x, unsigned int y, uint32_t& colour) const;

    // Crops a 32-bit image to the pixels whose alpha is at least `alphaLimit`, along the
    // axes asked for, keeping each cropped side even where the image allows; dx, dy
    // tell how far the kept centre lies from the old one. False, and nothing changed,
    // when no pixel qualifies or the image is not 32-bit.
    bool CutEmptyZone(unsigned char alphaLimit, bool horizontal, bool vertical, int& dx, int& dy);
    bool FlipVertical();

    // The conversions keep the old image when they fail.
    bool ConvertTo8();
    bool ConvertTo24();
    bool ConvertTo32();

    static FreeImageLib::FREE_IMAGE_FORMAT GetFileFormat(const char* path);
    FreeImageLib::FIBITMAP* GetImageHandle() const { return _image; }

protected:
    void UpdatePalette();

private:
    bool Replace(FreeImageLib::FIBITMAP* converted);

    unsigned int _colorsUsed = 0;
    RGBQUAD* _palette = nullptr;
    FreeImageLib::FIBITMAP* _image = nullptr;
};

}  // namespace FreeImageLibEx
