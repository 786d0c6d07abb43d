#include <gtest/gtest.h>

#include <omp.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "engine/Renderer/TextureBlur.h"

using namespace EngineCore;

namespace {

uint32_t Grey(uint32_t level, uint32_t alpha = 0xFF)
{
    return alpha << 24 | level << 16 | level << 8 | level;
}

std::vector<uint32_t> RandomImage(unsigned width, unsigned height, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<uint32_t> image(static_cast<size_t>(width) * height);
    for (uint32_t& p : image) {
        p = static_cast<uint32_t>(random());
    }
    return image;
}

// Runs the blur with the given number of OpenMP threads, then restores the default.
void BlurWithThreads(int threads, std::vector<uint32_t>& image, unsigned width, unsigned rows, unsigned passes)
{
    const int saved = omp_get_max_threads();
    omp_set_num_threads(threads);
    BlurTopRows(image.data(), width, rows, passes);
    omp_set_num_threads(saved);
}

}  // namespace

TEST(TextureBlur, SingleWhiteTexelGivesTheGoldenRow)
{
    const unsigned width = 32;
    const unsigned centre = 16;
    const uint32_t expected[7] = {51, 45, 31, 17, 7, 2, 1};
    for (int threads : {1, 4}) {
        SCOPED_TRACE(threads);
        // Two rows, of which only the first is blurred: the column step then
        // sees a single row and must keep the row's values.
        std::vector<uint32_t> image(width * 2, Grey(0));
        image[centre] = Grey(255);
        image[width + centre] = Grey(255);
        BlurWithThreads(threads, image, width, 1, 1);
        for (unsigned x = 0; x < width; ++x) {
            const int offset = static_cast<int>(x) - static_cast<int>(centre);
            const uint32_t level = (offset >= -6 && offset <= 6) ? expected[offset < 0 ? -offset : offset] : 0;
            EXPECT_EQ(Grey(level), image[x]) << "offset " << offset;
        }
        EXPECT_EQ(Grey(255), image[width + centre]) << "row below the blurred rows was changed";
    }
}

TEST(TextureBlur, UniformColourNeverChanges)
{
    for (uint32_t colour : {0xFFFFFFFFu, 0x80C04020u, 0x00010203u, 0xFF000000u}) {
        std::vector<uint32_t> image(40 * 30, colour);
        BlurTopRows(image.data(), 40, 30, 5);
        EXPECT_EQ(std::vector<uint32_t>(40 * 30, colour), image) << std::hex << colour;
    }
}

TEST(TextureBlur, AlphaIsKeptAndRowsBelowAreUntouched)
{
    const unsigned width = 50;
    const unsigned height = 20;
    const unsigned rows = 7;
    const std::vector<uint32_t> original = RandomImage(width, height, 1);
    std::vector<uint32_t> image = original;
    BlurTopRows(image.data(), width, rows, 3);
    size_t changed = 0;
    for (size_t i = 0; i < image.size(); ++i) {
        EXPECT_EQ(original[i] >> 24, image[i] >> 24) << i;
        if (i >= static_cast<size_t>(rows) * width) {
            EXPECT_EQ(original[i], image[i]) << i;
        } else if (original[i] != image[i]) {
            ++changed;
        }
    }
    EXPECT_GT(changed, 0u);
}

TEST(TextureBlur, NothingToDo)
{
    const std::vector<uint32_t> original = RandomImage(16, 16, 2);
    struct Case {
        const char* name;
        unsigned rows, passes;
    } cases[] = {
        {"no pass", 16, 0},
        {"negative passes", 16, static_cast<unsigned>(-1)},
        {"very negative passes", 16, 0x80000000u},
        {"no rows", 0, 1},
    };
    for (const Case& c : cases) {
        std::vector<uint32_t> image = original;
        BlurTopRows(image.data(), 16, c.rows, c.passes);
        EXPECT_EQ(original, image) << c.name;
    }
}

namespace {

// The blur written the plain way: every row through BlurLine, then every
// column gathered, blurred as a line and scattered back.
void ReferenceBlur(std::vector<uint32_t>& image, unsigned width, unsigned rows, unsigned passes)
{
    const size_t longest = std::max(width, rows);
    std::vector<float> scratch(BlurLineScratchSize(static_cast<int>(longest)));
    std::vector<uint32_t> in(longest), out(longest);
    for (unsigned pass = 0; pass < passes; ++pass) {
        for (unsigned y = 0; y < rows; ++y) {
            BlurLine(&image[y * width], static_cast<int>(width), out.data(), scratch.data());
            std::copy(out.begin(), out.begin() + width, image.begin() + y * width);
        }
        for (unsigned x = 0; x < width; ++x) {
            for (unsigned y = 0; y < rows; ++y) {
                in[y] = image[y * width + x];
            }
            BlurLine(in.data(), static_cast<int>(rows), out.data(), scratch.data());
            for (unsigned y = 0; y < rows; ++y) {
                image[y * width + x] = out[y];
            }
        }
    }
}

}  // namespace

TEST(TextureBlur, SameResultOnAnyNumberOfThreads)
{
    // Sizes include lines shorter than the kernel, odd widths and widths that
    // are not a whole number of the column pass's blocks.
    struct Case {
        unsigned width, height, rows, passes;
    } cases[] = {{97, 61, 61, 2}, {5, 9, 9, 3}, {1, 1, 1, 1}, {200, 40, 13, 1}, {130, 3, 3, 2}, {64, 20, 7, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " rows " << c.rows);
        const std::vector<uint32_t> original = RandomImage(c.width, c.height, c.width);
        std::vector<uint32_t> reference = original;
        ReferenceBlur(reference, c.width, c.rows, c.passes);
        for (int threads : {1, 4}) {
            std::vector<uint32_t> image = original;
            BlurWithThreads(threads, image, c.width, c.rows, c.passes);
            EXPECT_EQ(reference, image) << threads << " threads";
        }
    }
}

TEST(TextureBlur, EdgeTexelsRepeatBeyondTheEnds)
{
    // A line of 3: every tap beyond the ends reads the edge texel, so a white
    // first texel weighs 0.002216 + ... + 0.199471 (seven taps) at index 0.
    const uint32_t in[3] = {Grey(255), Grey(0), Grey(0)};
    uint32_t out[3] = {};
    std::vector<float> scratch(BlurLineScratchSize(3));
    BlurLine(in, 3, out, scratch.data());
    // 0.599243 * 255 + 0.5 = 153.3; index 1 sees it through six taps (0.399752),
    // index 2 through five (0.223719).
    EXPECT_EQ(Grey(153), out[0]);
    EXPECT_EQ(Grey(102), out[1]);
    EXPECT_EQ(Grey(57), out[2]);
}
