// The loading screen (main thread) and the state being entered (loader thread) run their
// scripts at the same time. These runs make the two threads meet where they share
// something: a font both use, the class-wide music change, the screen settings and their
// hook, the mouse effect, and the registries that file objects by state. Each is sized to
// overlap for about a second; a fault shows as a crash, a sanitizer report, or an object
// or a script run that lands in the wrong state or on the wrong thread.
#include <algorithm>
#include <atomic>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/Audio/MusicSystem.h"
#include "engine/Audio/SoundSystem.h"
#include "engine/Input/InputEvent.h"
#include "engine/Input/InputSystem.h"
#include "engine/Renderer/Font.h"
#include "engine/Renderer/Texture.h"
#include "game/Logic/Profile.h"
#include "game/Logic/ProfileSystem.h"
#include "game/Logic/ProfilesFile.h"
#include "game/Logic/Property.h"
#include "game/Logic/PropertySystem.h"
#include "game/Input/GameDeviceManager.h"
#include "game/Wrappers/GUISystemWrapper.h"
#include "tests/game/AudioFakes.h"
#include "tests/game/GameFlowHarness.h"
#include "tests/support/FakeInputDevices.h"
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

// A stream both threads may play and stop: it keeps whether it plays and the volumes set.
class Stream : public EngineCore::SoundStream {
public:
    bool IsValid() const override { return true; }
    void Stop() override { playing = false; }
    void Pause() override {}
    void Resume() override {}
    void Play(bool) override { playing = true; }
    void SetVolume(float volume) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        volumes.push_back(volume);
    }
    bool IsPlaying() const override { return playing; }
    size_t VolumeCount() const
    {
        std::lock_guard<std::mutex> lock(mutex);
        return volumes.size();
    }
    std::atomic<bool> playing{false};
    mutable std::mutex mutex;
    std::vector<float> volumes;
};

std::shared_ptr<Stream> Named(const char* name)
{
    std::shared_ptr<EngineCore::Resource> stream;
    EngineCore::ResourceManager::Instance().GetResource(name, EngineCore::Resource::RT_SOUND_STREAM, stream);
    return std::static_pointer_cast<Stream>(stream);
}

// Screen settings of the given width, windowed with stretching (applied once each).
EngineCore::RenderSystem::ScreenSettings Windowed(int width)
{
    EngineCore::RenderSystem::ScreenSettings settings;
    settings.bpp = 32;
    settings.width = width;
    settings.height = 600;
    settings.windowed = true;
    settings.stretch = true;
    return settings;
}

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
    // Against the loading screen's own count: the load may end between the harness's look at
    // the loading flag and the application's own, making the harness count one frame more.
    EXPECT_EQ(SystemGlobal("Shown"), SystemGlobal("Frames")) << "every loading frame laid out its text";
    EXPECT_NEAR(std::stoi(SystemGlobal("Frames")), frames, 1);
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
    // The loading screen's own count of its frames, not the harness's (see above).
    const int shown = std::stoi(SystemGlobal("Frames"));
    EXPECT_EQ(SystemGlobal("Changes"), std::to_string(shown));

    // With the music left alone, the last change's fade goes on after the load, on the
    // loaded state's frames: the music changed last plays on at full volume, the one before
    // it is stepped down 20 times and stopped, two seconds into the loaded state.
    RunSystem("ChangeMusic = false");
    const std::string last = shown % 2 == 0 ? "a.ogg" : "b.ogg";
    const std::string faded = shown % 2 == 0 ? "b.ogg" : "a.ogg";
    journal->clear();
    for (int i = 0; i < 30; ++i)
        Frame(0.1f);
    std::vector<std::string> calls;
    int steps = 0;
    for (const AudioTest::Call& call : *journal) {
        if (call.what == "SetVolume" && call.who == faded && call.volume > 0.0f && call.volume < 1.0f)
            ++steps;
        else
            calls.push_back(call.who + "." + call.what + (call.what == "SetVolume" ? std::to_string(call.volume) : ""));
    }
    EXPECT_GE(steps, 18) << "the fade went on after the load";
    const std::string zero = faded + ".SetVolume" + std::to_string(0.0f);
    EXPECT_EQ(calls, (std::vector<std::string>{zero, zero, zero, faded + ".Stop",
                                               faded + ".SetVolume" + std::to_string(1.0f)}))
        << "only the faded music was touched: stepped to 0, stopped, set back to 1";
    std::shared_ptr<EngineCore::Resource> kept;
    ASSERT_TRUE(EngineCore::ResourceManager::Instance().GetResource(last, EngineCore::Resource::RT_SOUND_STREAM, kept));
    EXPECT_TRUE(std::static_pointer_cast<AudioTest::FakeAudio<EngineCore::SoundStream>>(kept)->playing);
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
    for (int i = 0; i < 30; ++i)
        Frame(0.1f);
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

