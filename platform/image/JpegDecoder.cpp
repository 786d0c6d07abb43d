#include "platform/image/JpegDecoder.h"

// jpeglib.h needs size_t and FILE declared first.
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <new>

#include <jpeglib.h>
#include <jerror.h>

#include "platform/image/ImageFormat.h"

namespace imageformat {

namespace {

bool OverBudget(const JpegWork& work) { return work.scans > kMaxJpegScans || work.blocks > kMaxJpegBlockWork; }

struct Decoding {
    jpeg_error_mgr errors;
    std::jmp_buf jump;
    jpeg_progress_mgr progress;
    int scanSeen = 0;
    JpegWork work;
};

[[noreturn]] void Refuse(j_common_ptr info) { std::longjmp(reinterpret_cast<Decoding*>(info->err)->jump, 1); }

// libjpeg reports through these; the callers say only yes or no. A file with lost picture
// data (cut short, broken codes) is refused; stray bytes between markers, which many tools
// write, are let pass.
void Warn(j_common_ptr info, int level) {
    const int code = info->err->msg_code;
    if (level < 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER || code == JWRN_HUFF_BAD_CODE ||
                      code == JWRN_MUST_RESYNC || code == JWRN_NOT_SEQUENTIAL))
        Refuse(info);
}
void Quiet(j_common_ptr) {}

// Called before each step of input; a new scan is counted before any of its data is read,
// with the blocks libjpeg itself will walk for it.
void Progress(j_common_ptr info) {
    const auto* jpeg = reinterpret_cast<j_decompress_ptr>(info);
    Decoding* decoding = reinterpret_cast<Decoding*>(info->err);
    if (jpeg->input_scan_number == decoding->scanSeen) return;
    decoding->scanSeen = jpeg->input_scan_number;
    decoding->work.scans += 1;
    decoding->work.blocks += uint64_t(jpeg->MCUs_per_row) * jpeg->MCU_rows_in_scan * unsigned(jpeg->blocks_in_MCU);
    if (OverBudget(decoding->work)) Refuse(info);
}

// Printed ink over white: each of C, M, Y takes its colour away, K takes all of them.
uint8_t Printed(unsigned ink, unsigned black, bool inverted) {
    const unsigned keep = inverted ? ink * black : (255 - ink) * (255 - black);
    return uint8_t((keep + 127) / 255);
}

// C, M, Y, K bytes into B, G, R, 0xFF texels, in place.
void CmykToTexels(uint32_t* row, uint32_t width, bool inverted) {
    uint8_t* bytes = reinterpret_cast<uint8_t*>(row);
    for (uint32_t x = 0; x < width; ++x) {
        const uint8_t* ink = bytes + size_t(x) * 4;
        const unsigned k = ink[3];
        row[x] = 0xFF000000u | uint32_t(Printed(ink[0], k, inverted)) << 16 | uint32_t(Printed(ink[1], k, inverted)) << 8 |
                 Printed(ink[2], k, inverted);
    }
}

// Holds no object with a destructor: a libjpeg error jumps back into it.
bool Read(jpeg_decompress_struct* jpeg, Decoding* decoding, const unsigned char* data, size_t size, uint64_t maxPixels,
          JpegRows* rows) {
    if (setjmp(decoding->jump)) return false;
    jpeg_mem_src(jpeg, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(jpeg, TRUE) != JPEG_HEADER_OK) return false;
    const JDIMENSION w = jpeg->image_width, h = jpeg->image_height;
    if (w == 0 || h == 0 || uint64_t(w) * h > maxPixels) return false;
    bool cmyk = false;
    switch (jpeg->jpeg_color_space) {
        case JCS_GRAYSCALE:
        case JCS_YCbCr:
        case JCS_RGB: jpeg->out_color_space = JCS_EXT_BGRA; break;  // B, G, R, then 0xFF: a texel
        case JCS_CMYK:
        case JCS_YCCK:
            jpeg->out_color_space = JCS_CMYK;
            cmyk = true;
            break;
        default: return false;
    }
    const bool inverted = cmyk && jpeg->saw_Adobe_marker;
    jpeg->dct_method = JDCT_ISLOW;
    jpeg->do_fancy_upsampling = TRUE;
    jpeg_start_decompress(jpeg);
    if (jpeg->output_width != w || jpeg->output_height != h || jpeg->output_components != 4) return false;
    if (!rows->Start(w, h, jpeg->jpeg_color_space == JCS_GRAYSCALE)) return false;
    while (jpeg->output_scanline < h) {
        const uint32_t y = jpeg->output_scanline;
        uint32_t* texels = rows->Row(y);
        JSAMPROW row = reinterpret_cast<JSAMPROW>(texels);
        if (jpeg_read_scanlines(jpeg, &row, 1) != 1) return false;
        if (cmyk) CmykToTexels(texels, w, inverted);
        rows->RowDone(y);
    }
    return true;
}

}  // namespace

