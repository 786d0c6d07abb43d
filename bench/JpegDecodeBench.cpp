// The cost of the most work the JPEG decoder accepts, beside plain files of the same sides
// (8192 x 8192, the largest picture): the time of one decode into texels as the texture
// loader does it, with the block decodes each file asks for ("blocks_M", millions; the
// bound is 64), its scans and its size. The heaviest accepted files are a colour picture
// whose 56 progressive scans (3 spectral bands x 6 bit planes of each colour, and 2 of DC)
// bring every block's coefficients in bit by bit, and a grey one of 64 scans that all end
// at once; one scan more than the latter is refused before any is decoded.
//   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release  (tests on: it uses their writers)
//   cmake --build build-bench --target JpegDecodeBench && build-bench/bench/JpegDecodeBench
#include <benchmark/benchmark.h>

#include <FreeImage.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/hge/ImageDecoder.h"
#include "platform/image/JpegDecoder.h"
#include "tests/support/CostlyImages.h"
#include "tests/support/JpegWriter.h"

namespace {

const int kSide = 8192;

// Smooth areas and edges, as real art has; grey pictures take the first channel.
std::vector<unsigned char> Samples(int channels)
{
    std::vector<unsigned char> samples(size_t(kSide) * kSide * size_t(channels));
    size_t at = 0;
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            for (int c = 0; c < channels; ++c)
                samples[at++] = (unsigned char)(((x >> (4 + c)) ^ (y >> 5)) * 37 + x / 16 + c * 50);
    return samples;
}

std::vector<jpeg_scan_info> HeaviestScript()
{
    std::vector<jpeg_scan_info> script;
    script.push_back({3, {0, 1, 2, 0}, 0, 0, 0, 1});  // DC, then its last bit
    script.push_back({3, {0, 1, 2, 0}, 0, 0, 1, 0});
    const int bands[3][2] = {{1, 2}, {3, 9}, {10, 63}};
    for (int c = 0; c < 3; ++c)
        for (const auto& band : bands)
            for (int bit = 5; bit >= 0; --bit)
                script.push_back({1, {c, 0, 0, 0}, band[0], band[1], bit == 5 ? 0 : bit + 1, bit});
    return script;
}

std::vector<unsigned char> File(const std::string& name)
{
    using TestSupport::JpegKind;
    if (name == "baseline_grey")
        return TestSupport::WriteJpeg(kSide, kSide, JpegKind{JCS_GRAYSCALE, JCS_GRAYSCALE, false, false}, Samples(1));
    if (name == "baseline_colour")
        return TestSupport::WriteJpeg(kSide, kSide, JpegKind{JCS_RGB, JCS_YCbCr, false, false}, Samples(3));
    if (name == "progressive_colour_10_scans")
        return TestSupport::WriteJpeg(kSide, kSide, JpegKind{JCS_RGB, JCS_YCbCr, true, false}, Samples(3));
    if (name == "progressive_cmyk_18_scans")
        return TestSupport::WriteJpeg(kSide, kSide, JpegKind{JCS_CMYK, JCS_YCCK, true, true}, Samples(4));
    if (name == "heaviest_colour_56_scans")
        return TestSupport::WriteJpeg(kSide, kSide, JpegKind{JCS_RGB, JCS_YCbCr, true, false}, Samples(3),
                                      HeaviestScript());
    if (name == "grey_64_empty_scans")
        return TestSupport::costly::ScansOfGrey(kSide, 64);
    return TestSupport::costly::ScansOfGrey(kSide, 65);  // refused
}

void Decode(benchmark::State& state, const std::string& name)
{
    const std::vector<unsigned char> file = File(name);
    const imageformat::JpegWork work = imageformat::MeasureJpegWork(file.data(), file.size());
    std::vector<uint32_t> pixels;
    bool decoded = false;
    for (auto _ : state) {
        int width = 0, height = 0;
        decoded = hgeplatform::DecodeImage(file.data(), uint32_t(file.size()), 16384, &width, &height, &pixels);
        benchmark::DoNotOptimize(pixels.data());
    }
    state.counters["decoded"] = decoded ? 1 : 0;
    state.counters["scans"] = work.scans;
    state.counters["blocks_M"] = double(work.blocks) / (1 << 20);
    state.counters["file_KiB"] = double(file.size()) / 1024;
}

}  // namespace

int main(int argc, char** argv)
{
    FreeImage_Initialise(FALSE);
    for (const char* name : {"baseline_grey", "baseline_colour", "progressive_colour_10_scans",
                             "progressive_cmyk_18_scans", "heaviest_colour_56_scans", "grey_64_empty_scans",
                             "grey_65_empty_scans_refused"})
        benchmark::RegisterBenchmark(name, [name](benchmark::State& state) { Decode(state, name); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(3);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    FreeImage_DeInitialise();
    return 0;
}
