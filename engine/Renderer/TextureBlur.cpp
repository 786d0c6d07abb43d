#include "engine/Renderer/TextureBlur.h"

#include <algorithm>
#include <vector>

namespace EngineCore {

namespace {

const int kRadius = 6;
const int kTaps = 2 * kRadius + 1;

// Normal density with sigma 2 at offsets -6..+6, six decimals, deliberately not
// normalised (sum 0.998975): stored textures were blurred with exactly these.
const float kWeights[kTaps] = {0.002216f, 0.008764f, 0.026995f, 0.064759f, 0.120985f, 0.176033f, 0.199471f,
                               0.176033f, 0.120985f, 0.064759f, 0.026995f, 0.008764f, 0.002216f};

const float kByteToUnit = 1.0f / 255.0f;

uint32_t UnitToByte(float v)
{
    if (v >= 1.0f) {
        return 255;
    }
    if (v <= 0.0f) {
        return 0;
    }
    return static_cast<uint32_t>(v * 255.0f + 0.5f);
}

// One channel at index i with clamped taps (used near the ends of the line).
float SumClamped(const float* channel, int i, int count)
{
    float sum = 0.0f;
    for (int k = 0; k < kTaps; ++k) {
        const int tap = std::clamp(i - kRadius + k, 0, count - 1);
        sum = sum + kWeights[k] * channel[tap];
    }
    return sum;
}

// One channel at index i whose taps all lie inside the line.
float SumInside(const float* channel, int i)
{
    const float* p = channel + i - kRadius;
    float sum = 0.0f;
    for (int k = 0; k < kTaps; ++k) {
        sum = sum + kWeights[k] * p[k];
    }
    return sum;
}

}  // namespace

void BlurLine(const uint32_t* in, int count, uint32_t* out, float* scratch)
{
    if (count < 1) {
        return;
    }
    float* red = scratch;
    float* green = scratch + count;
    float* blue = scratch + 2 * static_cast<long>(count);
    for (int i = 0; i < count; ++i) {
        const uint32_t p = in[i];
        red[i] = static_cast<float>((p >> 16) & 0xFFu) * kByteToUnit;
        green[i] = static_cast<float>((p >> 8) & 0xFFu) * kByteToUnit;
        blue[i] = static_cast<float>(p & 0xFFu) * kByteToUnit;
    }
    const int insideBegin = std::min(kRadius, count);
    const int insideEnd = std::max(insideBegin, count - kRadius);
    for (int i = 0; i < count; ++i) {
        const bool inside = i >= insideBegin && i < insideEnd;
        const float r = inside ? SumInside(red, i) : SumClamped(red, i, count);
        const float g = inside ? SumInside(green, i) : SumClamped(green, i, count);
        const float b = inside ? SumInside(blue, i) : SumClamped(blue, i, count);
        out[i] = (in[i] & 0xFF000000u) | UnitToByte(r) << 16 | UnitToByte(g) << 8 | UnitToByte(b);
    }
}

void BlurTopRows(uint32_t* pixels, unsigned width, unsigned rows, unsigned passes)
{
    const int passCount = static_cast<int>(passes);
    if (pixels == nullptr || width == 0 || rows == 0 || passCount <= 0) {
        return;
    }
    const int w = static_cast<int>(width);
    const int r = static_cast<int>(rows);
    for (int pass = 0; pass < passCount; ++pass) {
#pragma omp parallel
        {
            std::vector<float> scratch(3 * static_cast<size_t>(w));
            std::vector<uint32_t> line(static_cast<size_t>(w));
#pragma omp for schedule(static)
            for (int i = 0; i < r; ++i) {
                uint32_t* row = pixels + static_cast<size_t>(i) * width;
                BlurLine(row, w, line.data(), scratch.data());
                std::copy(line.begin(), line.end(), row);
            }
        }
#pragma omp parallel
        {
            std::vector<float> scratch(3 * static_cast<size_t>(r));
            std::vector<uint32_t> column(static_cast<size_t>(r));
            std::vector<uint32_t> line(static_cast<size_t>(r));
#pragma omp for schedule(static)
            for (int x = 0; x < w; ++x) {
                for (int j = 0; j < r; ++j) {
                    column[j] = pixels[static_cast<size_t>(j) * width + x];
                }
                BlurLine(column.data(), r, line.data(), scratch.data());
                for (int j = 0; j < r; ++j) {
                    pixels[static_cast<size_t>(j) * width + x] = line[j];
                }
            }
        }
    }
}

}  // namespace EngineCore
