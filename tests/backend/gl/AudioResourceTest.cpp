// Sounds, streams and tracks over the platform's audio, heard on the loopback device: each
// check renders the mix and measures it.
#include <cmath>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "backend/Base/HGEMusicTrack.h"
#include "backend/Base/HGESound.h"
#include "backend/Base/HGESoundStream.h"
#include "engine/Audio/SoundStream.h"
#include "engine/Audio/Track.h"
#include "tests/backend/gl/BackendWindow.h"
#include "tests/platform/AudioFixtures.h"
#include "tests/support/FailureText.h"
#include "tests/support/ToneAmplitude.h"

using namespace BackendTest;
using EngineCore::Resource;
using EngineCore::ResourceManager;

namespace {

const int kRate = 44100;

using TestSupport::EndsWith;
using TestSupport::ErrorOf;

// A window whose sound is mixed only when a test renders it.
class AudioWindow : public BackendWindow {
public:
    AudioWindow()
    {
        Hge()->Test_SetAudioLoopback(true);
        MobrixCore::HGESoundStream::SetGlobalVolume(1.0f, false);
        MobrixCore::HGESoundStream::SetGlobalVolume(1.0f, true);
    }
    ~AudioWindow() { Hge()->Test_SetAudioLoopback(false); }

    void AddFile(const std::string& name, const audiofixtures::Bytes& bytes)
    {
        std::ofstream out(data + "/" + name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    // The usual set: tones at 440 Hz (WAV effect, Ogg streams) and a tracker module.
    void OpenWithSounds()
    {
        AddFile("fx.wav", audiofixtures::Tone(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 4.0));
        AddFile("a.ogg", audiofixtures::Tone(SF_FORMAT_OGG | SF_FORMAT_VORBIS, 4.0, 1, kRate, 440.0));
        AddFile("b.ogg", audiofixtures::Tone(SF_FORMAT_OGG | SF_FORMAT_VORBIS, 4.0, 1, kRate, 660.0));
        AddFile("tune.mod", audiofixtures::TrackerModule());
        AddFile("noise.wav", audiofixtures::Bytes(300, 0x5A));
        AddFile("empty.ogg", audiofixtures::Bytes());
        Index();
        Open();
    }

    template <class T>
    std::shared_ptr<T> Get(const std::string& name, Resource::ResourceType type)
    {
        std::shared_ptr<Resource> resource;
        if (!ResourceManager::Instance().GetResource(name, type, resource))
            return nullptr;
        return std::dynamic_pointer_cast<T>(resource);
    }

    // Root-mean-square of the left channel over the next `seconds`, after the few
    // milliseconds in which OpenAL glides to a changed gain.
    double Level(double seconds)
    {
        Settle();
        std::vector<float> left;
        Render(seconds, left);
        double sum = 0.0;
        for (float s : left)
            sum += static_cast<double>(s) * s;
        return left.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(left.size()));
    }

    void Settle()
    {
        std::vector<float> skipped;
        Render(0.03, skipped);
    }

    void Render(double seconds, std::vector<float>& left)
    {
        const int frames = static_cast<int>(seconds * kRate);
        std::vector<float> stereo(static_cast<size_t>(frames) * 2);
        EXPECT_TRUE(Hge()->Test_RenderAudio(stereo.data(), frames));
        left.resize(static_cast<size_t>(frames));
        for (int i = 0; i < frames; ++i)
            left[static_cast<size_t>(i)] = stereo[static_cast<size_t>(i) * 2];
    }
};

}  // namespace

TEST(AudioResources, LoadersReportMissingAndUndecodableFilesWithTheSystemText)
{
    AudioWindow window;
    window.OpenWithSounds();
    const struct {
        const char* name;
        Resource::ResourceType type;
        const char* error;  // empty: loads
    } rows[] = {
        {"fx.wav", Resource::RT_SOUND, ""},
        {"a.ogg", Resource::RT_SOUND_STREAM, ""},
        {"tune.mod", Resource::RT_MUSIC_TRACK, ""},
        {"a.ogg", Resource::RT_MUSIC_TRACK, "<no error>"},
        {"missing.wav", Resource::RT_SOUND, "Resource (missing.wav) loading error."},
        {"missing.ogg", Resource::RT_SOUND_STREAM, "Resource (missing.ogg) loading error."},
        {"missing.mod", Resource::RT_MUSIC_TRACK, "Resource (missing.mod) loading error."},
        {"noise.wav", Resource::RT_SOUND, "Resource (noise.wav) initialize error."},
        {"noise.wav", Resource::RT_SOUND_STREAM, "Resource (noise.wav) initialize error."},
        {"noise.wav", Resource::RT_MUSIC_TRACK, "Resource (noise.wav) initialize error."},
        {"empty.ogg", Resource::RT_SOUND_STREAM, "Resource (empty.ogg) initialize error."},
        {"", Resource::RT_SOUND, "Resource must have name."},
        {"", Resource::RT_SOUND_STREAM, "Resource must have name."},
        {"", Resource::RT_MUSIC_TRACK, "Resource must have name."},
    };
    for (const auto& row : rows) {
        ResourceManager::Instance().Clear();
        std::shared_ptr<Resource> resource;
        const std::string error =
            ErrorOf([&] { ResourceManager::Instance().GetResource(row.name, row.type, resource); });
        if (!*row.error || std::string(row.error) == "<no error>") {
            EXPECT_EQ(error, "<no error>") << row.name << " " << row.type;
            ASSERT_TRUE(resource);
            EXPECT_TRUE(resource->IsValid());
            EXPECT_EQ(resource->GetType(), row.type);
        } else {
            EXPECT_TRUE(EndsWith(error, row.error)) << row.name << " " << row.type << ": " << error;
        }
    }
    ResourceManager::Instance().Clear();
    const std::string log = window.ReadLog();
    for (const char* line : {"Effect_Load (fx.wav)...ok", "Stream_Load (a.ogg)...ok", "Music_Load (tune.mod)...ok",
                             "Effect_Free (fx.wav)...ok", "Stream_Free (a.ogg)...ok", "Music_Free (tune.mod)...ok"})
        EXPECT_NE(log.find(line), std::string::npos) << line;
}

TEST(AudioResources, EffectsSoundAtTheirOwnVolumeAndEachPlayAddsAChannel)
{
    AudioWindow window;
    window.OpenWithSounds();
    auto sound = window.Get<EngineCore::Sound>("fx.wav", Resource::RT_SOUND);
    ASSERT_TRUE(sound);
    EXPECT_LT(window.Level(0.05), 1e-4);

    sound->Play(false);
    const double one = window.Level(0.1);
    EXPECT_GT(one, 0.1);
    sound->SetVolume(0.5f);
    EXPECT_NEAR(window.Level(0.1) / one, 0.5, 0.05);
    sound->SetVolume(1.0f);

    // A second play sounds beside the first; Stop reaches only the newer one.
    sound->Play(false);
    EXPECT_TRUE(sound->IsPlaying());
    sound->Stop();
    EXPECT_FALSE(sound->IsPlaying());
    EXPECT_NEAR(window.Level(0.1) / one, 1.0, 0.1);
    // Releasing the resource silences the untracked channel too.
    ResourceManager::Instance().Clear();
    sound.reset();
    EXPECT_LT(window.Level(0.05), 1e-4);
}

TEST(AudioResources, StreamPlaysOverlapInCopiesAndALoopingPlayLeavesOne)
{
    AudioWindow window;
    window.OpenWithSounds();
    auto stream = window.Get<MobrixCore::HGESoundStream>("a.ogg", Resource::RT_SOUND_STREAM);
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->GetCopyCount(), 1);
    stream->Play(false);
    const double one = window.Level(0.1);
    EXPECT_GT(one, 0.2);
    stream->Play(false);
    stream->Play(false);
    EXPECT_EQ(stream->GetCopyCount(), 3);
    stream->Play(true);  // stops every copy, plays one looping
    EXPECT_EQ(stream->GetCopyCount(), 3);
    EXPECT_NEAR(window.Level(0.1) / one, 1.0, 0.1);
    stream->Play(false);  // after a looping play: stops it first, then reuses a copy
    EXPECT_EQ(stream->GetCopyCount(), 3);
    EXPECT_NEAR(window.Level(0.1) / one, 1.0, 0.1);
    stream->Pause();
    EXPECT_FALSE(stream->IsPlaying());
    EXPECT_LT(window.Level(0.05), 1e-4);
    stream->Resume();
    EXPECT_TRUE(stream->IsPlaying());
    stream->Stop();
    EXPECT_LT(window.Level(0.05), 1e-4);
}

