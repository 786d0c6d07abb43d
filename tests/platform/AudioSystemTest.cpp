#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "platform/hge/audio/AudioSystem.h"
#include "tests/platform/AudioFixtures.h"

using hgeplatform::AudioSystem;
namespace fx = audiofixtures;

namespace {

constexpr int kRate = 44100;

class AudioTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(audio.Initiate(AudioSystem::Device::Loopback, kRate)); }

    // Mixes `seconds` of output: interleaved stereo.
    std::vector<float> Mix(double seconds)
    {
        const int frames = static_cast<int>(seconds * kRate);
        std::vector<float> out(static_cast<size_t>(frames) * 2);
        EXPECT_TRUE(audio.RenderSamples(out.data(), frames));
        return out;
    }

    // Mixes `seconds` of output and returns its RMS over both channels.
    double Render(double seconds)
    {
        const std::vector<float> out = Mix(seconds);
        double sum = 0.0;
        for (float s : out)
            sum += static_cast<double>(s) * s;
        return out.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(out.size()));
    }

    // The steady level of a channel: gain changes ramp in over the first few milliseconds.
    double Level(uint32_t channel)
    {
        EXPECT_NE(0u, channel);
        Render(0.05);
        return Render(0.1);
    }

    AudioSystem audio;
};

enum class Kind { Effect, Music, Stream };

const char* Name(Kind k)
{
    return k == Kind::Effect ? "effect" : k == Kind::Music ? "music" : "stream";
}

// The same bytes as each kind of sound; a stream reads `bytes`, which the caller keeps.
uint32_t Load(AudioSystem& a, Kind kind, const fx::Bytes& bytes)
{
    const auto size = static_cast<uint32_t>(bytes.size());
    switch (kind) {
    case Kind::Effect: return a.EffectLoad(bytes.data(), size);
    case Kind::Music: return a.MusicLoad(bytes.data(), size);
    case Kind::Stream: return a.StreamLoad(bytes.data(), size);
    }
    return 0;
}

uint32_t Play(AudioSystem& a, Kind kind, uint32_t sound, bool loop, int volume = 100)
{
    switch (kind) {
    case Kind::Effect: return a.EffectPlayEx(sound, volume, 0, 1.0f, loop);
    case Kind::Music: return a.MusicPlay(sound, loop, volume, -1, -1);
    case Kind::Stream: return a.StreamPlay(sound, loop, volume);
    }
    return 0;
}

}  // namespace

TEST_F(AudioTest, ChannelVolumeScalesTheLevel)
{
    const fx::Bytes tone = fx::Wav(2.0);
    const uint32_t effect = audio.EffectLoad(tone.data(), static_cast<uint32_t>(tone.size()));
    ASSERT_NE(0u, effect);
    uint32_t ch = audio.EffectPlayEx(effect, 100, 0, 1.0f, true);
    const double full = Level(ch);
    ASSERT_GT(full, 0.1);

    struct Case {
        int volume;
        double ratio;
    };
    // Out-of-range volumes clamp: the back-end can pass -49.
    for (const Case c : {Case{50, 0.5}, Case{25, 0.25}, Case{0, 0.0}, Case{150, 1.0}, Case{-49, 0.0}}) {
        SCOPED_TRACE(c.volume);
        audio.ChannelSetVolume(ch, c.volume);
        EXPECT_NEAR(c.ratio, Level(ch) / full, 0.02);
    }
    audio.ChannelStop(ch);

    // A channel started at 50 sounds like one turned down to 50.
    ch = audio.EffectPlayEx(effect, 50, 0, 1.0f, true);
    EXPECT_NEAR(0.5, Level(ch) / full, 0.02);
}