// The platform reports new screen settings at the top of a frame, where no script runs. The
// hook ran there in the current state, which during a load is the one the loader thread is
// entering: its interpreter entered from two threads (a fatal error), or the hook's text ran
// during the load. It must run once, in the loaded state, after the load.
TEST_F(LoadingScreenSharingThreadsTest, TheScreenSettingsHookRunsInTheLoadedStateAfterTheLoad)
{
    Write("States/slow.lua", "GUISystem():SetupScreenSettingsUpdater('#HookRan = (HookRan or 0) + 1 HookSawDone = Done')\n"
                             "Busy = 0\n"
                             "for i = 1, 3000000 do Busy = Busy + 1 end\n"
                             "Done = true\n");
    Start({"slow"}, "slow");
    Frame();
    ASSERT_TRUE(AwaitLoadStart());
    int errors = 0;
    std::string firstError;
    while (app.IsWaiting()) {
        Frame();
        // What the platform's notice of restored graphics does on the main thread.
        try {
            EngineCore::RenderSystem::Instance().SetChangedScreenSettings(Windowed(800));
        } catch (const std::exception& error) {
            if (errors++ == 0)
                firstError = error.what();
        }
    }
    Frame();
    Frame();
    EngineCore::RenderSystem::Instance().UpdateScreenSettingsFunction(nullptr, nullptr);
    EXPECT_EQ(errors, 0) << firstError;
    EXPECT_EQ(LuaGlobal(CurrentInterpreter(), "HookRan"), "1") << "the changes of the load reach the hook once";
    EXPECT_EQ(LuaGlobal(CurrentInterpreter(), "HookSawDone"), "true") << "the hook ran before the state was entered";
    EXPECT_EQ(SystemGlobal("HookRan"), "nil");
}

// Screen settings asked for by the state being entered were handed to the window and the
// sprites on the loader thread, while the main thread drew the loading screen's sprites.
// They wait for the end of the load and are applied then, on the main thread, in order;
// the profile is saved at each call.
TEST_F(LoadingScreenSharingThreadsTest, ScreenSettingsAskedDuringALoadApplyOnTheMainThreadWhenItEnds)
{
    std::atomic<int> stored{0};
    GameCore::GUISystemWrapper::ProfileChoices choices;
    choices.selected = [] { return true; };
    choices.storeScreen = [&stored](bool, bool) { return ++stored > 0; };
    choices.storeSystemCursor = [](bool) { return true; };
    GameCore::GUISystemWrapper::SetProfileChoices(choices);
    std::mutex mutex;
    std::vector<int> widths;
    int wrongPlace = 0;
    const std::thread::id main = std::this_thread::get_id();
    EngineCore::RenderSystem& render = EngineCore::RenderSystem::Instance();
    render.SetChangeScreenSettingsFunction([&](const EngineCore::RenderSystem::ScreenSettings& settings) {
        std::lock_guard<std::mutex> lock(mutex);
        widths.push_back(settings.width);
        wrongPlace += std::this_thread::get_id() != main || render.IsWaiting() ? 1 : 0;
    });
    const int frames =
        Load(LoadingScreen("Kept = {} for i = 1, 64 do local s = Sprite() s:SetName('Sys.S' .. i) Kept[i] = s end\n",
                           ""),
             "local g = GUISystem()\n"
             "for i = 1, 2000 do g:SetScreenSettings(32, 800 + i, 600, 1, 1) end\n"
             "local bpp, width = g:GetScreenSettings() Asked = width\n"
             "Done = true\n");
    render.SetChangeScreenSettingsFunction(nullptr);
    GameCore::GUISystemWrapper::SetProfileChoices({});
    EXPECT_GT(frames, 0);
    EXPECT_EQ(LuaGlobal(CurrentInterpreter(), "Done"), "true");
    EXPECT_EQ(stored.load(), 2000) << "the profile is saved at each call";
    // A width no other test asks for: the record must be the one asked during this load.
    EXPECT_EQ(LuaGlobal(CurrentInterpreter(), "Asked"), "2800") << "the state reads back what it asked for";
    EXPECT_EQ(wrongPlace, 0) << "settings applied on the loader thread or during the load";
    // Settings the start-up applies are not the state's.
    widths.erase(widths.begin(), std::find(widths.begin(), widths.end(), 801));
    ASSERT_EQ(widths.size(), 2000u);
    for (size_t i = 0; i < widths.size(); ++i)
        ASSERT_EQ(widths[i], 801 + static_cast<int>(i)) << "in the order asked";
    EXPECT_EQ(render.GetScreenSettings().width, 2800);
}

