#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <string>
#include <vector>

#include "tests/e2e/gl/ImageCompare.h"
#include "tests/e2e/gl/KeldryProcess.h"
#include "tests/e2e/gl/LoadingScripts.h"
#include "tests/support/TempFolder.h"

using namespace E2E;

namespace {

const char* const kFatalStart = "\n\n*** FatalError: ";

// A small game whose loading screen and states write probe lines to the log: a sprite
// logs its name when it is made.
const char* const kProbeSystemState =
    "SystemLogic = { CursorAnimation = {} }\n"
    "Loading = { LoadingBar = {} }\n"
    "PageFX = {}\n"
    "Probe = { loads = 0, frames = 0 }\n"
    "SystemLogic.CursorAnimation.player = AnimationPlayer()\n"
    "SystemLogic.CursorAnimation.player:SetName('SystemLogic.CursorAnimation.player')\n"
    "Loading.LoadingBar.AnimationPlayer = AnimationPlayer()\n"
    "Loading.LoadingBar.AnimationPlayer:SetName('Loading.LoadingBar.AnimationPlayer')\n"
    "function Probe.Mark(name) local s = Sprite(); s:SetName(name) end\n"
    "function SystemLogic.FirstLoading() end\n"
    "function Loading.StartMenuLoading() Probe.loads = Probe.loads + 1; Probe.frames = 0;"
    " Probe.Mark('Probe.LoadingStart.' .. Probe.loads) end\n"
    "function Loading.StartGameLoading() Loading.StartMenuLoading() end\n"
    "function Loading.StartPageFX() GameStateSystem():EndPageFx() end\n"
    "function Loading.Update() Probe.frames = Probe.frames + 1;"
    " if Probe.frames == 2 then Probe.Mark('Probe.LoadingFrame.' .. Probe.loads) end end\n";

const char* const kProbeStartup =
    "Application():SetStartupScript('Scripts/GameAPI.lua')\n"
    "local m = GameState(); m:SetName('menu'); m:SetStartupScript('States/Menu.lua')\n"
    "local g = GameState(); g:SetName('game'); g:SetStartupScript('States/Game.lua')\n"
    "Application():SetCurrentGameState('menu')\n";

// The menu runs `onFrame` on its third frame; the game quits on its third frame.
std::string ProbeMenu(const std::string& onThirdFrame)
{
    return "Frames = 0\n"
           "function OnFrame() Frames = Frames + 1; if Frames == 3 then " +
           onThirdFrame +
           " end end\n"
           "GameStateSystem():SetUpdaterFunctionName('OnFrame')\n";
}

const char* const kProbeGame =
    "do local s = Sprite(); s:SetName('Probe.GameEntered') end\n"
    "Frames = 0\n"
    "function OnFrame() Frames = Frames + 1; if Frames == 3 then GameStateSystem():Quit() end end\n"
    "GameStateSystem():SetUpdaterFunctionName('OnFrame')\n";

class KeldryRunTest : public ::testing::Test {
protected:
    KeldryProcess keldry;
    TestSupport::TempFolder game;

    void WriteProbeGame(const std::string& menu)
    {
        WriteLoadingScripts(game, kProbeSystemState, kProbeStartup);
        game.WriteFile("Base/States/Menu.lua", menu);
        game.WriteFile("Base/States/Game.lua", kProbeGame);
    }
};

}  // namespace

