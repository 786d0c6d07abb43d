#include "platform/hge/PngDecoder.h"

#include <png.h>

#include <cstring>
#include <new>

namespace hgeplatform {

namespace {

struct Source {
    const png_byte* data;
    size_t size;
    size_t at;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
    Source* source = static_cast<Source*>(png_get_io_ptr(png));
    if (count > source->size - source->at) png_error(png, "truncated");
    std::memcpy(out, source->data + source->at, count);
    source->at += count;
}

// libpng reports through these; the texture loader says only yes or no.
void Fail(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void Ignore(png_structp, png_const_charp) {}

// Every transform that turns the file's pixels into B, G, R, A bytes of 8 bits.
void ToBgra(png_structp png, png_infop info) {
    const int type = png_get_color_type(png, info);
    const int depth = png_get_bit_depth(png, info);
    if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (type == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
    // The transparent colour of a grey or RGB picture, or the palette's alpha values.
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    if (depth == 16) png_set_scale_16(png);
    if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
}

// Holds no object with a destructor: a libpng error jumps back into it.
bool Read(png_structp png, png_infop info, Source* source, int maxSide, uint64_t maxPixels, int* width,
          int* height, std::vector<uint32_t>* pixels) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_read_fn(png, source, ReadFromMemory);
    png_set_user_limits(png, png_uint_32(maxSide), png_uint_32(maxSide));
    png_read_info(png, info);
    const png_uint_32 w = png_get_image_width(png, info);
    const png_uint_32 h = png_get_image_height(png, info);
    if (w == 0 || h == 0 || w > png_uint_32(maxSide) || h > png_uint_32(maxSide) || uint64_t(w) * h > maxPixels)
        return false;
    ToBgra(png, info);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != size_t(w) * 4) return false;
    pixels->resize(size_t(w) * h);
    // Each pass of an interlaced file fills its texels into rows that already hold the
    // earlier passes' ones.
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < h; ++y)
            png_read_row(png, reinterpret_cast<png_bytep>(pixels->data() + size_t(y) * w), nullptr);
    *width = int(w);
    *height = int(h);
    return true;
}

}  // namespace

bool IsPng(const void* data, uint32_t size) {
    return data && size >= 8 && png_sig_cmp(static_cast<png_const_bytep>(data), 0, 8) == 0;
}

bool DecodePng(const void* data, uint32_t size, int maxSide, uint64_t maxPixels, int* width, int* height,
               std::vector<uint32_t>* pixels) {
    if (!IsPng(data, size)) return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Fail, Ignore);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    Source source{static_cast<const png_byte*>(data), size, 0};
    bool ok = false;
    try {
        ok = info && Read(png, info, &source, maxSide, maxPixels, width, height, pixels);
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    if (!ok) pixels->clear();
    return ok;
}

}  // namespace hgeplatform
