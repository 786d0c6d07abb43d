#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "engine/Audio/MusicSystem.h"
#include "engine/Resources/ResourceManager.h"
#include "game/Wrappers/SoundStreamWrapper.h"
#include "tests/game/AudioFakes.h"
#include "tests/game/GameFlowHarness.h"

using namespace GameFlowTest;
using AudioTest::Journal;
using AudioTest::Ops;
using TestSupport::EndsWith;
using Strings = std::vector<std::string>;

namespace {

const char* const kSoundNotLoaded = "Sound is not initialized. First call - Load().";
const char* const kTrackNotLoaded = "Music track not initialized. First call - Load().";

class AudioScriptClassesTest : public Harness {
protected:
    std::shared_ptr<Journal> journal = std::make_shared<Journal>();
    std::unique_ptr<AudioTest::FakeAudioCreators> creators;

    void SetUp() override
    {
        Harness::SetUp();
        creators = std::make_unique<AudioTest::FakeAudioCreators>(journal);
        // "intro" is entered at once, on this thread; the run's profile sets its volumes.
        Start({"intro"}, "intro");
        EngineCore::MusicSystem::Instance().SetVolume(1.0f);
    }

    void TearDown() override
    {
        Harness::TearDown();
        creators.reset();
        EngineCore::MusicSystem::Instance().SetVolume(1.0f);
    }

    std::string Run(const std::string& text)
    {
        std::shared_ptr<GameCore::GameState> current;
        app.GetCurrentGameState(current);
        return ErrorOf([&] { current->RunScriptString(text); });
    }

    // Plays `name` as music through a local object, collected when the text ends.
    void PlayMusic(const std::string& name, int loop = 1)
    {
        ASSERT_EQ(Run("do local m = SoundStream(); m:Load('" + name + "'); m:SetIsMusic(1); m:Play(" +
                      std::to_string(loop) + ") end"),
                  "<no error>");
    }

    // The SetVolume values `name` received, in order.
    std::vector<float> Volumes(const std::string& name) const
    {
        std::vector<float> out;
        for (const AudioTest::Call& call : *journal)
            if (call.who == name && call.what == "SetVolume")
                out.push_back(call.volume);
        return out;
    }
};

}  // namespace

TEST_F(AudioScriptClassesTest, LoopAndMusicFlagsFollowEachClassNumberRule)
{
    const struct {
        const char* number;
        bool soundLoops;       // truncated toward zero equals 1
        bool exactlyOneLoops;  // MusicTrack and SoundStream
    } rows[] = {
        {"1", true, true}, {"1.5", true, false}, {"0.5", false, false},
        {"2", false, false}, {"0", false, false}, {"-1", false, false},
    };
    for (const auto& row : rows) {
        journal->clear();
        ASSERT_EQ(Run(std::string("local s = Sound(); s:Load('fx.wav'); s:Play(") + row.number + ")\n" +
                      "local t = MusicTrack(); t:Load('tune.mod'); t:Stop(); t:Play(" + row.number + ")\n" +
                      "local w = SoundStream(); w:Load('wind.ogg'); w:Play(" + row.number + ")"),
                  "<no error>");
        const std::string sound = row.soundLoops ? "Play(1)" : "Play(0)";
        const std::string other = row.exactlyOneLoops ? "Play(1)" : "Play(0)";
        const Strings ops = Ops(*journal);
        EXPECT_NE(std::find(ops.begin(), ops.end(), "fx.wav." + sound), ops.end()) << row.number;
        EXPECT_NE(std::find(ops.begin(), ops.end(), "tune.mod." + other), ops.end()) << row.number;
        EXPECT_NE(std::find(ops.begin(), ops.end(), "wind.ogg." + other), ops.end()) << row.number;
    }

    const struct {
        const char* number;
        bool music;
    } flags[] = {{"1", true}, {"1.5", true}, {"2", false}, {"0.5", false}, {"0", false}};
    for (const auto& flag : flags) {
        ASSERT_EQ(Run(std::string("local w = SoundStream(); w:Load('flag.ogg'); w:SetIsMusic(") + flag.number + ")"),
                  "<no error>");
        std::shared_ptr<EngineCore::Resource> resource;
        ASSERT_TRUE(EngineCore::ResourceManager::Instance().GetResource("flag.ogg", 7, resource));
        EXPECT_EQ(std::static_pointer_cast<EngineCore::SoundStream>(resource)->IsMusic(), flag.music) << flag.number;
    }
}