// The loading screen's per-frame script and the state being entered both drive the mouse
// effect; its clicks were kept without a guard (a use after free in the clicks).
TEST_F(LoadingScreenSharingThreadsTest, BothThreadsDriveTheMouseEffect)
{
    auto devices = std::make_shared<GameCore::GameDeviceManager>();
    devices->SetDevice(1, std::make_shared<TestSupport::FakeMouse>());
    EngineCore::InputSystem::Instance().SetDeviceManager(devices);
    const int frames = Load(
        LoadingScreen("Input = InputDeviceManager()\n",
                      "  for i = 1, 2000 do Input:StartMouseEffect(100, 1000, 1) Input:AddMassEffectClick() end"),
        "local m = InputDeviceManager()\n"
        "for i = 1, 40000 do m:StartMouseEffect(100, 1000, 1) m:AddMassEffectClick() m:StopMouseEffect() end\n"
        "Done = true\n");
    EXPECT_GT(frames, 0);
    EXPECT_EQ(LuaGlobal(CurrentInterpreter(), "Done"), "true");
    app.Release();
    released = true;
    EngineCore::InputSystem::Instance().SetDeviceManager(nullptr);
}

// A music change on the loading screen fades the old music over two seconds of game time
// whatever state is current: over a load shorter than that, the fade goes on in the loaded
// state; over a longer one it ends during the load. The new music plays at full volume.
TEST_F(LoadingScreenSharingThreadsTest, ALoadingScreensMusicChangeFadesOverTwoSecondsOfGameTime)
{
    const struct {
        const char* state;  // "menu" ends with the page effect, "slow" takes two seconds
        bool longLoad;
    } cases[] = {{"menu", false}, {"slow", true}};
    EngineCore::ResourceFactory::Instance().RegisterResourceCreator(EngineCore::Resource::RT_SOUND_STREAM,
                                                                    [] { return std::make_shared<Stream>(); });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        Write("Loading/SystemState.lua",
              LoadingScreen("", "  if not Changed then Changed = true\n"
                                "    local a = SoundStream() a:Load('old.ogg') a:SetIsMusic(1) a:Play(1)\n"
                                "    local b = SoundStream() b:Load('loading.ogg') b:SetIsMusic(1) b:Play(1)\n"
                                "  end"));
        Write("States/slow.lua", "Done = true\n");
        // The second run's start-up script is read afresh.
        EngineCore::FileSystem::Instance().FreeCache();
        // Held here: a stream whose last holder lets go leaves the resource manager.
        const std::shared_ptr<Stream> old = Named("old.ogg");
        const std::shared_ptr<Stream> loading = Named("loading.ogg");
        Start({c.state}, c.state);
        // Game time since the change, which the first loading frame makes before its fade step.
        float time = 0.0f;
        float stoppedAt = -1.0f;
        const auto step = [&](float dt) {
            Frame(dt);
            if (loading->playing)
                time += dt;
            if (stoppedAt < 0.0f && loading->playing && !old->playing)
                stoppedAt = time;
        };
        step(0.05f);
        ASSERT_TRUE(AwaitLoadStart());
        while (app.IsWaiting())
            step(0.05f);
        const float loadTime = time;
        for (int i = 0; i < 100 && time < 3.0f; ++i)
            step(0.05f);
        EXPECT_EQ(loadTime > 2.1f, c.longLoad) << "load of " << loadTime << " s";
        EXPECT_GE(stoppedAt, 1.99f);
        EXPECT_LE(stoppedAt, 2.11f) << "load of " << loadTime << " s";
        EXPECT_EQ(old->VolumeCount(), 23u) << "21 fade steps, then 0 and back to 1 around the stop";
        EXPECT_TRUE(loading->playing);
        EXPECT_EQ(loading->VolumeCount(), 0u) << "the new music plays at full volume";
        app.Release();
        EngineCore::ResourceManager::Instance().Clear();
    }
    released = true;
    EngineCore::ResourceFactory::Instance().UnregisterResourceCreator(EngineCore::Resource::RT_SOUND_STREAM);
}

