#pragma once
// JPEG files written with libjpeg itself, for the kinds FreeImage does not write: CMYK and
// YCCK, with or without the Adobe marker, baseline or progressive, Huffman or arithmetic
// coded, with or without chroma subsampling.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace TestSupport {

struct JpegKind {
    J_COLOR_SPACE samples;  // of `pixels`: JCS_GRAYSCALE, JCS_RGB or JCS_CMYK
    J_COLOR_SPACE stored;   // in the file
    bool progressive;
    bool adobeMarker;  // written by libjpeg for CMYK and YCCK unless turned off
    bool subsampled = false;  // 4:2:0: the first component at twice the others' sampling
    bool arithmetic = false;  // arithmetic coding (frame SOF9, or SOF10 when progressive)
};

// `pixels` holds width x height samples of `kind.samples`, rows from the top. Quality 100,
// and unless asked no chroma subsampling, so flat areas come back within a step or two. A progressive file
// follows `script` when one is given, else libjpeg's own.
inline std::vector<unsigned char> WriteJpeg(int width, int height, const JpegKind& kind,
                                            const std::vector<unsigned char>& pixels,
                                            const std::vector<jpeg_scan_info>& script = {})
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    errors.error_exit = [](j_common_ptr) { std::abort(); };  // only ever given sound settings
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = kind.samples == JCS_GRAYSCALE ? 1 : kind.samples == JCS_CMYK ? 4 : 3;
    info.in_color_space = kind.samples;
    jpeg_set_defaults(&info);
    jpeg_set_colorspace(&info, kind.stored);
    for (int c = 0; c < info.num_components; ++c)
        info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = kind.subsampled && c == 0 ? 2 : 1;
    info.arith_code = kind.arithmetic ? TRUE : FALSE;
    jpeg_set_quality(&info, 100, TRUE);
    info.write_Adobe_marker = kind.adobeMarker ? TRUE : FALSE;
    if (kind.progressive && script.empty())
        jpeg_simple_progression(&info);
    if (kind.progressive && !script.empty()) {
        info.scan_info = script.data();
        info.num_scans = int(script.size());
    }
    jpeg_start_compress(&info, TRUE);
    const size_t stride = size_t(width) * size_t(info.input_components);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixels.data() + info.next_scanline * stride);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<unsigned char> bytes(out, out + size);
    std::free(out);
    return bytes;
}

}  // namespace TestSupport

namespace TestSupport {

// A 16 x 16 picture of four flat 8 x 8 quadrants, written as each kind a game may ship:
// grey, colour and CMYK (plain, YCCK, with and without the Adobe marker's inverted ink),
// baseline and progressive, Huffman and arithmetic coded, and one with stray bytes before a
// marker, as some tools leave them (libjpeg skips them with a warning). `colours` are the quadrants' 0xRRGGBB, left to right, top
// to bottom, as they should be shown.
struct JpegColourCase {
    const char* name;
    bool grey;
    uint32_t colours[4];
    std::vector<unsigned char> file;
};

constexpr int kJpegCaseSide = 16;

inline std::vector<JpegColourCase> JpegColourCases()
{
    const uint32_t colours[4] = {0xFF0000, 0x00A050, 0x1E3CFA, 0x808080};
    const uint32_t greys[4] = {0x141414, 0x5A5A5A, 0xA0A0A0, 0xF0F0F0};
    struct Kind {
        const char* name;
        JpegKind kind;
    };
    const Kind kinds[] = {
        {"grey", {JCS_GRAYSCALE, JCS_GRAYSCALE, false, false}},
        {"grey progressive", {JCS_GRAYSCALE, JCS_GRAYSCALE, true, false}},
        {"colour", {JCS_RGB, JCS_YCbCr, false, false}},
        {"colour progressive", {JCS_RGB, JCS_YCbCr, true, false}},
        {"colour arithmetic", {JCS_RGB, JCS_YCbCr, false, false, false, true}},
        {"colour progressive arithmetic", {JCS_RGB, JCS_YCbCr, true, false, false, true}},
        {"grey progressive arithmetic", {JCS_GRAYSCALE, JCS_GRAYSCALE, true, false, false, true}},
        {"cmyk progressive arithmetic, inverted (Adobe marker)", {JCS_CMYK, JCS_CMYK, true, true, false, true}},
        {"colour stored as RGB", {JCS_RGB, JCS_RGB, false, true}},
        {"cmyk, inverted (Adobe marker)", {JCS_CMYK, JCS_CMYK, false, true}},
        {"cmyk progressive, inverted (Adobe marker)", {JCS_CMYK, JCS_CMYK, true, true}},
        {"cmyk, plain (no Adobe marker)", {JCS_CMYK, JCS_CMYK, false, false}},
        {"ycck, inverted (Adobe marker)", {JCS_CMYK, JCS_YCCK, false, true}},
        {"ycck progressive, inverted (Adobe marker)", {JCS_CMYK, JCS_YCCK, true, true}},
    };
    std::vector<JpegColourCase> cases;
    for (const Kind& k : kinds) {
        const bool grey = k.kind.samples == JCS_GRAYSCALE;
        const bool cmyk = k.kind.samples == JCS_CMYK;
        const int channels = grey ? 1 : cmyk ? 4 : 3;
        JpegColourCase c{k.name, grey, {}, {}};
        std::vector<unsigned char> samples;
        for (int y = 0; y < kJpegCaseSide; ++y)
            for (int x = 0; x < kJpegCaseSide; ++x) {
                const int q = x / 8 + 2 * (y / 8);
                const uint32_t rgb = grey ? greys[q] : colours[q];
                c.colours[q] = rgb;
                const unsigned r = rgb >> 16, g = (rgb >> 8) & 255, b = rgb & 255;
                if (!cmyk) {
                    const unsigned char v[3] = {(unsigned char)r, (unsigned char)g, (unsigned char)b};
                    samples.insert(samples.end(), v, v + channels);
                    continue;
                }
                // The grey quadrant is made of black ink alone, the others of C, M and Y.
                const bool black = q == 3;
                unsigned char ink[4] = {(unsigned char)(255 - r), (unsigned char)(255 - g), (unsigned char)(255 - b), 0};
                if (black)
                    ink[0] = ink[1] = ink[2] = 0, ink[3] = (unsigned char)(255 - r);
                if (k.kind.adobeMarker)
                    for (unsigned char& i : ink)
                        i = (unsigned char)(255 - i);
                samples.insert(samples.end(), ink, ink + 4);
            }
        c.file = WriteJpeg(kJpegCaseSide, kJpegCaseSide, k.kind, samples);
        cases.push_back(c);
    }
    // The colour file with stray bytes (a stuffed zero among them) after its start of image
    // and before its frame header.
    JpegColourCase stray = cases[2];  // "colour"
    stray.name = "colour with stray bytes before markers";
    const unsigned char junk[] = {0x00, 0x5A, 0xFF, 0x00, 0x13};
    size_t at = 2;
    while (at + 4 <= stray.file.size() && !(stray.file[at + 1] >= 0xC0 && stray.file[at + 1] <= 0xC2))
        at += 2 + (size_t(stray.file[at + 2]) << 8 | stray.file[at + 3]);
    stray.file.insert(stray.file.begin() + long(at), junk, junk + sizeof junk);
    stray.file.insert(stray.file.begin() + 2, junk, junk + sizeof junk);
    cases.push_back(stray);
    return cases;
}

}  // namespace TestSupport