TEST_F(AudioScriptClassesTest, EveryMethodButLoadNeedsALoadAndSaysSoBeforeReadingArguments)
{
    const struct {
        const char* cls;
        const char* message;
        Strings calls;
    } rows[] = {
        {"Sound", kSoundNotLoaded, {"Play()", "Stop()", "Pause()", "Resume()", "SetVolume()", "Play('x')"}},
        {"MusicTrack", kTrackNotLoaded, {"Play()", "Stop()", "Pause()", "Resume()", "SetVolume()"}},
        {"SoundStream", kSoundNotLoaded, {"Play()", "Stop()", "Pause()", "Resume()", "SetVolume()", "SetIsMusic()"}},
    };
    for (const auto& row : rows) {
        for (const std::string& call : row.calls) {
            const std::string error = Run(std::string("local o = ") + row.cls + "(); o:" + call);
            EXPECT_TRUE(EndsWith(error, row.message)) << row.cls << ":" << call << " gave " << error;
        }
        // Once loaded, a missing argument is Lua's own argument error.
        const std::string error = Run(std::string("local o = ") + row.cls + "(); o:Load('a.res'); o:SetVolume()");
        EXPECT_NE(error, "<no error>");
        EXPECT_EQ(error.find(row.message), std::string::npos) << row.cls;
    }
    EXPECT_EQ(Ops(*journal), Strings{});
}

TEST_F(AudioScriptClassesTest, LoadRefusesMissingAndWrongTypedNamesAndKeepsWhatItHeld)
{
    // A sprite holds the name first: read as a sound it would be undefined.
    std::shared_ptr<EngineCore::Resource> sprite;
    ASSERT_TRUE(EngineCore::ResourceManager::Instance().GetResource("taken.wav", 2, sprite));

    const struct {
        const char* cls;
        const char* kept;
    } rows[] = {{"Sound", "s1.wav"}, {"MusicTrack", "t1.mod"}, {"SoundStream", "w1.ogg"}};
    for (const auto& row : rows) {
        journal->clear();
        const std::string prefix = std::string("Obj = ") + row.cls + "(); Obj:Load('" + row.kept + "')\n";
        EXPECT_TRUE(EndsWith(Run(prefix + "Obj:Load('taken.wav')"), "Resource (taken.wav) not found.")) << row.cls;
        // The back-end's loader text passes through unchanged.
        EXPECT_TRUE(EndsWith(Run("Obj:Load('broken.wav')"), "Resource (broken.wav) loading error.")) << row.cls;
        EXPECT_EQ(Run("Obj:Stop()"), "<no error>");
        EXPECT_EQ(Ops(*journal), Strings{std::string(row.kept) + ".Stop"}) << row.cls;
        Run("Obj = nil");
    }
}

TEST_F(AudioScriptClassesTest, CollectingStopsSoundsAndPlainStreamsButNotTracksOrMusic)
{
    const struct {
        const char* make;
        const char* name;
        bool stops;
    } rows[] = {
        {"local o = Sound(); o:Load('c1.wav'); o:Play(0)", "c1.wav", true},
        {"local o = MusicTrack(); o:Load('c2.mod'); o:Play(1)", "c2.mod", false},
        {"local o = SoundStream(); o:Load('c3.ogg'); o:Play(0)", "c3.ogg", true},
        {"local o = SoundStream(); o:Load('c4.ogg'); o:SetIsMusic(1); o:Play(1)", "c4.ogg", false},
    };
    for (const auto& row : rows) {
        journal->clear();
        // Every script run ends with a full collection.
        ASSERT_EQ(Run(std::string("do ") + row.make + " end"), "<no error>");
        const Strings ops = Ops(*journal);
        const bool stopped = std::find(ops.begin(), ops.end(), std::string(row.name) + ".Stop") != ops.end();
        EXPECT_EQ(stopped, row.stops) << row.make;
    }
}