TEST_F(KeldryRunTest, TheDemoRunsFromItsMenuIntoTheGameAndMatchesItsLastFrame)
{
    // Settings of the demo made short and frame-exact for this run.
    WriteReplacement(keldry.home, "override/Scripts/Settings.lua",
                     "Settings = { menuFrames = 30, quitAfterFrames = 60, fixedStep = 1 / 60 }\n",
                     std::string(DEMO_GAME_DIR) + "/Base/Scripts/Settings.lua");
    const std::string snapshot = keldry.home / "last.bmp";
    keldry.environment = {{"KELDRY_TEST_SNAPSHOT", snapshot}, {"KELDRY_TEST_FIXED_DELTA", "0.0166666675"}};
    const RunResult run =
        keldry.Run(DEMO_GAME_DIR, {"-resource", "Base", "-resource", keldry.home / "override", "-windowed"});
    ASSERT_EQ(run.status, 0) << run.stderrText << run.log;
    EXPECT_EQ(run.log.find("FatalError"), std::string::npos) << run.log;

    std::string missing;
    EXPECT_TRUE(HasLinesInOrder(run.log,
                                {
                                    "LuaScriptEngine::RunFile (Loading/SystemState.lua).",
                                    // From the pack "Loading.resources".
                                    "Texture_Load (Loading/LoadingScreen.png)...ok",
                                    "LuaScriptEngine::RunFile (Loading/Scripts/Startup.lua).",
                                    "LuaScriptEngine::RunFile (States/Menu.lua).",
                                    "Sprite_Create (Menu.Background)...ok",
                                    "Texture_Load (Textures/MenuBackground.png)...ok",
                                    // From the pack "Sprites.resources".
                                    "Texture_Load (Textures/Ball.png)...ok",
                                    "LuaScriptEngine::RunFile (States/Game.lua).",
                                    "Texture_Load (Textures/GameBackground.png)...ok",
                                    "Sprite_Create (Game.Ball8)...ok",
                                },
                                missing))
        << "missing: " << missing << "\n"
        << run.log;

    Image last, golden;
    ASSERT_TRUE(LoadImage(snapshot, last));
    const std::string goldenPath = std::string(E2E_DATA_DIR) + "/DemoLastFrame.png";
    if (std::getenv("E2E_UPDATE_GOLDEN")) {
        ASSERT_TRUE(SavePng(goldenPath, last));
    }
    ASSERT_TRUE(LoadImage(goldenPath, golden));
    const int difference = LargestChannelDifference(last, golden);
    EXPECT_GE(difference, 0) << "size " << last.width << "x" << last.height;
    EXPECT_LE(difference, 8);
}

TEST_F(KeldryRunTest, TheMenuToGameSwitchLoadsOnTheLoaderThreadBehindTheLoadingScreen)
{
    WriteProbeGame(ProbeMenu("GameStateSystem():ChangeState('game')"));
    const auto start = std::chrono::steady_clock::now();
    const RunResult run = keldry.Run(game.Path(), {"-resource", "Base", "-windowed"});
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_EQ(run.status, 0) << run.stderrText << run.log;
    std::string missing;
    EXPECT_TRUE(HasLinesInOrder(run.log,
                                {
                                    "Sprite_Create (Probe.LoadingStart.1)...ok",
                                    "LuaScriptEngine::RunFile (States/Menu.lua).",
                                    "Sprite_Create (Probe.LoadingStart.2)...ok",
                                    "LuaScriptEngine::RunFile (States/Game.lua).",
                                    "Sprite_Create (Probe.GameEntered)...ok",
                                },
                                missing))
        << "missing: " << missing << "\n"
        << run.log;
    // The loading screen kept running while "game" loaded; a switch without the page
    // effect keeps it up for two seconds.
    EXPECT_NE(run.log.find("Sprite_Create (Probe.LoadingFrame.2)...ok"), std::string::npos) << run.log;
    EXPECT_GE(seconds, 2.0);
    EXPECT_EQ(run.stderrText.find("FatalError"), std::string::npos) << run.stderrText;
}