// The loading screen changes the music, then the state being entered changes it again: the
// later fade is the only one that ticks. It waits for the end of the load and then steps the
// music 20 times, 0.1 s apart; the earlier fade's music was stopped at the second change.
TEST_F(LoadingScreenSharingThreadsTest, OnlyTheFadeStartedLastTicks)
{
    EngineCore::ResourceFactory::Instance().RegisterResourceCreator(EngineCore::Resource::RT_SOUND_STREAM,
                                                                    [] { return std::make_shared<Stream>(); });
    Write("Loading/SystemState.lua",
          LoadingScreen("", "  if not Changed then Changed = true\n"
                            "    local a = SoundStream() a:Load('old.ogg') a:SetIsMusic(1) a:Play(1)\n"
                            "    local b = SoundStream() b:Load('loading.ogg') b:SetIsMusic(1) b:Play(1)\n"
                            "  end"));
    Write("States/slow.lua", "local m = SoundStream() m:Load('level.ogg') m:SetIsMusic(1) m:Play(1)\n");
    // Held here: a stream whose last holder lets go leaves the resource manager.
    const std::shared_ptr<Stream> old = Named("old.ogg");
    const std::shared_ptr<Stream> loading = Named("loading.ogg");
    const std::shared_ptr<Stream> level = Named("level.ogg");
    Start({"slow"}, "slow");
    Frame(0.05f);
    ASSERT_TRUE(AwaitLoadStart());
    // A frame still loading when it returns was a loading frame throughout; the frame in
    // which the load is seen to end may step the fade already.
    std::vector<float> stepTimes;
    float time = 0.0f;
    int loadingFrames = 0;
    for (int frame = 0; frame < 10000 && (app.IsWaiting() || time < 3.0f); ++frame) {
        const size_t before = loading->VolumeCount();
        Frame(0.05f);
        if (app.IsWaiting()) {
            ++loadingFrames;
            EXPECT_EQ(loading->VolumeCount(), 0u) << "the last fade ticked during the load";
            continue;
        }
        time += 0.05f;
        if (loading->VolumeCount() != before)
            stepTimes.push_back(time);
    }
    EXPECT_GT(loadingFrames, 0);
    EXPECT_FALSE(old->playing) << "the second change stops the first fade's music at once";
    EXPECT_FALSE(loading->playing);
    EXPECT_TRUE(level->playing);
    EXPECT_EQ(loading->VolumeCount(), 23u);
    ASSERT_EQ(stepTimes.size(), 21u) << "one volume step a tick";
    for (size_t i = 2; i < stepTimes.size(); ++i)
        EXPECT_NEAR(stepTimes[i] - stepTimes[i - 1], 0.1f, 0.01f) << "tick " << i;
    EngineCore::ResourceFactory::Instance().UnregisterResourceCreator(EngineCore::Resource::RT_SOUND_STREAM);
}

namespace {

std::string PlaysMusic(const char* file)
{
    return std::string("local m = SoundStream() m:Load('") + file + "') m:SetIsMusic(1) m:Play(1)\n";
}

// The fade of a music change belongs to the music: a state whose start-up script changes
// the music may be left at once, while its fade still has nearly two seconds to run.
class MusicAcrossLoadsTest : public LoadingScreenSharingThreadsTest {
protected:
    float dt = 1.0f / 60.0f;
    float loadingDt = 0.25f;
    std::shared_ptr<Stream> old;
    // Game time since the frame in which the main thread saw the load that changed the music
    // end (that frame not counted), and when the old music stopped.
    float sinceChange = 0.0f;
    float stoppedAt = -1.0f;
    bool counting = false;
    // Game time of the loading frames of the load that changed the music.
    float loadSeconds = 0.0f;

    void SetUp() override
    {
        LoadingScreenSharingThreadsTest::SetUp();
        EngineCore::ResourceFactory::Instance().RegisterResourceCreator(EngineCore::Resource::RT_SOUND_STREAM,
                                                                        [] { return std::make_shared<Stream>(); });
    }

    void TearDown() override
    {
        LoadingScreenSharingThreadsTest::TearDown();
        EngineCore::ResourceFactory::Instance().UnregisterResourceCreator(EngineCore::Resource::RT_SOUND_STREAM);
    }

    // The loading screen's count of its frames: it grows in a frame exactly when the
    // application ran that frame as a loading frame.
    int LoadingFrames() const { return std::stoi(SystemGlobal("Frames")); }

    // A run of its own in which "game" has played old.ogg for a second and the player has
    // just asked for `next`: the switch's frame has run and the load has started. End it
    // with EndRun.
    void PlayOldThenAskFor(const std::string& next)
    {
        // The row's start-up scripts are read afresh.
        EngineCore::FileSystem::Instance().FreeCache();
        sinceChange = 0.0f;
        stoppedAt = -1.0f;
        counting = false;
        loadSeconds = 0.0f;
        // Held here: a stream whose last holder lets go leaves the resource manager.
        old = Named("old.ogg");
        Write("States/game.lua", PlaysMusic("old.ogg"));
        Start({"game", next, "map"}, "game");
        FinishLoad();
        for (int i = 0; i < 60; ++i)
            Frame(dt);
        ASSERT_TRUE(old->playing);
        app.SetCurrentGameState(State(next), false);
        Frame(dt);
        ASSERT_TRUE(AwaitLoadStart());
    }

    // As PlayOldThenAskFor, `changing`'s start-up script changing the music; the clock starts
    // after the frame in which the main thread sees that load end.
    void PlayOldThenEnter(const std::string& changing)
    {
        PlayOldThenAskFor(changing);
        // Long loading frames: a game load (two seconds on the clock) then lasts longer
        // in game time than the fade, which must not run during it.
        for (int i = 0; i < 100000; ++i) {
            const int before = LoadingFrames();
            Frame(loadingDt);
            if (LoadingFrames() == before)
                break;
            loadSeconds += loadingDt;
        }
        EXPECT_FALSE(app.IsWaiting());
        counting = true;
    }

    void EndRun()
    {
        app.Release();
        EngineCore::ResourceManager::Instance().Clear();
        released = true;
    }

    void Step()
    {
        Frame(dt);
        if (!counting)
            return;
        sinceChange += dt;
        if (stoppedAt < 0.0f && !old->playing)
            stoppedAt = sinceChange;
    }

