// The loading screen (main thread) and the state being entered (loader thread) run their
// scripts at the same time. These runs make the two threads meet where they share
// something: a font both use, the class-wide music change, and the registries that file
// objects by state. Each is sized to overlap for about a second; a fault shows as a
// crash, a sanitizer report, or an object that lands in the wrong state.
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "engine/Input/InputEvent.h"
#include "engine/Renderer/Font.h"
#include "tests/game/AudioFakes.h"
#include "tests/game/GameFlowHarness.h"
#include "tests/support/FakeSprites.h"
#include "tests/support/TrackFileWriter.h"

using namespace GameFlowTest;

namespace {

// The characters of the test texts, glyph i belonging to the i-th.
const char kCharacters[] = " 0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// Each glyph 8 wide and of its own height.
class TestFont : public EngineCore::Font {
public:
    TestFont()
    {
        const uint16_t count = sizeof kCharacters - 1;
        Reserve(count);
        for (uint16_t i = 0; i < count; ++i)
            SetInfo(i, static_cast<uint16_t>(i * 8), 0, 8, static_cast<uint16_t>(10 + i % 7), 0);
        SetAscii(kCharacters);
    }
};

// A stream both threads may play and stop: it keeps only whether it plays.
class Stream : public EngineCore::SoundStream {
public:
    bool IsValid() const override { return true; }
    void Stop() override { playing = false; }
    void Pause() override {}
    void Resume() override {}
    void Play(bool) override { playing = true; }
    void SetVolume(float) override {}
    bool IsPlaying() const override { return playing; }
    std::atomic<bool> playing{false};
};

// The loading screen's frame hook: `perFrame` runs on every loading-screen frame.
std::string LoadingScreen(const std::string& setup, const std::string& perFrame)
{
    return std::string(SystemStateScript()) + setup +
           "\nlocal BaseUpdate = Loading.Update\n"
           "function Loading.Update()\n"
           "  BaseUpdate()\n" +
           perFrame +
           "\nend\n";
}

class LoadingScreenSharingThreadsTest : public Harness {
protected:
    void SetUp() override
    {
        Harness::SetUp();
        EngineCore::ResourceFactory& factory = EngineCore::ResourceFactory::Instance();
        factory.RegisterResourceCreator(EngineCore::Resource::RT_FONT, [] { return std::make_shared<TestFont>(); });
        factory.RegisterResourceCreator(EngineCore::Resource::RT_TEXTURE,
                                        [] { return std::make_shared<TestSupport::SizedTexture>(800, 32); });
    }

    void TearDown() override
    {
        Harness::TearDown();
        for (int type : {EngineCore::Resource::RT_FONT, EngineCore::Resource::RT_TEXTURE})
            EngineCore::ResourceFactory::Instance().UnregisterResourceCreator(type);
    }

    // Loads "slow" with the given scripts and returns the number of loading frames.
    int Load(const std::string& loadingScreen, const std::string& entering)
    {
        Write("Loading/SystemState.lua", loadingScreen);
        Write("States/slow.lua", "Own = AnimationPlayer() Own:SetName('Slow.Own')\n" + entering);
        Start({"slow"}, "slow");
        return FinishLoad(100000);
    }

    std::string SystemGlobal(const char* name) const { return LuaGlobal(System(), name); }
};

}  // namespace

// The font's glyph lookup rebuilt its tables from a const call: the loading screen's
// layout and the entering state's set-up rebuilt them at once and freed a table the
// other was reading.
TEST_F(LoadingScreenSharingThreadsTest, TheLoadingScreenShowsTextInAFontTheEnteringStateSetsUp)
{
    const std::string all = kCharacters;
    const std::string reversed(all.rbegin(), all.rend());
    const int frames = Load(
        LoadingScreen("Caption = Text() Caption:SetFont('Shared')\n"
                      "Shown = 0\n",
                      "  Caption:SetAsciiText('Loading ' .. Frames .. ' frames of the level')\n"
                      "  Shown = Shown + 1"),
        "local f = Font() f:SetName('Shared')\n"
        "local t = Text() t:SetFont('Shared')\n"
        "for i = 1, 4000 do\n"
        "  if i % 2 == 0 then f:SetAscii('" + all + "') else f:SetAscii('" + reversed + "') end\n"
        "  f:SetTexture(i % 2 == 0 and 'Glyphs.A' or 'Glyphs.B')\n"
        "  t:SetAsciiText('Level ' .. i)\n"
        "end\n"
        "Done = true\n");
    EXPECT_GT(frames, 0);
    EXPECT_EQ(LuaGlobal(CurrentInterpreter(), "Done"), "true");
    EXPECT_EQ(SystemGlobal("Shown"), std::to_string(frames)) << "every loading frame laid out its text";
}

