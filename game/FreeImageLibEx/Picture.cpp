#include "game/FreeImageLibEx/Picture.h"

#include "platform/image/ImageFormat.h"
#include "platform/image/JpegDecoder.h"
#include "platform/image/TgaDecoder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <new>

namespace FreeImageLibEx {

namespace {

// Once per process and never undone: the platform layer decodes with FreeImage too.
void InitFreeImage()
{
    static std::once_flag once;
    std::call_once(once, [] { FreeImage_Initialise(FALSE); });
}

bool SizeFits(uint64_t width, uint64_t height)
{
    return width > 0 && height > 0 && width <= Picture::kMaxSide && height <= Picture::kMaxSide &&
           width * height <= Picture::kMaxPixels;
}

// FreeImage is only ever told a format read from the bytes, and only one on the list.
FREE_IMAGE_FORMAT FreeImageFormat(imageformat::ImageFormat format)
{
    switch (format) {
    case imageformat::ImageFormat::kPng:
        return FIF_PNG;
    case imageformat::ImageFormat::kJpeg:
        return FIF_JPEG;  // decoded by JpegBitmap, never by FreeImage
    case imageformat::ImageFormat::kBmp:
        return FIF_BMP;
    case imageformat::ImageFormat::kTga:
        return FIF_TARGA;  // decoded by TgaBitmap, never by FreeImage
    case imageformat::ImageFormat::kGif:
        return FIF_GIF;
    case imageformat::ImageFormat::kDds:
        return FIF_DDS;
    case imageformat::ImageFormat::kNone:
        break;
    }
    return FIF_UNKNOWN;
}

// A TGA file as FreeImage holds pictures: indexed and grey files as 8 bits with their
// palette (see-through entries in the transparency table), 32-bit files as 32 bits, other
// true-colour files as 24; rows bottom first. Null when the file does not decode.
FIBITMAP* TgaBitmap(const unsigned char* data, unsigned long size)
{
    imageformat::TgaImage tga;
    if (!imageformat::DecodeTga(data, size, Picture::kMaxPixels, &tga))
        return nullptr;
    const int w = int(tga.width), h = int(tga.height);
    FIBITMAP* bitmap = FreeImage_Allocate(w, h, tga.indexed ? 8 : (tga.depth == 32 ? 32 : 24));
    if (!bitmap)
        return nullptr;
    if (tga.indexed) {
        RGBQUAD* palette = FreeImage_GetPalette(bitmap);
        BYTE alpha[256];
        bool seeThrough = false;
        for (int i = 0; i < 256; ++i) {
            const uint32_t c = tga.palette[size_t(i)];
            palette[i] = RGBQUAD{BYTE(c), BYTE(c >> 8), BYTE(c >> 16), 0};
            alpha[i] = BYTE(c >> 24);
            seeThrough = seeThrough || alpha[i] != 255;
        }
        if (seeThrough)
            FreeImage_SetTransparencyTable(bitmap, alpha, 256);
    }
    const unsigned bytes = tga.indexed ? 1 : FreeImage_GetBPP(bitmap) / 8;
    for (int y = 0; y < h; ++y) {
        BYTE* line = FreeImage_GetScanLine(bitmap, h - 1 - y);
        for (int x = 0; x < w; ++x) {
            const size_t at = size_t(y) * size_t(w) + size_t(x);
            if (tga.indexed) {
                line[x] = tga.indexes[at];
                continue;
            }
            const uint32_t c = tga.texels[at];
            BYTE* p = line + size_t(x) * bytes;
            p[FI_RGBA_BLUE] = BYTE(c);
            p[FI_RGBA_GREEN] = BYTE(c >> 8);
            p[FI_RGBA_RED] = BYTE(c >> 16);
            if (bytes == 4)
                p[FI_RGBA_ALPHA] = BYTE(c >> 24);
        }
    }
    return bitmap;
}

// A JPEG file as FreeImage holds pictures: grey ones as 8 bits with a grey palette, colour
// and CMYK ones as 24; rows bottom first. Each decoded row is packed into the bitmap's own.
class JpegBitmap final : public imageformat::JpegRows {
public:
    ~JpegBitmap() override
    {
        if (_bitmap)
            FreeImage_Unload(_bitmap);
    }
    bool Start(uint32_t width, uint32_t height, bool grey) override
    {
        if (!SizeFits(width, height))
            return false;
        _bitmap = FreeImage_Allocate(int(width), int(height), grey ? 8 : 24);
        if (!_bitmap)
            return false;
        _row.resize(width);
        _grey = grey;
        return true;
    }
    uint32_t* Row(uint32_t) override { return _row.data(); }
    void RowDone(uint32_t y) override
    {
        BYTE* line = FreeImage_GetScanLine(_bitmap, int(FreeImage_GetHeight(_bitmap) - 1 - y));
        for (size_t x = 0; x < _row.size(); ++x) {
            const uint32_t c = _row[x];
            if (_grey) {
                line[x] = BYTE(c);
                continue;
            }
            BYTE* p = line + x * 3;
            p[FI_RGBA_BLUE] = BYTE(c);
            p[FI_RGBA_GREEN] = BYTE(c >> 8);
            p[FI_RGBA_RED] = BYTE(c >> 16);
        }
    }
    // The picture, now the caller's; null when the file did not decode.
    FIBITMAP* Take(bool decoded)
    {
        FIBITMAP* bitmap = decoded ? _bitmap : nullptr;
        if (decoded)
            _bitmap = nullptr;
        return bitmap;
    }

private:
    FIBITMAP* _bitmap = nullptr;
    std::vector<uint32_t> _row;
    bool _grey = false;
};

FIBITMAP* DecodeJpegBitmap(const unsigned char* data, unsigned long size)
{
    JpegBitmap bitmap;
    try {
        const bool decoded = imageformat::DecodeJpeg(data, size, Picture::kMaxPixels, &bitmap);
        return bitmap.Take(decoded);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace

Picture::~Picture()
{
    Release();
}

void Picture::Release()
{
    if (_image)
        FreeImage_Unload(_image);
    _image = nullptr;
    _palette = nullptr;
    _colorsUsed = 0;
}

void Picture::UpdatePalette()
{
    _colorsUsed = 0;
    _palette = nullptr;
    if (!_image)
        return;
    _colorsUsed = FreeImage_GetColorsUsed(_image);
    _palette = FreeImage_GetPalette(_image);
}

bool Picture::Load(unsigned char* data, unsigned long size, FreeImageLib::FREE_IMAGE_FORMAT format)
{
    Release();
    if (!data || size == 0 || size > 0xFFFFFFFFul)
        return false;
    const imageformat::ImageHeader header = imageformat::ReadImageHeader(data, size);
    const FREE_IMAGE_FORMAT found = FreeImageFormat(header.format);
    if (found == FIF_UNKNOWN || (format != FIF_UNKNOWN && format != found) || !SizeFits(header.width, header.height))
        return false;
    InitFreeImage();
    if (found == FIF_TARGA || found == FIF_JPEG) {
        _image = found == FIF_TARGA ? TgaBitmap(data, size) : DecodeJpegBitmap(data, size);
        UpdatePalette();
        return _image != nullptr;
    }
    FIMEMORY* stream = FreeImage_OpenMemory(data, static_cast<DWORD>(size));
    if (!stream)
        return false;
    _image = FreeImage_LoadFromMemory(found, stream, 0);
    if (_image && !SizeFits(FreeImage_GetWidth(_image), FreeImage_GetHeight(_image)))
        Release();
    FreeImage_CloseMemory(stream);
    UpdatePalette();
    return _image != nullptr;
}

bool Picture::Load(const char* path, FreeImageLib::FREE_IMAGE_FORMAT format)
{
    Release();
    if (!path)
        return false;
    // Read whole, so that a file on disk passes the same size checks as one in a pack.
    std::FILE* file = std::fopen(path, "rbe");
    if (!file)
        return false;
    std::vector<unsigned char> bytes;
    unsigned char chunk[65536];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0 && bytes.size() <= 0xFFFFFFFFul)
        bytes.insert(bytes.end(), chunk, chunk + got);
    std::fclose(file);
    if (bytes.empty())
        return false;
    return Load(bytes.data(), static_cast<unsigned long>(bytes.size()), format);
}

bool Picture::Create(int width, int height, int bitsPerPixel)
{
    Release();
    if (width <= 0 || height <= 0 || !SizeFits(unsigned(width), unsigned(height)))
        return false;
    InitFreeImage();
    _image = FreeImage_Allocate(width, height, bitsPerPixel, 0, 0, 0);
    UpdatePalette();
    return _image != nullptr;
}

bool Picture::Create(FreeImageLib::FIBITMAP* image)
{
    Release();
    _image = image;
    UpdatePalette();
    return _image != nullptr;
}

bool Picture::Save(const char* path, FreeImageLib::FREE_IMAGE_FORMAT format) const
{
    if (!_image || !path)
        return false;
    if (format == FIF_UNKNOWN)
        format = FreeImage_GetFIFFromFilename(path);
    if (format == FIF_UNKNOWN)
        return false;
    // Written through a handle of our own: the file is closed on exec, so a program the
    // game starts never inherits it.
    std::vector<unsigned char> bytes;
    if (!Save(format, bytes))
        return false;
    std::FILE* file = std::fopen(path, "wbe");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

bool Picture::Save(FreeImageLib::FREE_IMAGE_FORMAT format, std::vector<unsigned char>& out) const
{
    if (!_image)
        return false;
    FIMEMORY* stream = FreeImage_OpenMemory(nullptr, 0);
    if (!stream)
        return false;
    bool saved = false;
    if (FreeImage_SaveToMemory(format, _image, stream, 0)) {
        const long size = FreeImage_TellMemory(stream);
        if (size > 0) {
            out.assign(static_cast<size_t>(size), 0);
            FreeImage_SeekMemory(stream, 0, SEEK_SET);
            saved = FreeImage_ReadMemory(out.data(), static_cast<unsigned>(size), 1, stream) == 1;
        }
    }
    FreeImage_CloseMemory(stream);
    return saved;
}

bool Picture::GetInfo(int& width, int& height, int& bitsPerPixel) const
{
    if (!_image)
        return false;
    bitsPerPixel = static_cast<int>(FreeImage_GetBPP(_image));
    width = static_cast<int>(FreeImage_GetWidth(_image));
    height = static_cast<int>(FreeImage_GetHeight(_image));
    return true;
}

bool Picture::GetPitch(unsigned int& pitch) const
{
    if (!_image)
        return false;
    pitch = FreeImage_GetPitch(_image);
    return true;
}

bool Picture::GetBits(unsigned char*& bits) const
{
    if (!_image)
        return false;
    bits = FreeImage_GetBits(_image);
    return true;
}

bool Picture::GetColor(unsigned int index, unsigned char& red, unsigned char& green, unsigned char& blue) const
{
    if (!_image || !_palette || index >= _colorsUsed)
        return false;
    red = _palette[index].rgbRed;
    green = _palette[index].rgbGreen;
    blue = _palette[index].rgbBlue;
    return true;
}

bool Picture::GetPixelColor(unsigned int x, unsigned int y, uint32_t& colour) const
{
    if (!_image)
        return false;
    const unsigned width = FreeImage_GetWidth(_image);
    const unsigned height = FreeImage_GetHeight(_image);
    if (x >= width || y >= height)
        return false;
    const unsigned bpp = FreeImage_GetBPP(_image);
    if (bpp <= 8) {
        if (!_palette)
            return false;
        const BYTE* line = FreeImage_GetScanLine(_image, static_cast<int>(height - y - 1));
        // Pixels narrower than a byte sit from the byte's high bits down.
        const unsigned bit = x * bpp;
        const unsigned index = (line[bit / 8] >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
        if (index >= _colorsUsed)
            return false;
        const RGBQUAD& c = _palette[index];
        colour = uint32_t(c.rgbBlue) << 16 | uint32_t(c.rgbGreen) << 8 | c.rgbRed;
        return true;
    }
    if (bpp != 24 && bpp != 32)
        return false;
    const BYTE* pixel = FreeImage_GetBits(_image) + size_t(y) * FreeImage_GetPitch(_image) + size_t(x) * (bpp / 8);
    colour = uint32_t(pixel[FI_RGBA_RED]) << 16 | uint32_t(pixel[FI_RGBA_GREEN]) << 8 | pixel[FI_RGBA_BLUE];
    return true;
}

bool Picture::CutEmptyZone(unsigned char alphaLimit, bool horizontal, bool vertical, int& dx, int& dy)
{
    if (!_image || FreeImage_GetBPP(_image) != 32 || FreeImage_GetImageType(_image) != FIT_BITMAP)
        return false;
    const int width = static_cast<int>(FreeImage_GetWidth(_image));
    const int height = static_cast<int>(FreeImage_GetHeight(_image));
    // Half-open ranges of the qualifying columns and rows, row 0 at the top.
    int minX = width + 1, maxX = -1, minY = height + 1, maxY = -1;
    for (int y = 0; y < height; ++y) {
        const BYTE* line = FreeImage_GetScanLine(_image, height - 1 - y);
        for (int x = 0; x < width; ++x) {
            if (line[x * 4 + FI_RGBA_ALPHA] < alphaLimit)
                continue;
            minX = std::min(minX, x);
            maxX = std::max(maxX, x + 1);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y + 1);
        }
    }
    if (maxX < 0)
        return false;
    // An odd side grows by one, on the left (top) when there is room, else on the
    // right (bottom) when there is room, else it stays odd.
    auto settle = [](bool crop, int extent, int& low, int& high) {
        if (!crop) {
            low = 0;
            high = extent;
        } else if ((high - low) % 2 != 0) {
            if (low > 0)
                --low;
            else if (high < extent)
                ++high;
        }
    };
    settle(horizontal, width, minX, maxX);
    settle(vertical, height, minY, maxY);

    // FreeImage's rectangles count rows from the top as well. The cut-out is the new
    // image as it is: pasting it into a fresh one with alpha 255 would blend every pixel
    // (255/256 of it) and lose a step of colour and alpha.
    FIBITMAP* cropped = FreeImage_Copy(_image, minX, minY, maxX, maxY);
    if (!cropped)
        return false;
    FreeImage_Unload(_image);
    _image = cropped;
    UpdatePalette();
    dx = -((width - minX - maxX) / 2);
    dy = -((height - minY - maxY) / 2);
    return true;
}

bool Picture::FlipVertical()
{
    if (!_image)
        return false;
    const bool flipped = FreeImage_FlipVertical(_image) != 0;
    UpdatePalette();
    return flipped;
}

bool Picture::Replace(FreeImageLib::FIBITMAP* converted)
{
    if (!converted)
        return false;
    if (converted != _image)
        FreeImage_Unload(_image);
    _image = converted;
    UpdatePalette();
    return true;
}

bool Picture::ConvertTo8()
{
    return _image && Replace(FreeImage_ConvertTo8Bits(_image));
}

bool Picture::ConvertTo24()
{
    return _image && Replace(FreeImage_ConvertTo24Bits(_image));
}

bool Picture::ConvertTo32()
{
    return _image && Replace(FreeImage_ConvertTo32Bits(_image));
}

FreeImageLib::FREE_IMAGE_FORMAT Picture::GetFileFormat(const char* path)
{
    InitFreeImage();
    return FreeImage_GetFIFFromFilename(path);
}

}  // namespace FreeImageLibEx