    void StepFor(float seconds)
    {
        for (const float end = sinceChange + seconds; sinceChange < end;)
            Step();
    }

    // Runs the frames of the states that follow (loads included) for three seconds.
    void RunOn()
    {
        for (int i = 0; i < 100000 && sinceChange < 3.0f; ++i)
            Step();
    }

    // The old music faded in its 21 steps and stopped in the frame that passed 2.01 s of game
    // time after the one in which the load that changed it was seen to end (the fade waits
    // for the load).
    void ExpectFadedOverTwoSeconds()
    {
        EXPECT_FALSE(old->playing) << "the old music plays on at volume "
                                   << (old->volumes.empty() ? 1.0f : old->volumes.back());
        EXPECT_GE(stoppedAt, 2.01f - 1e-4f) << "the fade lasts two seconds, however long the load was";
        EXPECT_LE(stoppedAt, 2.01f + dt + 1e-4f);
        EXPECT_EQ(old->VolumeCount(), 23u) << "21 fade steps, then 0 and back to 1 around the stop";
    }
};

}  // namespace

// A menu that changes the music is left after a few frames or after more than a second,
// for a state that plays the menu's music again or plays none.
TEST_F(MusicAcrossLoadsTest, TheMusicBeforeAMenuLeftSoonStopsTwoSecondsAfterTheChange)
{
    const struct {
        float menuSeconds;
        bool mapPlaysTheMenusMusic;
    } rows[] = {{0.05f, true}, {0.05f, false}, {1.5f, true}, {1.5f, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string("menu left after ") + std::to_string(row.menuSeconds) + " s, map " +
                     (row.mapPlaysTheMenusMusic ? "plays the menu's music" : "plays none"));
        const std::shared_ptr<Stream> menuMusic = Named("menu.ogg");
        Write("States/menu.lua", PlaysMusic("menu.ogg"));
        Write("States/map.lua", row.mapPlaysTheMenusMusic ? PlaysMusic("menu.ogg") : std::string("Done = true\n"));
        PlayOldThenEnter("menu");
        StepFor(row.menuSeconds);
        EXPECT_TRUE(old->playing) << "fading";
        app.SetCurrentGameState(State("map"), false);
        RunOn();
        ExpectFadedOverTwoSeconds();
        EXPECT_TRUE(menuMusic->playing);
        EXPECT_EQ(menuMusic->VolumeCount(), 0u) << "the new music plays at full volume";
        EndRun();
    }
}