TEST_F(AudioScriptClassesTest, EffectsAndTracksPassTheirCallsStraightThrough)
{
    ASSERT_EQ(Run("S = Sound(); S:Load('p.wav'); S:Play(1); S:Pause(); S:Resume(); S:SetVolume(0.25); S:Stop()\n"
                  "T = MusicTrack(); T:Load('p.mod'); T:Play(1); T:Pause(); T:Resume(); T:SetVolume(2); T:Stop()"),
              "<no error>");
    EXPECT_EQ(Ops(*journal), (Strings{"p.wav.Play(1)", "p.wav.Pause", "p.wav.Resume", "p.wav.Stop", "p.mod.Play(1)",
                                     "p.mod.Pause", "p.mod.Resume", "p.mod.Stop"}));
    EXPECT_EQ(Volumes("p.wav"), std::vector<float>{0.25f});
    EXPECT_EQ(Volumes("p.mod"), std::vector<float>{2.0f});
}

// Frames of 0.01 s: the faded music gets (20 - n) / 20 of the music volume at tick n, then
// 0, Stop and 1 at tick 21; the ticks come at a steady pace. The objects that started both
// musics were collected right after their Play.
TEST_F(AudioScriptClassesTest, AMusicChangeFadesTheOldMusicOverTwentyTicksThenStopsIt)
{
    EngineCore::MusicSystem::Instance().SetVolume(0.8f);
    PlayMusic("a.ogg");
    PlayMusic("b.ogg");
    EXPECT_EQ(Ops(*journal), (Strings{"a.ogg.Play(1)", "b.ogg.Play(1)"}));
    journal->clear();

    std::vector<int> tickFrames;
    size_t seen = 0;
    for (int frame = 1; frame <= 400; ++frame) {
        Frame(0.01f);
        if (journal->size() != seen) {
            tickFrames.push_back(frame);
            seen = journal->size();
        }
    }
    // Tick 21 still sets the clamped fade value (0) before the 0, Stop, 1 of the end.
    std::vector<float> volumes = Volumes("a.ogg");
    ASSERT_EQ(volumes.size(), 23u);
    for (int n = 1; n <= 21; ++n)
        EXPECT_NEAR(volumes[static_cast<size_t>(n - 1)], std::max((20 - n) / 20.0f * 0.8f, 0.0f), 1e-6f)
            << "tick " << n;
    EXPECT_EQ(volumes[21], 0.0f);
    EXPECT_EQ(volumes[22], 1.0f);
    EXPECT_EQ(Ops(*journal), Strings{"a.ogg.Stop"});
    EXPECT_TRUE(Volumes("b.ogg").empty());

    ASSERT_EQ(tickFrames.size(), 21u);
    EXPECT_EQ(tickFrames[0], 1);  // the first tick 0.01 s after the change
    const int pace = tickFrames[1] - tickFrames[0];
    EXPECT_GE(pace, 10);
    EXPECT_LE(pace, 11);
    for (size_t i = 1; i < tickFrames.size(); ++i)
        EXPECT_EQ(tickFrames[i] - tickFrames[i - 1], pace) << "tick " << i + 1;
}

TEST_F(AudioScriptClassesTest, TheFadeReadsTheMusicVolumeAtEveryTick)
{
    PlayMusic("a.ogg");
    PlayMusic("b.ogg");
    // Bounded: a fade that never ticks fails here instead of hanging.
    for (int frame = 0; frame < 400 && Volumes("a.ogg").size() < 10; ++frame)
        Frame(0.01f);
    ASSERT_EQ(Volumes("a.ogg").size(), 10u);
    EngineCore::MusicSystem::Instance().SetVolume(0.4f);
    for (int frame = 0; frame < 400 && Volumes("a.ogg").size() < 12; ++frame)
        Frame(0.01f);
    const std::vector<float> volumes = Volumes("a.ogg");
    ASSERT_GE(volumes.size(), 12u);
    EXPECT_NEAR(volumes[9], 0.5f, 1e-6f);            // tick 10 at volume 1
    EXPECT_NEAR(volumes[10], 9 / 20.0f * 0.4f, 1e-6f);  // tick 11 at volume 0.4
    EXPECT_NEAR(volumes[11], 8 / 20.0f * 0.4f, 1e-6f);
}

