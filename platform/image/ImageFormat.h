#pragma once
// The image formats a game's pictures may come in, told from the bytes alone (never from a
// file name), with the sides each file claims read from its header by this code, before
// any decoder sees the file. A file of any other format, or whose header is damaged,
// inconsistent or promises more pixel data than the file holds, is of no accepted format:
// the decoders are never asked about it. A JPEG must have 1, 3 or 4 components. Depends on
// nothing but the standard library, so the platform layer and the game library share one
// list.
#include <cstddef>
#include <cstdint>

namespace imageformat {

enum class ImageFormat { kNone, kPng, kJpeg, kBmp, kTga, kGif, kDds };

struct ImageHeader {
    ImageFormat format = ImageFormat::kNone;
    // The largest sides the decoder will allocate for; 0 with kNone. For a GIF, each is
    // the larger of the logical screen's and the first image's.
    uint32_t width = 0;
    uint32_t height = 0;
};

ImageHeader ReadImageHeader(const void* data, size_t size);

// A JPEG marker that starts a frame header (SOF0-SOF15 but DHT, JPG and DAC).
inline bool IsJpegFrameMarker(unsigned marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// "PNG", "JPEG", "BMP", "TGA", "GIF", "DDS", or "none".
const char* FormatName(ImageFormat format);

// Where the next JPEG marker segment starts at or after `at`: a 0xFF byte followed by a
// marker other than a fill byte, a stuffed zero, TEM or a restart marker (none of which has
// a length). Stray bytes on the way are skipped, as libjpeg skips them. `size` when the
// file holds no further marker; never less than `at`, and more than `at` unless a segment
// starts there, so a walk that calls it again past each segment ends.
size_t NextJpegSegment(const uint8_t* data, size_t size, size_t at);

}  // namespace imageformat