// A state that changes the music and moves on at once: in its first frame, or by asking
// for the next state during its own load (two loads in a row).
TEST_F(MusicAcrossLoadsTest, TheMusicBeforeAStateThatMovesOnAtOnceStopsTwoSecondsAfterTheChange)
{
    const struct {
        const char* when;
        const char* movesOn;
    } rows[] = {
        {"in its first frame",
         "function Go() GameStateSystem():ChangeState('map') end GameStateSystem():SetUpdaterFunctionName('Go')\n"},
        {"during its own load", "GameStateSystem():ChangeState('map')\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.when);
        const std::shared_ptr<Stream> newMusic = Named("other.ogg");
        Write("States/other.lua", PlaysMusic("other.ogg") + row.movesOn);
        Write("States/map.lua", "Done = true\n");
        PlayOldThenEnter("other");
        EXPECT_GT(loadSeconds, 2.01f) << "a load longer than the fade";
        RunOn();
        std::shared_ptr<GameCore::GameState> current;
        ASSERT_TRUE(app.GetCurrentGameState(current));
        EXPECT_EQ(current->GetStateName(), "map");
        ExpectFadedOverTwoSeconds();
        EXPECT_TRUE(newMusic->playing);
        EXPECT_EQ(newMusic->VolumeCount(), 0u) << "the new music plays at full volume";
        EndRun();
    }
}

// A fade's clock starts with the frame after the change, at 4 and at 60 frames a second: no
// step comes in the change's own frame, the first comes in the first frame past 0.01 s, and
// the old music stops in the frame that passes 2.01 s, never before. For a change the state
// being entered makes on the loader thread, the change's frame is the one in which the main
// thread sees the load end.
TEST_F(MusicAcrossLoadsTest, AFadeCountsFromTheFrameAfterTheChange)
{
    enum class By { StatesFrame, LoadingScreen, StatesLoad };
    const struct {
        const char* name;
        By by;
        const char* otherScript;
    } changes[] = {
        {"in a frame of the current state", By::StatesFrame,
         "Played = 0\n"
         "function Go()\n"
         "  Played = Played + 1\n"
         "  if Played == 3 then local m = SoundStream() m:Load('new.ogg') m:SetIsMusic(1) m:Play(1) end\n"
         "end\n"
         "GameStateSystem():SetUpdaterFunctionName('Go')\n"},
        {"in a frame of the loading screen", By::LoadingScreen, "Done = true\n"},
        {"by the state being entered, during its load", By::StatesLoad,
         "local m = SoundStream() m:Load('new.ogg') m:SetIsMusic(1) m:Play(1)\n"},
    };
    for (const float fps : {4.0f, 60.0f}) {
        for (const auto& change : changes) {
            SCOPED_TRACE(std::string(change.name) + " at " + std::to_string(static_cast<int>(fps)) +
                         " frames a second");
            dt = 1.0f / fps;
            const std::shared_ptr<Stream> newMusic = Named("new.ogg");
            Write("Loading/SystemState.lua",
                  LoadingScreen("", "  if Frames == ChangeOnFrame then\n"
                                    "    local m = SoundStream() m:Load('new.ogg') m:SetIsMusic(1) m:Play(1)\n"
                                    "  end"));
            Write("States/other.lua", change.otherScript);
            PlayOldThenAskFor("other");
            // The load's second frame.
            if (change.by == By::LoadingScreen)
                RunSystem("ChangeOnFrame = Frames + 2");

            bool changed = false;
            double since = 0.0;
            double firstStepAt = -1.0;
            double stopAt = -1.0;
            for (int i = 0; i < 100000 && since < 3.0; ++i) {
                const int loadingFramesBefore = LoadingFrames();
                Frame(dt);
                if (!changed) {
                    changed = change.by == By::StatesLoad ? LoadingFrames() == loadingFramesBefore
                                                          : newMusic->playing.load();
                    // The count holds every step so far: none before the change either.
                    if (changed) {
                        EXPECT_EQ(old->VolumeCount(), 0u) << "a fade step in the change's frame";
                    }
                    continue;
                }
                since += dt;
                if (firstStepAt < 0.0 && old->VolumeCount() > 0)
                    firstStepAt = since;
                if (stopAt < 0.0 && !old->playing)
                    stopAt = since;
            }
            ASSERT_TRUE(changed);
            EXPECT_TRUE(newMusic->playing);
            EXPECT_GE(firstStepAt, 0.01 - 1e-4);
            EXPECT_LT(firstStepAt, 0.01 + dt) << "the first step waits past the first frame after 0.01 s";
            EXPECT_GE(stopAt, 2.01 - 1e-4) << "stopped before 2.01 s";
            EXPECT_LT(stopAt, 2.01 + dt + 1e-4) << "stopped later than the frame that passed 2.01 s";
            EXPECT_EQ(old->VolumeCount(), 23u) << "21 fade steps, then 0 and back to 1 around the stop";
            EndRun();
        }
    }
}

// A start-up script that sets the global animation speed (a game ending a pause) writes it
// on the loader thread while every loading frame reads it.
TEST_F(LoadingScreenSharingThreadsTest, TheEnteringStateSetsTheAnimationSpeedWhileLoadingFramesDraw)
{
    const int frames = Load(SystemStateScript(),
                            "local s = GameStateSystem()\n"
                            "for i = 1, 100000 do s:SetGlobalAnimationSpeed(1 + i % 3) end\n"
                            "s:SetGlobalAnimationSpeed(2)\n"
                            "Ticks = 0 function Count(dt) Ticks = Ticks + dt end s:SetUpdaterFunctionName('Count')\n");
    EXPECT_GT(frames, 0);
    const std::string before = LuaGlobal(CurrentInterpreter(), "Ticks");
    Frame(0.25f);
    EXPECT_EQ(std::stod(LuaGlobal(CurrentInterpreter(), "Ticks")) - std::stod(before), 0.5)
        << "the speed the state set last scales its frames";
    app.SetGlobalAnimationSpeed(1.0f);
}

namespace {

// Reads in its draw what the back-end's sprite reads: position, priority, texture rectangle
// and the texture's size.
class DrawnSprite : public EngineCore::Sprite {
public:
    void Render() override
    {
        float x = 0, y = 0, w = 0, h = 0;
        GetTextureRect(x, y, w, h);
        const EngineCore::Texture* texture = GetTextureObject();
        drawn += GetPositionX() + GetPositionY() + GetPriority() + w + h + (IsVisible() ? 1.0f : 0.0f) +
                 (texture ? static_cast<float>(texture->GetWidth() + texture->GetHeight()) : 0.0f);
    }
    float drawn = 0.0f;
};

// One side's calls, `i` its running count, `side` 1 for the loading screen and 2 for the
// entering state. Each side's last values are kept in globals: LastX, LastPriority,
// LastSound, LastMusic, LastShared, LastOwn.
std::string StressCalls(const std::string& side)
{
    return "  local g = GameStateSystem()\n"
           "  local p = PropertySystem()\n"
           "  local n = i % 4 + 1\n"
           "  if i % 10 == 0 then\n"
           "    LastSound = " + side + " * 0.25 + (i % 100) * 0.001 g:SetSoundVolume(LastSound)\n"
           "    LastMusic = " + side + " * 0.25 + (i % 100) * 0.001 g:SetMusicVolume(LastMusic)\n"
           "    Heard = g:GetSoundVolume() + g:GetMusicVolume()\n"
           "  end\n"
           "  if i % 50 == 0 then\n"
           "    local m = SoundStream() m:Load('side" + side + "-' .. (i % 100) .. '.ogg') m:SetIsMusic(1) m:Play(1)\n"
           "  end\n"
           "  if " + side + " == 1 then LastShared = i else LastShared = 'L' .. i end\n"
           "  p:SetValue('Stress.Shared', LastShared)\n"
           "  LastOwn = i p:SetValue('Stress.Own" + side + "', i)\n"
           "  Read = p:GetValue('Stress.Shared')\n"
           "  local s = Sprite() s:SetName('Stress.Sprite.' .. n)\n"
           "  LastX[n] = " + side + " * 100000 + i s:SetPosition(LastX[n], " + side + ")\n"
           "  LastPriority[n] = " + side + " * 10 + i % 7 s:SetPriority(LastPriority[n])\n"
           "  s:Show()\n"
           "  s:SetTexture('Stress.Texture.' .. ((i + " + side + ") % 3 + 1))\n"
           "  s:SetFullTextureRect()\n";
}

class SharedCallsStressTest : public LoadingScreenSharingThreadsTest {
protected:
    void SetUp() override
    {
        LoadingScreenSharingThreadsTest::SetUp();
        EngineCore::ResourceFactory& factory = EngineCore::ResourceFactory::Instance();
        factory.RegisterResourceCreator(EngineCore::Resource::RT_SPRITE, [] { return std::make_shared<DrawnSprite>(); });
        factory.RegisterResourceCreator(EngineCore::Resource::RT_SOUND_STREAM, [] { return std::make_shared<Stream>(); });
        // Each texture of its own size, whichever thread makes it first.
        factory.RegisterResourceCreator(EngineCore::Resource::RT_TEXTURE, [this] {
            const unsigned k = ++texturesMade;
            return std::make_shared<TestSupport::SizedTexture>(16 * k, 8 * k + 1);
        });
    }

    void TearDown() override
    {
        EngineCore::ResourceFactory::Instance().UnregisterResourceCreator(EngineCore::Resource::RT_SOUND_STREAM);
        LoadingScreenSharingThreadsTest::TearDown();
    }

    std::atomic<unsigned> texturesMade{0};
};

// A global of one side, as a number.
double NumberOf(lua_State* state, const std::string& expression)
{
    EXPECT_EQ(luaL_dostring(state, ("StressValue = " + expression).c_str()), 0);
    return std::stod(LuaGlobal(state, "StressValue"));
}

std::string TextOf(lua_State* state, const std::string& expression)
{
    EXPECT_EQ(luaL_dostring(state, ("StressValue = " + expression).c_str()), 0);
    return LuaGlobal(state, "StressValue");
}

}  // namespace

// The loading screen (main thread) and the entering state (loader thread) make the same
// engine-wide calls many times during one load: volumes while a music fade runs, a property
// both set and one of each's own, profile saves, sprites bound by the same names (which the
// loading frames draw), and music changes. No call may meet the other thread's unguarded, and
// every value read back after the load is whole: the last one that one of the two sides
// wrote, the same in the engine, the profile and the profiles file.
TEST_F(SharedCallsStressTest, BothSidesOfALoadMakeTheSameEngineWideCalls)
{
    const int frames = Load(
        LoadingScreen("LastX = {} LastPriority = {} Calls = 0\n"
                      // Made by the loading screen, so filed under it and drawn by every loading frame.
                      "for n = 1, 4 do local s = Sprite() s:SetName('Stress.Sprite.' .. n) s:Show() end\n"
                      "local first = SoundStream() first:Load('first.ogg') first:SetIsMusic(1) first:Play(1)\n",
                      "  for k = 1, 20 do\n"
                      "    Calls = Calls + 1 local i = Calls\n" +
                          StressCalls("1") +
                          "  end"),
        "LastX = {} LastPriority = {}\n"
        "ScreenCallsBefore = PropertySystem():GetValue('Stress.Own1')\n"
        // At least 1500 rounds, and on until the loading screen has made 100 calls meanwhile
        // (a busy machine may hold its frames back); bounded all the same.
        "for i = 1, 200000 do\n" +
            StressCalls("2") +
            "  if i >= 1500 and PropertySystem():GetValue('Stress.Own1') >= ScreenCallsBefore + 100 then break end\n"
            "end\n"
            "ScreenCallsAfter = PropertySystem():GetValue('Stress.Own1')\n"
            "Done = true\n");
    ASSERT_GT(frames, 1);
    lua_State* loaded = CurrentInterpreter();
    lua_State* screen = System();
    ASSERT_EQ(LuaGlobal(loaded, "Done"), "true");
    EXPECT_GE(NumberOf(loaded, "ScreenCallsAfter"), NumberOf(loaded, "ScreenCallsBefore") + 100)
        << "the loading screen made its calls while the entering state made its own";

    // Volumes: the engine's, the selected profile's and the saved file's are one value, the
    // last one of the two sides set.
    std::shared_ptr<GameCore::Profile> selected;
    ASSERT_TRUE(GameCore::ProfileSystem::Instance().GetSelectedProfile(selected));
    const std::vector<float> lastSounds{static_cast<float>(NumberOf(screen, "LastSound")),
                                        static_cast<float>(NumberOf(loaded, "LastSound"))};
    const std::vector<float> lastMusic{static_cast<float>(NumberOf(screen, "LastMusic")),
                                       static_cast<float>(NumberOf(loaded, "LastMusic"))};
    const float sound = EngineCore::SoundSystem::Instance().GetVolume();
    const float music = EngineCore::MusicSystem::Instance().GetVolume();
    EXPECT_NE(std::find(lastSounds.begin(), lastSounds.end(), sound), lastSounds.end()) << sound;
    EXPECT_NE(std::find(lastMusic.begin(), lastMusic.end(), music), lastMusic.end()) << music;
    EXPECT_EQ(selected->soundVolume, sound) << "the profile keeps the volume the engine has";
    EXPECT_EQ(selected->musicVolume, music);

    // Properties: the shared one holds one side's last value with its own type; each side's
    // own holds its last.
    GameCore::PropertySystem& properties = GameCore::PropertySystem::Instance();
    const std::shared_ptr<GameCore::Property> shared = properties.GetPropertyByName("Stress.Shared");
    std::string text;
    float number = 0.0f;
    if (shared->GetValue(text)) {
        EXPECT_EQ(text, TextOf(loaded, "LastShared"));
    } else {
        ASSERT_TRUE(shared->GetValue(number));
        EXPECT_EQ(number, static_cast<float>(NumberOf(screen, "LastShared")));
    }
    for (const auto& own : {std::make_pair("Stress.Own1", screen), std::make_pair("Stress.Own2", loaded)}) {
        ASSERT_TRUE(properties.GetPropertyByName(own.first)->GetValue(number)) << own.first;
        EXPECT_EQ(number, static_cast<float>(NumberOf(own.second, "LastOwn"))) << own.first;
    }

    // The file the last save wrote loads back with every entry's type matching its value.
    std::ifstream file(GameCore::ProfileSystem::Instance().GetProfileFilePath(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    GameCore::ProfilesFileContents contents;
    ASSERT_EQ(GameCore::DecodeProfilesFile(bytes.data(), bytes.size(), contents), GameCore::ProfilesFileStatus::Ok);
    bool sawShared = false;
    for (const auto& record : contents.profiles) {
        if (record->id != selected->id)
            continue;
        EXPECT_EQ(record->soundVolume, sound);
        EXPECT_EQ(record->musicVolume, music);
        for (const std::string& entry : record->savedProperties) {
            const std::vector<std::string> parts = GameCore::Profile::StrToVec(entry, ":");
            if (parts.empty() || parts[0] != "Stress.Shared")
                continue;
            sawShared = true;
            ASSERT_EQ(parts.size(), 3u) << entry;
            if (parts[1] == "3")
                EXPECT_EQ(parts[2][0], 'L') << entry;
            else
                EXPECT_TRUE(parts[1] == "2" && parts[2].find_first_not_of("0123456789.") == std::string::npos)
                    << entry;
        }
    }
    EXPECT_TRUE(sawShared);

    // Sprites: each holds one side's last position and priority (never a mix), and its texture
    // rectangle is its texture's whole size.
    for (int n = 1; n <= 4; ++n) {
        std::shared_ptr<EngineCore::Resource> resource;
        ASSERT_TRUE(EngineCore::ResourceManager::Instance().GetResource("Stress.Sprite." + std::to_string(n),
                                                                        EngineCore::Resource::RT_SPRITE, resource));
        const auto& sprite = static_cast<const EngineCore::Sprite&>(*resource);
        const std::string at = "LastX[" + std::to_string(n) + "]";
        const std::string priority = "LastPriority[" + std::to_string(n) + "]";
        const float side = sprite.GetPositionY();
        ASSERT_TRUE(side == 1.0f || side == 2.0f) << side;
        lua_State* writer = side == 1.0f ? screen : loaded;
        EXPECT_EQ(sprite.GetPositionX(), static_cast<float>(NumberOf(writer, at))) << n;
        const float priorities[] = {static_cast<float>(NumberOf(screen, priority)),
                                    static_cast<float>(NumberOf(loaded, priority))};
        EXPECT_TRUE(sprite.GetPriority() == priorities[0] || sprite.GetPriority() == priorities[1]) << n;
        EXPECT_TRUE(sprite.IsVisible());
        const EngineCore::Texture* texture = sprite.GetTextureObject();
        ASSERT_NE(texture, nullptr);
        float x = 0, y = 0, w = 0, h = 0;
        sprite.GetTextureRect(x, y, w, h);
        EXPECT_EQ(w, static_cast<float>(texture->GetWidth())) << n;
        EXPECT_EQ(h, static_cast<float>(texture->GetHeight())) << n;
    }
}
