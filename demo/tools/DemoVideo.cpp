#include "demo/tools/DemoVideo.h"

#include <cmath>

#include "tests/support/TheoraClip.h"

namespace DemoData {

namespace {

const int kWidth = 160;
const int kHeight = 120;
const int kFrames = 48;

// Luma and chroma of the frame at full resolution; chroma planes take every other sample.
void Paint(int index, th_ycbcr_buffer& planes)
{
    const double t = static_cast<double>(index) / kFrames;
    const double ballX = 20.0 + t * (kWidth - 40);
    const double ballY = kHeight * 0.5 + std::sin(t * 6.2831853) * 30.0;
    for (int p = 0; p < 3; ++p) {
        const int xStep = planes[p].width < kWidth ? 2 : 1;
        const int yStep = planes[p].height < kHeight ? 2 : 1;
        for (int y = 0; y < planes[p].height; ++y) {
            unsigned char* row = planes[p].data + y * planes[p].stride;
            for (int x = 0; x < planes[p].width; ++x) {
                const double px = x * xStep, py = y * yStep;
                const double d = std::hypot(px - ballX, py - ballY);
                const bool ball = d < 14.0;
                int value;
                if (p == 0)
                    value = ball ? 200 - static_cast<int>(d * 4) : 40 + static_cast<int>(py * 0.6);
                else if (p == 1)
                    value = ball ? 90 : 150 - static_cast<int>(py * 0.2);
                else
                    value = ball ? 180 : 120 + static_cast<int>(py * 0.2);
                row[x] = static_cast<unsigned char>(value < 0 ? 0 : (value > 255 ? 255 : value));
            }
        }
    }
}

}  // namespace

std::vector<unsigned char> IntroVideo()
{
    TestSupport::ClipFormat format;
    format.pictureWidth = kWidth;
    format.pictureHeight = kHeight;
    format.fpsNumerator = 24;
    format.quality = 40;
    format.keyframeEvery = 24;
    return TestSupport::EncodeTheoraClip(format, kFrames, Paint);
}

}  // namespace DemoData
