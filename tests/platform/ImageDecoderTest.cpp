// Image files whose headers claim more than the caller allows.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdint>
#include <vector>

#include "platform/hge/ImageDecoder.h"

namespace {

long PeakResidentKib() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

// A 24-bit BMP whose header claims width x height; `pixelBytes` of pixel data follow.
std::vector<uint8_t> Bmp(uint32_t width, uint32_t height, size_t pixelBytes) {
    std::vector<uint8_t> b(54 + pixelBytes, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, uint32_t(b.size()));
    Put32(b, 10, 54);
    Put32(b, 14, 40);
    Put32(b, 18, width);
    Put32(b, 22, height);
    b[26] = 1;   // planes
    b[28] = 24;  // bits per pixel
    return b;
}

TEST(ImageDecoder, SidesAreCheckedAgainstTheLimit) {
    struct Case {
        uint32_t width, height;
        int maxSide;
        bool ok;
    };
    const Case cases[] = {
        {2, 2, 2, true},
        {3, 2, 2, false},
        {2, 3, 2, false},
        // A few bytes claiming a picture of tens of gigabytes are refused, not allocated.
        {100000, 100000, 16384, false},
        {16384, 200000, 16384, false},
    };
    const long peakBefore = PeakResidentKib();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " max " << c.maxSide);
        const size_t row = (size_t(c.width) * 3 + 3) / 4 * 4;
        const std::vector<uint8_t> file = Bmp(c.width, c.height, c.ok ? row * c.height : 16);
        int w = 0, h = 0;
        std::vector<uint32_t> pixels;
        EXPECT_EQ(c.ok, hgeplatform::DecodeImage(file.data(), uint32_t(file.size()), c.maxSide, &w, &h, &pixels));
        if (c.ok) {
            EXPECT_EQ(int(c.width), w);
            EXPECT_EQ(int(c.height), h);
            EXPECT_EQ(size_t(w) * size_t(h), pixels.size());
        }
    }
    // Refused from the header: the claimed pictures were never made.
    EXPECT_LT(PeakResidentKib() - peakBefore, 256L * 1024);
}

}  // namespace
