#include "platform/hge/JpegDecoder.h"

// jpeglib.h needs size_t and FILE declared first.
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <new>

#include <jpeglib.h>
#include <jerror.h>

namespace hgeplatform {

namespace {

// Each scan of a progressive file walks every block of the picture however few bytes
// it takes: a small file of thousands of scans would keep the decoder busy for hours.
// Encoders write about ten; more than this is no picture anyone made.
const int kMaxScans = 500;

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    jpeg_progress_mgr progress;
};

// libjpeg reports through these; the texture loader says only yes or no. A file with
// lost picture data (cut short, broken codes) is refused rather than shown with grey
// blocks; stray bytes between markers, which many tools write, are let pass.
void Fail(j_common_ptr info) { std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1); }
void Warn(j_common_ptr info, int level) {
    const int code = info->err->msg_code;
    if (level < 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER || code == JWRN_HUFF_BAD_CODE ||
                      code == JWRN_MUST_RESYNC || code == JWRN_NOT_SEQUENTIAL))
        std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}
void Quiet(j_common_ptr) {}
void Progress(j_common_ptr info) {
    if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxScans)
        std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// Holds no object with a destructor: a libjpeg error jumps back into it.
JpegResult Read(jpeg_decompress_struct* jpeg, ErrorManager* errors, const unsigned char* data, uint32_t size,
                int maxSide, uint64_t maxPixels, int* width, int* height, std::vector<uint32_t>* pixels) {
    if (setjmp(errors->jump)) return JpegResult::kRefused;
    jpeg_mem_src(jpeg, data, size);
    if (jpeg_read_header(jpeg, TRUE) != JPEG_HEADER_OK) return JpegResult::kRefused;
    const JDIMENSION w = jpeg->image_width, h = jpeg->image_height;
    if (w == 0 || h == 0 || w > JDIMENSION(maxSide) || h > JDIMENSION(maxSide) || uint64_t(w) * h > maxPixels)
        return JpegResult::kRefused;
    if (jpeg->jpeg_color_space != JCS_GRAYSCALE && jpeg->jpeg_color_space != JCS_YCbCr &&
        jpeg->jpeg_color_space != JCS_RGB)
        return JpegResult::kNotHandled;
    jpeg->out_color_space = JCS_EXT_BGRA;  // B, G, R, then 0xFF: a texel
    jpeg_start_decompress(jpeg);
    if (jpeg->output_width != w || jpeg->output_height != h || jpeg->output_components != 4)
        return JpegResult::kRefused;
    pixels->resize(size_t(w) * h);
    while (jpeg->output_scanline < h) {
        JSAMPROW row = reinterpret_cast<JSAMPROW>(pixels->data() + size_t(jpeg->output_scanline) * w);
        if (jpeg_read_scanlines(jpeg, &row, 1) != 1) return JpegResult::kRefused;
    }
    *width = int(w);
    *height = int(h);
    return JpegResult::kDecoded;
}

}  // namespace

JpegResult DecodeJpeg(const void* data, uint32_t size, int maxSide, uint64_t maxPixels, int* width, int* height,
                      std::vector<uint32_t>* pixels) {
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    if (!data || size < 3 || bytes[0] != 0xFF || bytes[1] != 0xD8 || bytes[2] != 0xFF) return JpegResult::kNotHandled;
    jpeg_decompress_struct jpeg{};
    ErrorManager errors{};
    jpeg.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = Fail;
    errors.base.emit_message = Warn;
    errors.base.output_message = Quiet;
    jpeg_create_decompress(&jpeg);
    errors.progress.progress_monitor = Progress;
    jpeg.progress = &errors.progress;
    JpegResult result = JpegResult::kRefused;
    try {
        result = Read(&jpeg, &errors, bytes, size, maxSide, maxPixels, width, height, pixels);
    } catch (const std::bad_alloc&) {
        result = JpegResult::kRefused;
    }
    jpeg_destroy_decompress(&jpeg);
    if (result != JpegResult::kDecoded) pixels->clear();
    return result;
}

}  // namespace hgeplatform