TEST_F(AudioScriptClassesTest, AThirdMusicDuringAFadeStopsTheFadingOneAtOnceAndFadesTheSecond)
{
    PlayMusic("a.ogg");
    PlayMusic("b.ogg");
    for (int i = 0; i < 30; ++i)
        Frame(0.01f);
    const size_t aTicks = Volumes("a.ogg").size();
    ASSERT_GT(aTicks, 0u);
    journal->clear();
    PlayMusic("c.ogg");
    EXPECT_EQ(Ops(*journal), (Strings{"a.ogg.Stop", "c.ogg.Play(1)"}));
    for (int i = 0; i < 400; ++i)
        Frame(0.01f);
    EXPECT_TRUE(Volumes("a.ogg").empty());  // a gets no further tick
    const std::vector<float> b = Volumes("b.ogg");
    ASSERT_EQ(b.size(), 23u);
    EXPECT_NEAR(b[0], 0.95f, 1e-6f);  // b's fade starts from tick 0
}

TEST_F(AudioScriptClassesTest, PlayingTheCurrentMusicAgainRestartsItOnlyWhenItStopped)
{
    PlayMusic("a.ogg");
    PlayMusic("a.ogg");
    EXPECT_EQ(Ops(*journal), Strings{"a.ogg.Play(1)"});
    ASSERT_EQ(Run("local m = SoundStream(); m:Load('a.ogg'); m:SetIsMusic(1); m:Stop()"), "<no error>");
    PlayMusic("a.ogg", 0);
    EXPECT_EQ(Ops(*journal), (Strings{"a.ogg.Play(1)", "a.ogg.Stop", "a.ogg.Play(0)"}));
    for (int i = 0; i < 50; ++i)
        Frame(0.01f);
    EXPECT_TRUE(Volumes("a.ogg").empty());  // nothing fades
}

TEST_F(AudioScriptClassesTest, PlainPlaysLeaveTheMusicChangeAlone)
{
    PlayMusic("a.ogg");
    // The same stream played through an object not flagged as music, and another stream.
    ASSERT_EQ(Run("P = SoundStream(); P:Load('a.ogg'); P:Play(0)\n"
                  "Q = SoundStream(); Q:Load('q.ogg'); Q:Play(1)"),
              "<no error>");
    PlayMusic("b.ogg");
    for (int i = 0; i < 400; ++i)
        Frame(0.01f);
    EXPECT_EQ(Volumes("a.ogg").size(), 23u);  // a, the music started last, faded
    EXPECT_TRUE(Volumes("q.ogg").empty());
}

TEST_F(AudioScriptClassesTest, ClearResourcesForgetsTheMusicWithoutStoppingIt)
{
    PlayMusic("a.ogg");
    PlayMusic("b.ogg");
    Frame(0.01f);
    journal->clear();
    GameCore::SoundStreamWrapper::ClearResources();
    for (int i = 0; i < 100; ++i)
        Frame(0.01f);
    EXPECT_TRUE(journal->empty());  // the fade froze; nothing was stopped
    PlayMusic("c.ogg");
    for (int i = 0; i < 400; ++i)
        Frame(0.01f);
    EXPECT_EQ(Ops(*journal), Strings{"c.ogg.Play(1)"});  // nothing faded
}

// Outside any game state (no timer to fade with) the old music stops at once.
TEST(AudioScriptClassesNoState, AMusicChangeWithNoCurrentStateStopsTheOldMusicAtOnce)
{
    auto journal = std::make_shared<Journal>();
    AudioTest::FakeAudioCreators creators(journal);
    GameLuaScriptImpl::LuaScriptEngine engine;
    ASSERT_TRUE(engine.Open());
    GameLuaScriptImpl::LuaHelper<GameCore::SoundStreamWrapper>::Register(engine.GetState());
    std::shared_ptr<GameCore::GameState> none;
    ASSERT_FALSE(GameCore::Application::Instance().GetCurrentGameState(none));

    const char* play = "do local m = SoundStream(); m:Load('%s'); m:SetIsMusic(1); m:Play(1) end";
    char text[128];
    std::snprintf(text, sizeof text, play, "x.ogg");
    engine.RunString(text, 0);
    std::snprintf(text, sizeof text, play, "y.ogg");
    engine.RunString(text, 0);
    EXPECT_EQ(Ops(*journal), (Strings{"x.ogg.Play(1)", "x.ogg.Stop", "y.ogg.Play(1)"}));
    GameCore::SoundStreamWrapper::ClearResources();
    engine.Close();
    EngineCore::ResourceManager::Instance().Clear();
}