// A music change on the loading screen made its fade timer in the timer storage of the
// state being entered, on the main thread, while the loader thread filled that storage.
TEST_F(LoadingScreenSharingThreadsTest, TheLoadingScreenChangesMusicWhileTheEnteringStateMakesTimers)
{
    auto journal = std::make_shared<AudioTest::Journal>();
    AudioTest::FakeAudioCreators creators(journal);
    const int frames = Load(
        LoadingScreen("Changes = 0 ChangeMusic = true\n",
                      "  if ChangeMusic then\n"
                      "    local m = SoundStream() m:Load(Frames % 2 == 0 and 'a.ogg' or 'b.ogg')\n"
                      "    m:SetIsMusic(1) m:Play(1) Changes = Changes + 1\n"
                      "  end"),
        "Kept = {}\n"
        "for i = 1, 4000 do local t = Timer() t:Setup(100, '#Fired = true') Kept[i] = t end\n"
        "Made = #Kept\n");
    EXPECT_GT(frames, 1);
    EXPECT_EQ(LuaGlobal(CurrentInterpreter(), "Made"), "4000");
    EXPECT_EQ(SystemGlobal("Changes"), std::to_string(frames));

    // The fade belongs to the loading screen and runs on its frames only: with the music
    // left alone, the music changed last fades out over 20 ticks of loading-screen frames.
    RunSystem("ChangeMusic = false");
    const auto stops = [&journal] {
        int count = 0;
        for (const AudioTest::Call& call : *journal)
            count += call.what == "Stop" ? 1 : 0;
        return count;
    };
    journal->clear();
    for (int i = 0; i < 30; ++i)
        Frame(0.1f);
    EXPECT_EQ(stops(), 0) << "the loading screen's fade ran in the loaded state's frames";
    std::shared_ptr<GameCore::GameState> system;
    app.GetSystemGameState(system);
    for (int i = 0; i < 30; ++i)
        system->SystemUpdate(0.1f);
    EXPECT_EQ(stops(), 1) << "the music changed last faded out on the loading screen's frames";
}

// When both sides change music during a load, each change stops or fades the music
// started before, whichever thread started it: a fade timer of one state must never be
// freed or stepped by the other state's thread.
TEST_F(LoadingScreenSharingThreadsTest, BothSidesChangeMusicDuringALoad)
{
    EngineCore::ResourceFactory::Instance().RegisterResourceCreator(EngineCore::Resource::RT_SOUND_STREAM,
                                                                    [] { return std::make_shared<Stream>(); });
    const int frames = Load(
        LoadingScreen("ChangeMusic = true\n",
                      "  if ChangeMusic then\n"
                      "    local m = SoundStream() m:Load(Frames % 2 == 0 and 'a.ogg' or 'b.ogg')\n"
                      "    m:SetIsMusic(1) m:Play(1)\n"
                      "  end"),
        "Kept = {}\n"
        "for i = 1, 4000 do\n"
        "  local t = Timer() t:Setup(100, '#Fired = true') Kept[i] = t\n"
        "  if i % 20 == 0 then\n"
        "    local m = SoundStream() m:Load(i % 40 == 0 and 'c.ogg' or 'd.ogg') m:SetIsMusic(1) m:Play(1)\n"
        "  end\n"
        "end\n"
        "local m = SoundStream() m:Load('level.ogg') m:SetIsMusic(1) m:Play(1)\n");
    EXPECT_GT(frames, 1);

    // Once both sides are done and every fade had its ticks, only one music plays.
    RunSystem("ChangeMusic = false");
    std::shared_ptr<GameCore::GameState> system;
    app.GetSystemGameState(system);
    for (int i = 0; i < 30; ++i) {
        Frame(0.1f);
        system->SystemUpdate(0.1f);
    }
    std::string playing;
    for (const char* name : {"a.ogg", "b.ogg", "c.ogg", "d.ogg", "level.ogg"}) {
        std::shared_ptr<EngineCore::Resource> stream;
        ASSERT_TRUE(EngineCore::ResourceManager::Instance().GetResource(name, EngineCore::Resource::RT_SOUND_STREAM,
                                                                        stream));
        if (std::static_pointer_cast<Stream>(stream)->playing)
            playing += std::string(playing.empty() ? "" : " ") + name;
    }
    EXPECT_TRUE(playing == "a.ogg" || playing == "b.ogg" || playing == "level.ogg") << playing;
    EngineCore::ResourceFactory::Instance().UnregisterResourceCreator(EngineCore::Resource::RT_SOUND_STREAM);
}

// GUI controls and action tracks made by the loading screen were filed under the state
// being entered (the render system's current state): after the load they were live in
// it. The two threads also wrote the control lists at once.
TEST_F(LoadingScreenSharingThreadsTest, ControlsAndTracksOfTheLoadingScreenAreNotLiveInTheLoadedState)
{
    Write("Tracks/keys.bin", [] {
        const std::vector<unsigned char> bytes = TestSupport::TrackFile(
            {{0.0f, "TrackKeys = (TrackKeys or 0) + 1"}, {0.5f, "TrackKeys = (TrackKeys or 0) + 1"}});
        return std::string(bytes.begin(), bytes.end());
    }());
    const int frames = Load(
        LoadingScreen("",
                      "  for i = 1, 20 do local b = ButtonControl() b:SetSize(4, 4) end\n"
                      "  Button = ButtonControl() Button:SetPosition(0, 0) Button:SetSize(200, 200)\n"
                      "  Button:RegisterAction(0, '#Over = true')\n"
                      "  Track = ActionTrack() Track:Load('Tracks/keys.bin') Track:SetAnimationType(1)\n"
                      "  Track:SetAnimationSpeed(30) Track:Play()"),
        "for i = 1, 6000 do local b = ButtonControl() b:SetSize(4, 4) end\n"
        "Done = true\n");
    ASSERT_GT(frames, 1);
    EXPECT_EQ(LuaGlobal(CurrentInterpreter(), "Done"), "true");
    ASSERT_EQ(SystemGlobal("Over"), "nil");

    const std::string keysAfterLoad = SystemGlobal("TrackKeys");
    for (int i = 0; i < 10; ++i)
        Frame();
    EXPECT_EQ(SystemGlobal("TrackKeys"), keysAfterLoad) << "the loading screen's track played in the loaded state";

    auto move = std::make_shared<EngineCore::MouseEvent>();
    move->SetState(EngineCore::InputEvent::kStateAxisChanged);
    move->SetAbsolutePosition(50, 50, 0, 0);
    EXPECT_TRUE(EngineCore::GUISystem::Instance().AddEvent(move)) << "a control took the move";
    EXPECT_EQ(SystemGlobal("Over"), "nil") << "the loading screen's button was hovered in the loaded state";
}
