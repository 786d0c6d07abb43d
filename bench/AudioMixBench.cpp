// Process CPU time (every thread: OpenAL Soft's mixer and the feeder included) while N
// copies of one looping effect play for 10 s on the default device. With no sound card
// (ALSOFT_DRIVERS=null) OpenAL Soft's null output still mixes in real time.
// bench/audiomark/run-audiomark.sh runs this beside LÖVE 11.4 playing the same.
//
//   build/bench/AudioMixBench [--benchmark_filter=Mix/32]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/hge/audio/AudioSystem.h"
#include "tests/platform/AudioFixtures.h"

namespace {

void Mix(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    hgeplatform::AudioSystem audio;
    audio.Initiate();
    // The demo's blip is 0.08 s; a one-second tone loops less often and mixes the same.
    const audiofixtures::Bytes wav = audiofixtures::Wav(1.0);
    const uint32_t effect = audio.EffectLoad(wav.data(), static_cast<uint32_t>(wav.size()));
    if (effect == 0)
        state.SkipWithError("the effect did not load");
    // A channel that did not start would leave less to mix than the figure claims.
    for (auto _ : state) {
        std::vector<uint32_t> channels;
        for (int i = 0; i < count; ++i)
            channels.push_back(audio.EffectPlayEx(effect, 100, 0, 1.0f, true));
        if (std::count(channels.begin(), channels.end(), 0u) != 0) {
            state.SkipWithError("not every channel started");
            break;
        }
        std::this_thread::sleep_for(std::chrono::seconds(10));
        for (uint32_t channel : channels)
            audio.ChannelStop(channel);
    }
    state.counters["silent_device"] = audio.IsSilent() ? 1 : 0;
    audio.Shutdown();
}

}  // namespace

BENCHMARK(Mix)->Arg(0)->Arg(32)->Iterations(1)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kSecond);

BENCHMARK_MAIN();