TEST(AudioResources, StreamsFollowTheRememberedVolumeOfTheirKind)
{
    AudioWindow window;
    window.OpenWithSounds();
    auto plain = window.Get<MobrixCore::HGESoundStream>("a.ogg", Resource::RT_SOUND_STREAM);
    auto music = window.Get<MobrixCore::HGESoundStream>("b.ogg", Resource::RT_SOUND_STREAM);
    ASSERT_TRUE(plain && music);
    music->SetIsMusic(true);
    plain->Play(true);
    music->Play(true);
    std::vector<float> block;
    window.Render(0.2, block);
    const double a = TestSupport::ToneAmplitude(block, 440.0, kRate);
    const double b = TestSupport::ToneAmplitude(block, 660.0, kRate);
    EXPECT_GT(a, 0.2);
    EXPECT_NEAR(b / a, 1.0, 0.05);

    // The stream-volume delegate (the music volume's listener): only music streams follow it.
    window.app->GetStreamVolumeDelegate()(0.25f);
    window.Settle();
    window.Render(0.2, block);
    EXPECT_NEAR(TestSupport::ToneAmplitude(block, 440.0, kRate) / a, 1.0, 0.05);
    EXPECT_NEAR(TestSupport::ToneAmplitude(block, 660.0, kRate) / b, 0.25, 0.05);
    // The sound-volume delegate reaches the plain stream. Out-of-range volumes are clamped,
    // never wrapped or undefined.
    window.app->GetSoundVolumeDelegate()(2.0f);
    window.Settle();
    window.Render(0.2, block);
    EXPECT_NEAR(TestSupport::ToneAmplitude(block, 440.0, kRate) / a, 1.0, 0.05);
    MobrixCore::HGESoundStream::SetGlobalVolume(-0.5f, false);
    window.Settle();
    window.Render(0.2, block);
    EXPECT_LT(TestSupport::ToneAmplitude(block, 440.0, kRate), 0.01);
    MobrixCore::HGESoundStream::SetGlobalVolume(std::nanf(""), false);
    window.Settle();
    window.Render(0.2, block);
    EXPECT_LT(TestSupport::ToneAmplitude(block, 440.0, kRate), 0.01);

    // A stream's own volume lasts until its next play, which takes the remembered one.
    MobrixCore::HGESoundStream::SetGlobalVolume(1.0f, false);
    plain->SetVolume(0.1f);
    plain->Play(true);
    window.Settle();
    window.Render(0.2, block);
    EXPECT_NEAR(TestSupport::ToneAmplitude(block, 440.0, kRate) / a, 1.0, 0.05);
    ResourceManager::Instance().Clear();
}

