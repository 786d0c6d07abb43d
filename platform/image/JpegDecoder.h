#pragma once
// JPEG files decoded with libjpeg by this code alone, for the texture loader and the game's
// pictures alike: grey, colour (YCbCr or RGB) and CMYK (plain or YCCK), baseline and
// progressive, Huffman or arithmetic coded, with accurate DCT and upsampling. The header must be one ReadImageHeader
// takes for JPEG (1, 3 or 4 components). A file cut short or with broken codes is refused
// rather than shown with grey blocks.
//
// Each scan walks every block of the components it names however few bytes it takes, so a
// small file of many scans could keep the decoder busy for minutes. The work is bounded as
// blocks x scans, counted from the markers before anything is decoded and again as libjpeg
// starts each scan.
#include <cstddef>
#include <cstdint>

namespace imageformat {

// Block decodes of 8192 x 8192 pictures written progressive with libjpeg's own scan script,
// in millions as the guide counts them: colour at half resolution (4:2:0 chroma, as encoders
// write it by default) in 10 scans, 8.4 million; colour at full resolution (no chroma
// subsampling) in 10 scans, 14.7 million; CMYK (four full-resolution components) in 18
// scans, 25.2 million. All pass with room under the bound, 64 x 2^20 (67.1 million).
constexpr uint64_t kMaxJpegBlockWork = uint64_t(64) << 20;
// Encoders write about ten scans; a file of more than this is no picture anyone made.
constexpr unsigned kMaxJpegScans = 500;

struct JpegWork {
    unsigned scans = 0;
    uint64_t blocks = 0;  // summed over the scans: the blocks of each component a scan names
};

// The work the file's scans ask for, from its frame and scan headers alone; zeros when the
// frame header is missing or damaged.
JpegWork MeasureJpegWork(const void* data, size_t size);

// Where the decoded rows go.
class JpegRows {
public:
    virtual ~JpegRows() = default;
    // Once the header is read, before any row: the sides and whether the picture is grey.
    // False refuses the file.
    virtual bool Start(uint32_t width, uint32_t height, bool grey) = 0;
    // Where row `y` (from the top) goes: `width` texels of B, G, R, 0xFF bytes.
    virtual uint32_t* Row(uint32_t y) = 0;
    // Row `y` holds its texels.
    virtual void RowDone(uint32_t y) { (void)y; }
};

// False for a header ReadImageHeader refuses, more than `maxPixels` texels, work beyond
// the bounds above, damaged data, and a refusal by `rows`. CMYK is shown as printed: ink
// C over white gives red 255 - C, times 255 - K. Files with an Adobe marker hold inverted
// ink (0 for full coverage), as the tools that write that marker store it.
bool DecodeJpeg(const void* data, size_t size, uint64_t maxPixels, JpegRows* rows);

}  // namespace imageformat
