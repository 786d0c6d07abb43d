#include "game/FreeImageLibEx/Picture.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>

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

unsigned ReadLe16(const unsigned char* p)
{
    return unsigned(p[0]) | unsigned(p[1]) << 8;
}

// FreeImage cannot read a GIF's header alone, so the logical screen and the first
// image descriptor, whose size the decoder allocates, are found here. Every step moves
// forward through the bytes, so the walk ends.
bool GifSizeFits(const unsigned char* data, unsigned long size)
{
    if (size < 13 || !SizeFits(ReadLe16(data + 6), ReadLe16(data + 8)))
        return false;
    unsigned long at = 13;
    if (data[10] & 0x80)
        at += 3ul << ((data[10] & 7) + 1);
    while (at < size) {
        const unsigned char block = data[at];
        if (block == 0x2C)
            return size - at >= 10 && SizeFits(ReadLe16(data + at + 5), ReadLe16(data + at + 7));
        if (block != 0x21 || size - at < 2)
            return false;
        at += 2;
        for (;;) {
            if (at >= size)
                return false;
            const unsigned length = data[at];
            at += 1 + length;
            if (length == 0)
                break;
        }
    }
    return false;
}

// Whether the image in `stream` may be decoded: its sides are read without its pixels.
bool HeaderFits(FREE_IMAGE_FORMAT format, FIMEMORY* stream, const unsigned char* data, unsigned long size)
{
    if (format == FIF_GIF)
        return GifSizeFits(data, size);
    if (!FreeImage_FIFSupportsNoPixels(format))
        return false;
    FIBITMAP* header = FreeImage_LoadFromMemory(format, stream, FIF_LOAD_NOPIXELS);
    if (!header)
        return false;
    const bool fits = SizeFits(FreeImage_GetWidth(header), FreeImage_GetHeight(header));
    FreeImage_Unload(header);
    FreeImage_SeekMemory(stream, 0, SEEK_SET);
    return fits;
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
    InitFreeImage();
    FIMEMORY* stream = FreeImage_OpenMemory(data, static_cast<DWORD>(size));
    if (!stream)
        return false;
    if (format == FIF_UNKNOWN)
        format = FreeImage_GetFileTypeFromMemory(stream, 0);
    if (format != FIF_UNKNOWN && FreeImage_FIFSupportsReading(format) && HeaderFits(format, stream, data, size)) {
        _image = FreeImage_LoadFromMemory(format, stream, 0);
        if (_image && !SizeFits(FreeImage_GetWidth(_image), FreeImage_GetHeight(_image)))
            Release();
    }
    FreeImage_CloseMemory(stream);
    UpdatePalette();
    return _image != nullptr;
}

bool Picture::Load(const char* path, FreeImageLib::FREE_IMAGE_FORMAT format)
{
    Release();
    if (!path)
        return false;
    InitFreeImage();
    if (format == FIF_UNKNOWN)
        format = FreeImage_GetFIFFromFilename(path);
    if (format == FIF_UNKNOWN)
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