TEST_F(AudioTest, MusicVolumeScalesMusicAndNothingElse)
{
    const fx::Bytes tone = fx::Wav(3.0);
    const uint32_t effect = Load(audio, Kind::Effect, tone);
    const uint32_t music = Load(audio, Kind::Music, tone);  // not a module: libsndfile decodes it
    const uint32_t stream = Load(audio, Kind::Stream, tone);
    ASSERT_NE(0u, effect);
    ASSERT_NE(0u, music);
    ASSERT_NE(0u, stream);

    uint32_t ch = Play(audio, Kind::Effect, effect, true);
    const double full = Level(ch);
    audio.ChannelStop(ch);

    audio.SetMusicVolume(50);
    for (Kind kind : {Kind::Effect, Kind::Music, Kind::Stream}) {
        SCOPED_TRACE(Name(kind));
        const uint32_t sound = kind == Kind::Effect ? effect : kind == Kind::Music ? music : stream;
        ch = Play(audio, kind, sound, true);
        EXPECT_NEAR(kind == Kind::Music ? 0.5 : 1.0, Level(ch) / full, 0.02);
        audio.ChannelStop(ch);
    }

    // Live music channels follow, multiplied with their own volume.
    ch = Play(audio, Kind::Music, music, true, 50);
    EXPECT_NEAR(0.25, Level(ch) / full, 0.02);
    audio.SetMusicVolume(100);
    EXPECT_NEAR(0.5, Level(ch) / full, 0.02);
    audio.SetMusicVolume(0);
    EXPECT_NEAR(0.0, Level(ch) / full, 0.02);
    EXPECT_TRUE(audio.ChannelIsPlaying(ch));
}

TEST_F(AudioTest, PauseSilencesAndResumeGoesOn)
{
    const fx::Bytes tone = fx::Wav(0.5);
    for (Kind kind : {Kind::Effect, Kind::Music, Kind::Stream}) {
        SCOPED_TRACE(Name(kind));
        const uint32_t sound = Load(audio, kind, tone);
        const uint32_t ch = Play(audio, kind, sound, false);
        EXPECT_GT(Render(0.1), 0.1);

        audio.ChannelPause(ch);
        EXPECT_FALSE(audio.ChannelIsPlaying(ch));
        Render(0.01);
        EXPECT_EQ(0.0, Render(0.3));
        EXPECT_FALSE(audio.ChannelIsPlaying(ch));

        // Resuming goes on where it paused: 0.1 s played, 0.4 s left.
        audio.ChannelResume(ch);
        EXPECT_TRUE(audio.ChannelIsPlaying(ch));
        EXPECT_GT(Render(0.35), 0.1);
        EXPECT_TRUE(audio.ChannelIsPlaying(ch));
        Render(0.1);
        EXPECT_FALSE(audio.ChannelIsPlaying(ch));
        EXPECT_EQ(0.0, Render(0.05));
    }
}

TEST_F(AudioTest, PauseAllResumesOnlyWhatItPaused)
{
    const fx::Bytes tone = fx::Wav(1.0);
    const uint32_t effect = Load(audio, Kind::Effect, tone);
    const uint32_t own = audio.EffectPlayEx(effect, 100, 0, 1.0f, true);
    const uint32_t other = audio.EffectPlayEx(effect, 100, 0, 1.0f, true);
    audio.ChannelPause(own);

    audio.ChannelPauseAll();
    EXPECT_FALSE(audio.ChannelIsPlaying(other));
    Render(0.01);
    EXPECT_EQ(0.0, Render(0.1));

    audio.ChannelResumeAll();
    EXPECT_TRUE(audio.ChannelIsPlaying(other));
    EXPECT_FALSE(audio.ChannelIsPlaying(own));

    audio.ChannelStopAll();
    EXPECT_FALSE(audio.ChannelIsPlaying(other));
    audio.ChannelResume(own);  // stopped: gone for good
    EXPECT_FALSE(audio.ChannelIsPlaying(own));
    Render(0.01);
    EXPECT_EQ(0.0, Render(0.1));
}

