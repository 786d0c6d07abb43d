// Blurs a 1024 x 1024 texture in memory with one and with four passes, on one
// thread ("serial") and on every OpenMP thread ("openmp").
//   build/bench/TextureBlurBench
#include <benchmark/benchmark.h>

#include <omp.h>

#include <cstdint>
#include <random>
#include <vector>

#include "engine/Renderer/Texture.h"

namespace {

const unsigned kSize = 1024;

class MemoryTexture : public EngineCore::Texture {
public:
    MemoryTexture() : pixels(static_cast<size_t>(kSize) * kSize)
    {
        SetSize(kSize, kSize);
        std::mt19937 random(7);
        for (uint32_t& p : pixels) {
            p = static_cast<uint32_t>(random());
        }
    }
    bool Lock(unsigned, unsigned, unsigned, unsigned, bool, uint32_t*& out) override
    {
        out = pixels.data();
        return true;
    }
    std::vector<uint32_t> pixels;
};

void Blur(benchmark::State& state, bool parallel)
{
    const unsigned passes = static_cast<unsigned>(state.range(0));
    const int saved = omp_get_max_threads();
    omp_set_num_threads(parallel ? saved : 1);
    MemoryTexture texture;
    for (auto _ : state) {
        texture.MakeBlur(passes, kSize);
        benchmark::DoNotOptimize(texture.pixels.data());
    }
    omp_set_num_threads(saved);
    state.counters["threads"] = parallel ? saved : 1;
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kSize) * kSize * passes);
}

void BM_BlurSerial(benchmark::State& state)
{
    Blur(state, false);
}

void BM_BlurOpenMP(benchmark::State& state)
{
    Blur(state, true);
}

}  // namespace

BENCHMARK(BM_BlurSerial)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BlurOpenMP)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
