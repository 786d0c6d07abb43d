// Sampling cost of key-framed animations and load time of animation files with
// vertex tracks (the loader is sized for 60,000 vertex records).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "backend/Base/HGEAnimation.h"
#include "engine/FileSystem/FileSystem.h"
#include "tests/support/TempFolder.h"

namespace {

void SampleLinearKeys(benchmark::State& state)
{
    const int keys = static_cast<int>(state.range(0));
    EngineCore::Animation animation;
    for (int i = 0; i < keys; ++i) {
        EngineCore::AnimationKey key;
        key.SetTranslation(EngineCore::D3DXVECTOR3{float(i), 0, 0});
        key.SetRotation(EngineCore::D3DXQUATERNION{0, 0, 0, 1});
        animation.AddAnimationKey(key, float(i));
    }
    float t = 0;
    for (auto _ : state) {
        EngineCore::AnimationKey::KeyValue value;
        benchmark::DoNotOptimize(animation.Sample(t, true, value));
        t += 0.37f;
    }
}
BENCHMARK(SampleLinearKeys)->Arg(2)->Arg(30)->Arg(1000);

void Append(std::string& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void AppendFloat(std::string& out, float f)
{
    uint32_t v;
    std::memcpy(&v, &f, 4);
    Append(out, v);
}

class LoadableAnimation : public MobrixCore::HGEAnimation {
public:
    explicit LoadableAnimation(const std::string& name) { SetName(name); }
    using MobrixCore::HGEAnimation::Init;
};

// `tracks` mesh nodes with `records` records each at a shared 30-per-second clock.
void LoadVertexTracks(benchmark::State& state)
{
    const uint32_t tracks = static_cast<uint32_t>(state.range(0));
    const uint32_t records = static_cast<uint32_t>(state.range(1));
    std::string file("kT.animation.bin", 17);
    Append(file, 0);
    Append(file, 0x40);
    Append(file, tracks);
    for (uint32_t k = 0; k < tracks; ++k)
        Append(file, records);
    for (uint32_t k = 0; k < tracks; ++k)
        for (uint32_t r = 0; r < records; ++r) {
            AppendFloat(file, r / 30.0f);
            AppendFloat(file, float(k));
            AppendFloat(file, float(r));
            AppendFloat(file, 0);
        }
    TestSupport::TempFolder folder;
    const std::string name = "bench/" + std::to_string(tracks) + "x" + std::to_string(records) + ".bin";
    folder.WriteFile(name, file);
    EngineCore::FileSystem::Instance().AddDirectory(folder.Path());
    for (auto _ : state) {
        LoadableAnimation animation(name);
        animation.Init();
        benchmark::DoNotOptimize(animation.GetLength());
    }
    state.SetItemsProcessed(state.iterations() * tracks * records);
}
BENCHMARK(LoadVertexTracks)->Args({100, 600})->Args({600, 100})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