// The state being loaded installs the screen-settings hook, then changes the screen
// settings (itself and by selecting a profile) while it keeps the loader thread busy in
// its interpreter. The changes apply when the load ends, and the hook then runs once on the
// main thread, in the loaded state: never beside the loader in its interpreter (a fatal
// error), never before the state's script has ended.
TEST_F(KeldryRunTest, TheScreenSettingsHookRunsInTheLoadedStateAfterTheLoad)
{
    WriteLoadingScripts(game, kBareSystemState, kMenuStartup);
    game.WriteFile("Base/States/Menu.lua",
                   "local p = ProfileSystem()\n"
                   "p:SetSelectedProfileId(p:CreateNewProfile())\n"
                   "local g = GUISystem()\n"
                   "g:SetupScreenSettingsUpdater('#Debugger():ShowValue(\"hook\", LoadDone == true)')\n"
                   "g:SetScreenSettings(32, 800, 600, 1, 0)\n"
                   "g:SetScreenSettings(32, 800, 600, 1, 1)\n"
                   "Busy = 0\n"
                   "for i = 1, 5000000 do Busy = Busy + 1 end\n"
                   "g:SetScreenSettings(32, 800, 600, 1, 0)\n"
                   "LoadDone = true\n"
                   "local quitIn = 0.5\n"
                   "function Tick(dt) quitIn = quitIn - dt if quitIn < 0 then GameStateSystem():Quit() end end\n"
                   "GameStateSystem():SetUpdaterFunctionName('Tick')\n");
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        const RunResult result = keldry.Run(game.Path(), {"-resource", "Base", "-windowed"});
        ASSERT_EQ(result.status, 0) << result.stderrText << result.log;
        EXPECT_EQ(result.stderrText.find("FatalError"), std::string::npos) << result.stderrText;
        const std::string head = "*** DebugWrapper::ShowValue: hook\n";
        const size_t first = result.log.find(head);
        ASSERT_NE(first, std::string::npos) << "the hook never ran\n" << result.log;
        EXPECT_EQ(result.log.find(head, first + 1), std::string::npos) << "the hook ran more than once\n" << result.log;
        const size_t value = result.log.find("Value data: ", first);
        EXPECT_EQ(result.log.substr(value, result.log.find('\n', value) - value), "Value data: true")
            << "the hook ran before the state's script ended\n" << result.log;
    }
}

// Two data folders on the command line holding one script: the later date wins, by
// whole seconds, and "Base" takes back every tie when the first state loads.
TEST_F(KeldryRunTest, ASecondDataFolderReplacesAScriptOnlyWithALaterDate)
{
    const time_t base = TestSupport::UtcTime(2020, 1, 1, 12);
    struct Case {
        const char* what;
        time_t seconds;
        long nanoseconds;
        const char* winner;
        const char* loser;
    } cases[] = {
        {"a second later", base + 1, 0, "override", "base"},
        {"later within the same second", base, 900000000, "base", "override"},
        {"the same time", base, 0, "base", "override"},
        {"earlier", base - 60, 0, "base", "override"},
    };
    WriteProbeGame("GameStateSystem():RunScript('Scripts/Pick.lua')\nGameStateSystem():Quit()\n");
    game.WriteFile("Base/Scripts/Pick.lua", "do local s = Sprite(); s:SetName('Picked.base') end\n");
    game.SetModificationTime("Base/Scripts/Pick.lua", base);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        keldry.home.WriteFile("override/Scripts/Pick.lua", "do local s = Sprite(); s:SetName('Picked.override') end\n");
        keldry.home.SetModificationTime("override/Scripts/Pick.lua", c.seconds, c.nanoseconds);
        const RunResult run =
            keldry.Run(game.Path(), {"-resource", "Base", "-resource", keldry.home / "override", "-windowed"});
        ASSERT_EQ(run.status, 0) << run.stderrText << run.log;
        EXPECT_NE(run.log.find("Sprite_Create (Picked." + std::string(c.winner) + ")...ok"), std::string::npos)
            << run.log;
        EXPECT_EQ(run.log.find("Sprite_Create (Picked." + std::string(c.loser) + ")"), std::string::npos) << run.log;
    }
}

