// The main thread's audio work in one frame while Ogg streams play: what a game's frame asks
// of the audio layer (each stream's state and volume, one effect started and stopped),
// timed with 0 and with 4 looping Ogg Vorbis streams on the default device (OpenAL Soft;
// headless, its null output still mixes in real time). Streams are decoded by the feeder
// thread outside the audio lock, so the two should cost the same; "max_us" is the slowest
// frame seen, where waiting behind a decode would show.
//
//   build/bench/AudioStreamsBench
//
// AUDIO_OGG names an Ogg file to stream instead of the generated 20 s tone (the audiomark
// script streams the same file in LÖVE).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/hge/audio/AudioSystem.h"
#include "tests/platform/AudioFixtures.h"

namespace {

void StreamsFrame(benchmark::State& state)
{
    const int streamCount = static_cast<int>(state.range(0));
    hgeplatform::AudioSystem audio;
    audio.Initiate();
    audiofixtures::Bytes ogg;
    if (const char* path = std::getenv("AUDIO_OGG")) {
        std::ifstream in(path, std::ios::binary);
        ogg.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } else {
        ogg = audiofixtures::Tone(SF_FORMAT_OGG | SF_FORMAT_VORBIS, 20.0, 2);
    }
    const audiofixtures::Bytes wav = audiofixtures::Wav(0.05);
    std::vector<uint32_t> streams, channels;
    for (int i = 0; i < streamCount; ++i) {
        streams.push_back(audio.StreamLoad(ogg.data(), static_cast<uint32_t>(ogg.size())));
        channels.push_back(audio.StreamPlay(streams.back(), true, 80));
    }
    const uint32_t effect = audio.EffectLoad(wav.data(), static_cast<uint32_t>(wav.size()));
    // A stream that did not load (a wrong AUDIO_OGG) would leave a frame with nothing to do.
    if (effect == 0 || std::count(streams.begin(), streams.end(), 0u) != 0 ||
        std::count(channels.begin(), channels.end(), 0u) != 0)
        state.SkipWithError("a sound did not load or start");

    double slowest = 0.0;
    int volume = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        for (uint32_t channel : channels) {
            benchmark::DoNotOptimize(audio.ChannelIsPlaying(channel));
            audio.ChannelSetVolume(channel, 50 + (volume++ & 31));
        }
        audio.ChannelStop(audio.EffectPlayEx(effect, 100, 0, 1.0f, false));
        const double us =
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
        slowest = std::max(slowest, us);
        // About a frame apart, so the feeder decodes between frames as in a game.
        state.PauseTiming();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        state.ResumeTiming();
    }
    state.counters["max_us"] = slowest;
    state.counters["silent_device"] = audio.IsSilent() ? 1 : 0;
    audio.Shutdown();
}

}  // namespace

BENCHMARK(StreamsFrame)->Arg(0)->Arg(4)->Iterations(2000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
