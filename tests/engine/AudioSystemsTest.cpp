#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Audio/MusicSystem.h"
#include "engine/Audio/Sound.h"
#include "engine/Audio/SoundStream.h"
#include "engine/Audio/SoundSystem.h"
#include "engine/Audio/Track.h"

using namespace EngineCore;

TEST(SoundSystem, StoresVolumeThenTellsListener)
{
    SoundSystem& sound = SoundSystem::Instance();
    EXPECT_FLOAT_EQ(1.0f, sound.GetVolume());
    // No listener yet: only stored; stop-all does nothing.
    sound.SetVolume(0.25f);
    EXPECT_FLOAT_EQ(0.25f, sound.GetVolume());
    sound.StopAllSounds();

    std::vector<float> heard;
    sound.SetEvent(std::function<void(float)>([&](float v) {
        heard.push_back(v);
        heard.push_back(SoundSystem::Instance().GetVolume());
    }));
    sound.SetVolume(0.5f);
    sound.SetVolume(0.0f);
    EXPECT_EQ((std::vector<float>{0.5f, 0.5f, 0.0f, 0.0f}), heard);

    int stops = 0;
    sound.SetEvent(std::function<void()>([&] { ++stops; }));
    sound.StopAllSounds();
    EXPECT_EQ(1, stops);
    sound.SetEvent(std::function<void(float)>());
    sound.SetEvent(std::function<void()>());
    // Left as the process found it, for the next test that starts from there.
    sound.SetVolume(1.0f);
}

TEST(MusicSystem, MusicListenerBeforeStreamListener)
{
    MusicSystem& music = MusicSystem::Instance();
    EXPECT_FLOAT_EQ(1.0f, music.GetVolume());
    music.SetVolume(0.3f);
    EXPECT_FLOAT_EQ(0.3f, music.GetVolume());

    std::vector<std::string> calls;
    music.SetMusicEvent([&](float v) { calls.push_back("music " + std::to_string(v)); });
    music.SetStreamEvent([&](float v) {
        calls.push_back("stream " + std::to_string(v) + " " + std::to_string(MusicSystem::Instance().GetVolume()));
    });
    music.SetVolume(0.75f);
    EXPECT_EQ((std::vector<std::string>{"music 0.750000", "stream 0.750000 0.750000"}), calls);

    // Only the stream listener installed.
    calls.clear();
    music.SetMusicEvent(std::function<void(float)>());
    music.SetVolume(0.0f);
    EXPECT_EQ((std::vector<std::string>{"stream 0.000000 0.000000"}), calls);
    music.SetStreamEvent(std::function<void(float)>());
    music.SetVolume(1.0f);
}

namespace {

template <typename Base>
class Silent : public Base {
public:
    bool IsValid() const override { return true; }
    void Stop() override {}
    void Pause() override {}
    void Resume() override {}
    void Play(bool) override {}
    void SetVolume(float) override {}
    bool IsPlaying() const override { return false; }
};

}  // namespace

TEST(AudioResources, TypesAndMusicFlag)
{
    EXPECT_EQ(Resource::RT_SOUND, Silent<Sound>().GetType());
    EXPECT_EQ(Resource::RT_MUSIC_TRACK, Silent<Track>().GetType());
    Silent<SoundStream> stream;
    EXPECT_EQ(Resource::RT_SOUND_STREAM, stream.GetType());
    EXPECT_FALSE(stream.IsMusic());
    stream.SetIsMusic(true);
    Silent<SoundStream> copy(stream);
    EXPECT_TRUE(copy.IsMusic());
}