TEST_F(KeldryRunTest, AScriptErrorEndsTheRunWithStatusOneNamingTheFileAndLine)
{
    struct Case {
        const char* name;
        std::string menu;
        const char* place;
        const char* logLine;  // a further line the log holds before the error, if any
    };
    const Case cases[] = {
        {"in a frame", ProbeMenu("NoSuchFunction()"), "States/Menu.lua:2: attempt to call global 'NoSuchFunction'", nullptr},
        {"while the file runs", "Frames = 0\n-- The menu's own words stay out of the error.\nNoSuchFunction()\n",
         "States/Menu.lua:3: attempt to call global 'NoSuchFunction'", nullptr},
        {"a missing picture", "Frames = 0\nlocal s = Sprite(); s:SetName('Nope'); s:SetTexture('Textures/Nope.png')\n",
         "Resource (Textures/Nope.png) loading error.",
         "File (Textures/Nope.png) was looked for in the data folders (Base, "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteProbeGame(c.menu);
        const RunResult run = keldry.Run(game.Path(), {"-resource", "Base", "-windowed"});
        EXPECT_EQ(run.status, 1) << run.stderrText;
        const size_t at = run.log.find(kFatalStart);
        ASSERT_NE(at, std::string::npos) << run.log;
        EXPECT_NE(run.log.find(c.place, at), std::string::npos) << run.log;
        if (c.logLine) {
            const size_t line = run.log.find(c.logLine);
            EXPECT_LT(line, at) << run.log;
        }
        EXPECT_NE(run.stderrText.find(kFatalStart), std::string::npos) << run.stderrText;
        EXPECT_NE(run.stderrText.find(c.place), std::string::npos) << run.stderrText;
        EXPECT_EQ(run.stderrText.find("own words"), std::string::npos) << run.stderrText;
        EXPECT_NE(run.stderrText.find("Vexa.log"), std::string::npos) << run.stderrText;
    }
}

TEST_F(KeldryRunTest, ABadNumberEndsTheRunBeforeAnyWindowOrLog)
{
    // With no log at all, and with one an earlier run left behind: neither is this run's.
    for (const char* earlierLog : {"", "an earlier run\n"}) {
        SCOPED_TRACE(earlierLog);
        WriteProbeGame(ProbeMenu("GameStateSystem():Quit()"));
        if (*earlierLog)
            keldry.home.WriteFile("Documents/Vexa.log", earlierLog);
        const RunResult run = keldry.Run(game.Path(), {"-resource", "Base", "-width", "800px"});
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.stderrText.find("*** FatalError: bad lexical cast: source type value could not be interpreted "
                                      "as target"),
                  std::string::npos)
            << run.stderrText;
        EXPECT_EQ(run.log, earlierLog);
        EXPECT_EQ(run.stderrText.find("Log file: "), std::string::npos) << run.stderrText;
    }
}

TEST_F(KeldryRunTest, AStopSignalEndsTheGameInOrderWithoutTheExitQuestion)
{
    for (const int signal : {SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        // A menu that never quits by itself.
        WriteProbeGame(ProbeMenu(""));
        keldry.stopSignal = signal;
        const RunResult run = keldry.Run(game.Path(), {"-resource", "Base", "-windowed"}, 60);
        EXPECT_EQ(run.status, 0) << run.stderrText;
        EXPECT_EQ(run.stderrText.find("You really want to quit?"), std::string::npos) << run.stderrText;
        EXPECT_EQ(run.stderrText.find("FatalError"), std::string::npos) << run.stderrText;
        // The shutdown ran to its end: the resources were freed and logged.
        EXPECT_NE(run.log.find("Sprite_Free (SystemLogic.TimerCursor)...ok"), std::string::npos) << run.log;
    }
}

TEST_F(KeldryRunTest, AWindowThatCannotOpenTellsItsCauseOnStderr)
{
    WriteProbeGame(ProbeMenu("GameStateSystem():Quit()"));
    const RunResult run = keldry.Run(game.Path(), {"-resource", "Base", "-windowed", "-width", "100000"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.stderrText.find("Invalid screen size 100000x768\n"), std::string::npos) << run.stderrText;
    EXPECT_NE(run.stderrText.find("HGEEngineWrapperApplication::Open() error."), std::string::npos) << run.stderrText;
    EXPECT_NE(run.stderrText.find("Log file: "), std::string::npos) << run.stderrText;
}