JpegWork MeasureJpegWork(const void* data, size_t size) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    if (!data || size < 4 || p[0] != 0xFF || p[1] != 0xD8) return {};
    struct Component {
        unsigned id;
        uint64_t blocks;  // in whole MCUs, as an interleaved scan walks them
    } components[4];
    unsigned count = 0;
    JpegWork work;
    size_t at = 2;
    while (!OverBudget(work) && (at = NextJpegSegment(p, size, at)) < size) {
        const unsigned marker = p[at + 1];
        if (marker == 0xD8 || marker == 0xD9 || at + 4 > size) break;
        const size_t length = size_t(p[at + 2]) << 8 | p[at + 3];
        if (length < 2 || length > size - at - 2) break;
        const uint8_t* body = p + at + 4;
        const size_t bodyLength = length - 2;
        if (IsJpegFrameMarker(marker) && count == 0) {
            if (bodyLength < 6) return {};
            const uint32_t height = uint32_t(body[1]) << 8 | body[2], width = uint32_t(body[3]) << 8 | body[4];
            count = body[5];
            if (count < 1 || count > 4 || bodyLength != 6 + 3 * size_t(count)) return {};
            unsigned hMax = 1, vMax = 1;
            for (unsigned i = 0; i < count; ++i) {
                const unsigned hv = body[6 + 3 * i + 1];
                if ((hv >> 4) < 1 || (hv >> 4) > 4 || (hv & 15) < 1 || (hv & 15) > 4) return {};
                hMax = hv >> 4 > hMax ? hv >> 4 : hMax;
                vMax = (hv & 15) > vMax ? hv & 15 : vMax;
            }
            const uint64_t across = (uint64_t(width) + 8 * hMax - 1) / (8 * hMax);
            const uint64_t down = (uint64_t(height) + 8 * vMax - 1) / (8 * vMax);
            for (unsigned i = 0; i < count; ++i) {
                const unsigned hv = body[6 + 3 * i + 1];
                components[i] = {body[6 + 3 * i], across * (hv >> 4) * down * (hv & 15)};
            }
        } else if (marker == 0xDA) {
            if (count == 0 || bodyLength < 1 || bodyLength < 1 + 2 * size_t(body[0])) return {};
            work.scans += 1;
            for (unsigned s = 0; s < body[0]; ++s)
                for (unsigned i = 0; i < count; ++i)
                    if (components[i].id == body[1 + 2 * s]) work.blocks += components[i].blocks;
        }
        at += 2 + length;
    }
    return count == 0 ? JpegWork{} : work;
}

bool DecodeJpeg(const void* data, size_t size, uint64_t maxPixels, JpegRows* rows) {
    const ImageHeader header = ReadImageHeader(data, size);
    if (header.format != ImageFormat::kJpeg || uint64_t(header.width) * header.height > maxPixels ||
        OverBudget(MeasureJpegWork(data, size)))
        return false;
    jpeg_decompress_struct jpeg{};
    Decoding decoding{};
    jpeg.err = jpeg_std_error(&decoding.errors);
    decoding.errors.error_exit = Refuse;
    decoding.errors.emit_message = Warn;
    decoding.errors.output_message = Quiet;
    jpeg_create_decompress(&jpeg);
    decoding.progress.progress_monitor = Progress;
    jpeg.progress = &decoding.progress;
    bool ok = false;
    try {
        ok = Read(&jpeg, &decoding, static_cast<const unsigned char*>(data), size, maxPixels, rows);
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    jpeg_destroy_decompress(&jpeg);
    return ok;
}

}  // namespace imageformat
