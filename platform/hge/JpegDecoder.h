#pragma once
// JPEG files straight into texels with libjpeg: grey and colour pictures, baseline and
// progressive, written row by row into the caller's buffer with no picture in between.
#include <cstdint>
#include <vector>

namespace hgeplatform {

enum class JpegResult { kDecoded, kRefused, kNotHandled };

// kRefused for damaged files and for pictures whose sides or texel count exceed the
// limits, checked from the header before anything is allocated; kNotHandled for data that
// is no JPEG or a kind this path leaves to others (CMYK and YCCK colours).
JpegResult DecodeJpeg(const void* data, uint32_t size, int maxSide, uint64_t maxPixels, int* width, int* height,
                      std::vector<uint32_t>* pixels);

}  // namespace hgeplatform