TEST(AudioResources, ATrackPlaysOnceAtATimeUnderTheMusicVolume)
{
    AudioWindow window;
    window.OpenWithSounds();
    auto track = window.Get<EngineCore::Track>("tune.mod", Resource::RT_MUSIC_TRACK);
    ASSERT_TRUE(track);
    track->Play(true);
    EXPECT_TRUE(track->IsPlaying());
    const double one = window.Level(0.2);
    EXPECT_GT(one, 0.01);
    track->Play(true);  // already playing: nothing, not a restart or a second channel
    EXPECT_NEAR(window.Level(0.2) / one, 1.0, 0.1);
    window.app->GetMusicVolumeDelegate()(0.5f);
    EXPECT_NEAR(window.Level(0.2) / one, 0.5, 0.1);
    window.app->GetMusicVolumeDelegate()(1.0f);
    track->Stop();
    EXPECT_FALSE(track->IsPlaying());
    track->Resume();  // the channel was forgotten
    EXPECT_FALSE(track->IsPlaying());
    EXPECT_LT(window.Level(0.05), 1e-4);
    ResourceManager::Instance().Clear();
}

// The application's Close forgets the registry of live streams first; a stream that outlives
// it (a script object still holding it) dies quietly later.
TEST(AudioResources, AStreamOutlivingCloseDiesQuietly)
{
    std::shared_ptr<MobrixCore::HGESoundStream> stream;
    {
        AudioWindow window;
        window.OpenWithSounds();
        stream = window.Get<MobrixCore::HGESoundStream>("a.ogg", Resource::RT_SOUND_STREAM);
        ASSERT_TRUE(stream);
        stream->Play(true);
        ResourceManager::Instance().Clear();
    }
    MobrixCore::HGESoundStream::SetGlobalVolume(0.5f, false);  // reaches no freed stream
    stream->Play(false);
    EXPECT_FALSE(stream->IsPlaying());
    stream.reset();
}