TEST_F(AudioTest, LoopingChannelsGoRoundOthersEnd)
{
    // 0.1 s sounds, shorter than one of the stream's buffers, so the feeder wraps inside a buffer.
    const fx::Bytes tone = fx::Wav(0.1);
    for (Kind kind : {Kind::Effect, Kind::Music, Kind::Stream}) {
        for (bool loop : {false, true}) {
            SCOPED_TRACE(std::string(Name(kind)) + (loop ? " looping" : " once"));
            const uint32_t sound = Load(audio, kind, tone);
            const uint32_t ch = Play(audio, kind, sound, loop);
            Render(0.9);
            EXPECT_EQ(loop, audio.ChannelIsPlaying(ch));
            const double tail = Render(0.1);
            if (loop)
                EXPECT_GT(tail, 0.1);
            else
                EXPECT_EQ(0.0, tail);
            audio.ChannelStop(ch);
        }
    }
}

TEST_F(AudioTest, StreamDecodesFromTheCallersBytesWhilePlaying)
{
    // Ogg Vorbis, 1.5 s: several times the queued buffers, so it must be fed while it plays.
    const fx::Bytes ogg = fx::Tone(SF_FORMAT_OGG | SF_FORMAT_VORBIS, 1.5);
    const uint32_t stream = audio.StreamLoad(ogg.data(), static_cast<uint32_t>(ogg.size()));
    ASSERT_NE(0u, stream);

    uint32_t ch = audio.StreamPlay(stream, false, 100);
    // No gap anywhere: a 440 Hz tone is never near zero for more than a sample or two.
    const std::vector<float> out = Mix(1.4);
    size_t run = 0, longest = 0;
    for (size_t i = 0; i < out.size(); i += 2) {
        run = std::fabs(out[i]) < 1e-3f ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    EXPECT_LT(longest, 8u);
    EXPECT_TRUE(audio.ChannelIsPlaying(ch));
    Render(0.15);
    EXPECT_FALSE(audio.ChannelIsPlaying(ch));

    // Playing again starts from the beginning on a new channel; the old handle is dead.
    const uint32_t again = audio.StreamPlay(stream, false, 100);
    EXPECT_NE(ch, again);
    Render(1.4);
    EXPECT_TRUE(audio.ChannelIsPlaying(again));
    // A play while it sounds restarts it.
    ch = audio.StreamPlay(stream, false, 100);
    EXPECT_FALSE(audio.ChannelIsPlaying(again));
    Render(1.4);
    EXPECT_TRUE(audio.ChannelIsPlaying(ch));

    audio.StreamFree(stream);
    EXPECT_FALSE(audio.ChannelIsPlaying(ch));
    EXPECT_EQ(0u, audio.StreamPlay(stream, false, 100));
}

TEST_F(AudioTest, TrackerModulePlaysThroughLibopenmpt)
{
    // libsndfile reads no tracker modules, so sound here means libopenmpt decoded it.
    const fx::Bytes mod = fx::TrackerModule();
    const uint32_t music = audio.MusicLoad(mod.data(), static_cast<uint32_t>(mod.size()));
    ASSERT_NE(0u, music);
    const uint32_t ch = audio.MusicPlay(music, false, 100, -1, -1);
    EXPECT_GT(Render(0.5), 0.01);
    EXPECT_TRUE(audio.ChannelIsPlaying(ch));

    // Starting on the last row leaves one row (0.12 s) to play.
    const uint32_t late = audio.MusicPlay(music, false, 100, 0, 63);
    EXPECT_FALSE(audio.ChannelIsPlaying(ch));  // one channel per music
    Render(0.5);
    EXPECT_FALSE(audio.ChannelIsPlaying(late));
    audio.MusicFree(music);
    EXPECT_EQ(0u, audio.MusicPlay(music, false, 100, -1, -1));
}

TEST_F(AudioTest, BadDataLoadsNothing)
{
    const fx::Bytes wav = fx::Wav(0.1);
    const fx::Bytes garbage(300, 0x5A);
    const fx::Bytes truncated(wav.begin(), wav.begin() + 20);
    const fx::Bytes surround = fx::Tone(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0.1, 6);
    for (const fx::Bytes* bytes : {&garbage, &truncated, &surround}) {
        for (Kind kind : {Kind::Effect, Kind::Music, Kind::Stream}) {
            SCOPED_TRACE(Name(kind));
            EXPECT_EQ(0u, Load(audio, kind, *bytes));
        }
    }
    EXPECT_EQ(0u, audio.EffectLoad(nullptr, 10));
    EXPECT_EQ(0u, audio.MusicLoad(wav.data(), 0));
    EXPECT_EQ(0u, audio.StreamLoad(nullptr, 0));
}

TEST_F(AudioTest, StaleAndForeignHandlesAreHarmless)
{
    const fx::Bytes tone = fx::Wav(1.0);
    const uint32_t effect = Load(audio, Kind::Effect, tone);
    const uint32_t stream = Load(audio, Kind::Stream, tone);
    const uint32_t a = audio.EffectPlayEx(effect, 100, -100, 1.0f, true);
    const uint32_t b = audio.EffectPlayEx(effect, 100, 100, 2.0f, false);
    EXPECT_NE(a, b);
    EXPECT_TRUE(audio.ChannelIsPlaying(a));
    EXPECT_TRUE(audio.ChannelIsPlaying(b));

    // Handles of other tables are not channels, and a channel is not a sound.
    for (uint32_t h : {effect, stream, 0u, 0xFFFFFFFFu}) {
        EXPECT_FALSE(audio.ChannelIsPlaying(h));
        audio.ChannelStop(h);
        audio.ChannelSetVolume(h, 10);
    }
    EXPECT_EQ(0u, audio.StreamPlay(a, false, 100));
    EXPECT_EQ(0u, audio.EffectPlayEx(stream, 100, 0, 1.0f, false));
    EXPECT_TRUE(audio.ChannelIsPlaying(a));

    // Freeing an effect stops its channels; its slot's next owner is not reached by old handles.
    audio.EffectFree(effect);
    EXPECT_FALSE(audio.ChannelIsPlaying(a));
    EXPECT_FALSE(audio.ChannelIsPlaying(b));
    const uint32_t next = Load(audio, Kind::Effect, tone);
    EXPECT_NE(effect, next);
    EXPECT_EQ(0u, audio.EffectPlayEx(effect, 100, 0, 1.0f, false));
    const uint32_t c = audio.EffectPlayEx(next, 100, 0, 1.0f, false);
    audio.ChannelStop(a);
    audio.EffectFree(effect);
    EXPECT_TRUE(audio.ChannelIsPlaying(c));

    audio.Shutdown();
    EXPECT_FALSE(audio.ChannelIsPlaying(c));
    EXPECT_EQ(0u, Load(audio, Kind::Effect, tone));
    EXPECT_EQ(0u, audio.EffectPlayEx(next, 100, 0, 1.0f, false));
    audio.ChannelPauseAll();
    audio.ChannelResumeAll();
    audio.ChannelStopAll();
    audio.SetMusicVolume(20);
    audio.StreamFree(stream);
    audio.Shutdown();
}

TEST_F(AudioTest, RunningOutOfSourcesTakesTheOldestOneShot)
{
    // More plays than the device has sources (256 by default).
    const fx::Bytes tone = fx::Wav(1.0);
    const uint32_t effect = Load(audio, Kind::Effect, tone);
    const uint32_t loop = audio.EffectPlayEx(effect, 10, 0, 1.0f, true);
    std::vector<uint32_t> shots;
    for (int i = 0; i < 600; ++i) {
        shots.push_back(audio.EffectPlayEx(effect, 10, 0, 1.0f, false));
        ASSERT_NE(0u, shots.back()) << i;
    }
    EXPECT_TRUE(audio.ChannelIsPlaying(loop));
    EXPECT_FALSE(audio.ChannelIsPlaying(shots.front()));
    EXPECT_TRUE(audio.ChannelIsPlaying(shots.back()));
    // Taken channels are gone for good: their handles stay dead when the slots come back.
    audio.ChannelStopAll();
    const uint32_t fresh = audio.EffectPlayEx(effect, 10, 0, 1.0f, true);
    for (uint32_t h : shots)
        ASSERT_NE(fresh, h);
    EXPECT_FALSE(audio.ChannelIsPlaying(shots.front()));
}

TEST_F(AudioTest, LoadsOnAnotherThreadWhileMixing)
{
    const fx::Bytes tone = fx::Wav(0.05);
    std::thread loader([&] {
        for (int i = 0; i < 50; ++i) {
            const uint32_t e = Load(audio, Kind::Effect, tone);
            const uint32_t s = Load(audio, Kind::Stream, tone);
            EXPECT_NE(0u, e);
            EXPECT_NE(0u, s);
            EXPECT_NE(0u, audio.EffectPlayEx(e, 100, 0, 1.0f, false));
            EXPECT_NE(0u, audio.StreamPlay(s, false, 100));
            if (i % 2)
                audio.EffectFree(e);
            audio.StreamFree(s);
        }
    });
    for (int i = 0; i < 50; ++i)
        Render(0.01);
    loader.join();
    Render(0.2);
}

TEST(AudioWithoutDevice, LoadsStillGiveHandlesAndChannelsKeepTime)
{
    AudioSystem audio;
    ASSERT_TRUE(audio.Initiate(AudioSystem::Device::Unavailable));
    EXPECT_TRUE(audio.IsSilent());

    const fx::Bytes tone = fx::Wav(0.05);
    const fx::Bytes mod = fx::TrackerModule();
    const uint32_t effect = Load(audio, Kind::Effect, tone);
    EXPECT_NE(0u, effect);
    EXPECT_NE(0u, audio.MusicLoad(mod.data(), static_cast<uint32_t>(mod.size())));
    const uint32_t stream = Load(audio, Kind::Stream, tone);
    EXPECT_NE(0u, stream);
    EXPECT_FALSE(audio.RenderSamples(std::vector<float>(2).data(), 1));

    const uint32_t loop = audio.StreamPlay(stream, true, 100);
    const uint32_t once = audio.EffectPlayEx(effect, 100, 0, 1.0f, false);
    EXPECT_TRUE(audio.ChannelIsPlaying(loop));
    // The silent device's clock runs: the one-shot ends on its own.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (audio.ChannelIsPlaying(once) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(audio.ChannelIsPlaying(once));
    EXPECT_TRUE(audio.ChannelIsPlaying(loop));

    audio.ChannelPause(loop);
    EXPECT_FALSE(audio.ChannelIsPlaying(loop));
    audio.ChannelResume(loop);
    EXPECT_TRUE(audio.ChannelIsPlaying(loop));
    audio.Shutdown();
    EXPECT_FALSE(audio.ChannelIsPlaying(loop));
}

TEST(AudioWithoutDevice, NoOutputDriverFallsBackToTheSilentDevice)
{
    // OpenAL reads its driver list once per process: the check runs in a fresh one.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("ALSOFT_DRIVERS", "no-such-driver", 1);
            bool ok = false;
            {
                AudioSystem audio;  // shut down before the process ends
                const fx::Bytes tone = fx::Wav(0.05);
                ok = audio.Initiate() && audio.IsSilent() &&
                     audio.EffectPlayEx(Load(audio, Kind::Effect, tone), 100, 0, 1.0f, false) != 0;
            }
            std::exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(AudioWithoutDevice, ExitWithoutShutdownIsClean)
{
    // A process that exits with the system running (on the silent device, feeding streams)
    // must not abort in OpenAL's exit cleanup. Without the guard this failed about one run in ten.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            // Held, like the interface object, by something that outlives exit's handlers.
            static const fx::Bytes tone = fx::Wav(0.2);
            static AudioSystem* silent = new AudioSystem;
            setenv("ALSOFT_DRIVERS", "no-such-driver", 1);
            silent->Initiate();
            for (int i = 0; i < 20; ++i)
                silent->StreamPlay(Load(*silent, Kind::Stream, tone), true, 100);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(AudioWithoutDevice, DefaultDeviceNeverFails)
{
    // Whatever the machine has (a sound card, the null driver, nothing), loads work.
    AudioSystem audio;
    EXPECT_TRUE(audio.Initiate());
    const fx::Bytes tone = fx::Wav(0.05);
    const uint32_t effect = Load(audio, Kind::Effect, tone);
    EXPECT_NE(0u, effect);
    EXPECT_NE(0u, audio.EffectPlayEx(effect, 0, 0, 1.0f, false));
}
