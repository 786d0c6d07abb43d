#include "engine/Renderer/TextureBlur.h"

#include <algorithm>
#include <vector>

namespace EngineCore {

namespace {

const int kRadius = 6;
const int kTaps = 2 * kRadius + 1;

// Normal density with sigma 2 at offsets -6..+6, six decimals, deliberately not
// normalised (sum 0.998975): stored pictures were blurred with exactly these.
const float kWeights[kTaps] = {0.002216f, 0.008764f, 0.026995f, 0.064759f, 0.120985f, 0.176033f, 0.199471f,
                               0.176033f, 0.120985f, 0.064759f, 0.026995f, 0.008764f, 0.002216f};

const float kByteToUnit = 1.0f / 255.0f;

// Columns per block of the column pass: a block's slice of a row is a few whole
// cache lines, and its running sums stay in the first-level cache.
const int kColumnBlock = 64;

float Red(uint32_t p)
{
    return static_cast<float>((p >> 16) & 0xFFu) * kByteToUnit;
}

float Green(uint32_t p)
{
    return static_cast<float>((p >> 8) & 0xFFu) * kByteToUnit;
}

float Blue(uint32_t p)
{
    return static_cast<float>(p & 0xFFu) * kByteToUnit;
}

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

uint32_t Pack(uint32_t alphaSource, float r, float g, float b)
{
    return (alphaSource & 0xFF000000u) | UnitToByte(r) << 16 | UnitToByte(g) << 8 | UnitToByte(b);
}

// sum[i] := sum[i] + weight * src[i]: one tap for a run of outputs. Every output
// gets its taps added one by one in tap order, exactly as a per-pixel loop would.
void AddTap(float* __restrict__ sum, const float* __restrict__ src, float weight, int n)
{
    // Lanes are separate outputs; no sum is reassociated.
#pragma omp simd
    for (int i = 0; i < n; ++i) {
        sum[i] = sum[i] + weight * src[i];
    }
}

// The column pass over columns x0..x0+n-1 and rows 0..rows-1. A ring of 13
// converted rows slides down the image; row j is overwritten only after it has
// been converted, and rows below it are converted before they are overwritten.
void BlurColumnBlock(uint32_t* pixels, size_t width, int rows, int x0, int n, std::vector<float>& ring,
                     std::vector<float>& sums)
{
    const size_t slot = 3 * static_cast<size_t>(n);
    auto convert = [&](int q) {
        const int row = std::clamp(q, 0, rows - 1);
        const uint32_t* src = pixels + static_cast<size_t>(row) * width + x0;
        float* dst = ring.data() + static_cast<size_t>((q + kTaps) % kTaps) * slot;
        for (int i = 0; i < n; ++i) {
            dst[i] = Red(src[i]);
            dst[n + i] = Green(src[i]);
            dst[2 * n + i] = Blue(src[i]);
        }
    };
    for (int q = -kRadius; q <= kRadius; ++q) {
        convert(q);
    }
    for (int j = 0; j < rows; ++j) {
        std::fill(sums.begin(), sums.begin() + static_cast<long>(slot), 0.0f);
        for (int k = 0; k < kTaps; ++k) {
            const float* src = ring.data() + static_cast<size_t>((j - kRadius + k + kTaps) % kTaps) * slot;
            AddTap(sums.data(), src, kWeights[k], n);
            AddTap(sums.data() + n, src + n, kWeights[k], n);
            AddTap(sums.data() + 2 * n, src + 2 * n, kWeights[k], n);
        }
        uint32_t* row = pixels + static_cast<size_t>(j) * width + x0;
        for (int i = 0; i < n; ++i) {
            row[i] = Pack(row[i], sums[i], sums[n + i], sums[2 * n + i]);
        }
        if (j + 1 < rows) {
            convert(j + 1 + kRadius);  // takes the slot of row j - 6, no longer needed
        }
    }
}

}  // namespace

size_t BlurLineScratchSize(int count)
{
    return count < 1 ? 0 : 6 * static_cast<size_t>(count) + 6 * kRadius;
}

void BlurLine(const uint32_t* in, int count, uint32_t* out, float* scratch)
{
    if (count < 1) {
        return;
    }
    // Each channel padded with the repeated edge pixels, then its sums.
    const int padded = count + 2 * kRadius;
    float* channels[3] = {scratch, scratch + padded, scratch + 2 * padded};
    float* sums[3] = {scratch + 3 * padded, scratch + 3 * padded + count, scratch + 3 * padded + 2 * count};
    for (int j = 0; j < padded; ++j) {
        const uint32_t p = in[std::clamp(j - kRadius, 0, count - 1)];
        channels[0][j] = Red(p);
        channels[1][j] = Green(p);
        channels[2][j] = Blue(p);
    }
    for (int c = 0; c < 3; ++c) {
        std::fill(sums[c], sums[c] + count, 0.0f);
        for (int k = 0; k < kTaps; ++k) {
            AddTap(sums[c], channels[c] + k, kWeights[k], count);
        }
    }
    for (int i = 0; i < count; ++i) {
        out[i] = Pack(in[i], sums[0][i], sums[1][i], sums[2][i]);
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
    const int blocks = (w + kColumnBlock - 1) / kColumnBlock;
#pragma omp parallel
    {
        std::vector<float> scratch(BlurLineScratchSize(w));
        std::vector<uint32_t> line(static_cast<size_t>(w));
        std::vector<float> ring(static_cast<size_t>(kTaps) * 3 * kColumnBlock);
        std::vector<float> sums(3 * static_cast<size_t>(kColumnBlock));
        for (int pass = 0; pass < passCount; ++pass) {
            // Each loop ends with a barrier: the columns start from finished rows,
            // and the next pass from finished columns.
#pragma omp for schedule(static)
            for (int i = 0; i < r; ++i) {
                uint32_t* row = pixels + static_cast<size_t>(i) * width;
                BlurLine(row, w, line.data(), scratch.data());
                std::copy(line.begin(), line.end(), row);
            }
#pragma omp for schedule(static)
            for (int block = 0; block < blocks; ++block) {
                const int x0 = block * kColumnBlock;
                BlurColumnBlock(pixels, width, r, x0, std::min(kColumnBlock, w - x0), ring, sums);
            }
        }
    }
}

}  // namespace EngineCore
