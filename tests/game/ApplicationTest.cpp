#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/Input/DeviceManager.h"
#include "engine/Input/InputSystem.h"
#include "engine/System/SystemLogger.h"
#include "tests/support/TestLogWriter.h"

#include "tests/game/GameFlowHarness.h"

using namespace GameFlowTest;
using GameCore::GameState;

namespace {

struct CountingDevices : EngineCore::DeviceManager {
    int updates = 0;
    void Update(float) override { ++updates; }
};

}  // namespace

using ApplicationTest = Harness;

TEST_F(ApplicationTest, StartUpMountsThePackEntersSystemAndRunsTheStartupScript)
{
    Start({"menu", "game"}, "");
    // The pre-start-up script is found only in the pack that PreInit mounts.
    EngineCore::FileInfo info;
    EXPECT_TRUE(EngineCore::FileSystem::Instance().GetFileInfo("PreStartup.lua", info));

    std::shared_ptr<GameState> system;
    app.GetSystemGameState(system);
    ASSERT_TRUE(system);
    EXPECT_EQ(system->GetStateName(), "system");
    EXPECT_EQ(EngineCore::RenderSystem::Instance().GetCurrentGameState(), "system");
    // The system state's own script ran, without the game API.
    EXPECT_EQ(LuaGlobal(System(), "Frames"), "0");
    EXPECT_EQ(LuaGlobal(System(), "GameApiRuns"), "nil");
    // The start-up script made both states and selected none.
    EXPECT_TRUE(State("menu"));
    EXPECT_TRUE(State("game"));
    std::shared_ptr<GameState> current;
    EXPECT_FALSE(app.GetCurrentGameState(current));
    EXPECT_FALSE(app.IsWaiting());
}

TEST_F(ApplicationTest, StartupScriptsKnowOnlyTheirTwoClasses)
{
    Write("Probe.lua",
          "Probe = GameState ~= nil and Application ~= nil and Sprite == nil and Timer == nil\n"
          "if not Probe then this_fails() end\n");
    Start({}, "");
    EXPECT_TRUE(app.RunScript("Probe.lua"));
    // A game state's interpreter knows neither of them.
    EXPECT_TRUE(RunSystem("if GameState ~= nil or Application ~= nil then this_fails() end"));
}

TEST_F(ApplicationTest, MissingScriptsFailWithTheEngineText)
{
    Start({}, "");
    EXPECT_EQ(ErrorOf([&] { app.RunScript("Nowhere.lua"); }),
              "File: \"ScriptEngine\\LuaScriptEngine\\LuaScriptEngine.cpp\"\nLine: 129\n\n"
              "Error: File (Nowhere.lua) not fond.");
    // "RunScript" of the "Application" class skips a missing file and goes on.
    Write("Outer.lua", "Application():RunScript('Nowhere.lua')\nGameState():SetName('after')\n");
    EXPECT_TRUE(app.RunScript("Outer.lua"));
    EXPECT_TRUE(State("after"));
}

// Each nested start-up file opens an interpreter of its own, so the interpreter's own
// call limit never stops a file that runs itself: the application stops it at 64.
TEST_F(ApplicationTest, AStartupFileThatRunsItselfStopsAtTheNestingLimit)
{
    Start({}, "");
    std::vector<std::string> lines;
    TestSupport::InstallLogWriter([&](const char* text) { lines.push_back(text); });
    Write("Self.lua", "Application():RunScript('Self.lua')\n");
    EXPECT_TRUE(app.RunScript("Self.lua"));
    EngineCore::SystemLogger::Instance().SetLogger(nullptr);
    EXPECT_EQ(64, std::count(lines.begin(), lines.end(), "LuaScriptEngine::RunFile (Self.lua)."));
    EXPECT_EQ(1, std::count(lines.begin(), lines.end(),
                            "Application::RunScript (Self.lua) skipped: start-up scripts nested too deep."));
    // The limit is on nesting, not on the number of files run.
    EXPECT_TRUE(app.RunScript("Self.lua"));
}

TEST_F(ApplicationTest, CreateGameStateRefusesAnExistingName)
{
    Start({"menu"}, "");
    std::shared_ptr<GameState> held = State("menu");
    std::shared_ptr<GameState> out = held;
    EXPECT_FALSE(app.CreateGameState("menu", out));
    EXPECT_EQ(out, held);
    // Two script objects with one name: the second holds nothing, and its script setter
    // raises instead of changing the state the first one made.
    // Named "map", which plays the page effect and so loads without the two-second minimum.
    Write("Twice.lua",
          "local a = GameState(); a:SetName('map'); a:SetStartupScript('States/alpha.lua')\n"
          "local b = GameState(); b:SetName('map')\n"
          "Application():SetCurrentGameState('map')\n");
    EXPECT_TRUE(app.RunScript("Twice.lua"));
    FinishLoad();
    lua_State* twice = CurrentInterpreter();
    EXPECT_EQ(LuaGlobal(twice, "Visits"), "1");
    const std::string notInitialized = "File: \"Wrappers\\GameStateWrapper.cpp\"\nLine: 39\n\n"
                                       "Error: Game state is not initialized. First call - SetName().";
    Write("TwiceScript.lua", "local b = GameState(); b:SetName('map'); b:SetStartupScript('States/broken.lua')\n");
    EXPECT_EQ(ErrorOf([&] { app.RunScript("TwiceScript.lua"); }), notInitialized);
    Write("Unnamed.lua", "GameState():SetStartupScript('States/broken.lua')\n");
    EXPECT_EQ(ErrorOf([&] { app.RunScript("Unnamed.lua"); }), notInitialized);
}

TEST_F(ApplicationTest, StartupScriptNamesEndAtTheirFirstZeroByte)
{
    Start({}, "");
    // "map" plays the page effect: no two-second minimum.
    Write("Cut.lua",
          "local s = GameState(); s:SetName('map\\0tail'); s:SetStartupScript('States/alpha.lua\\0.bak')\n"
          "Application():SetCurrentGameState('map\\0other')\n");
    EXPECT_TRUE(app.RunScript("Cut.lua"));
    EXPECT_TRUE(State("map"));
    FinishLoad();
    EXPECT_EQ(LuaGlobal(CurrentInterpreter(), "Visits"), "1");
}

TEST_F(ApplicationTest, SelectingAnUnknownStateAtStartUpFails)
{
    Write("Startup.lua", StartupScript({"menu"}, "nothing"));
    Prepare();
    EXPECT_EQ(ErrorOf([&] { app.Init("Startup.lua"); }),
              "File: \"Base\\Application.cpp\"\nLine: 406\n\n"
              "Error: Error[StartCurrentStateChanging]: next game state is empty.");
}

TEST_F(ApplicationTest, NothingButTheLoadingScreenRunsDuringALoad)
{
    Start({"menu", "other"}, "other");
    ASSERT_TRUE(AwaitLoadStart());
    std::shared_ptr<GameState> other = State("other");
    int ticks = 0;
    other->SetUpdaterFunction([&](float) { ++ticks; });
    std::shared_ptr<CountingDevices> devices = std::make_shared<CountingDevices>();
    EngineCore::InputSystem::Instance().SetDeviceManager(devices);
    int loadingFrames = 0;
    while (app.IsWaiting() && loadingFrames < 600) {
        EXPECT_FALSE(Frame());
        ++loadingFrames;
    }
    EXPECT_EQ(ticks, 0);
    // The load may end between the test's check and the frame's own.
    EXPECT_LE(devices->updates, 1);
    EXPECT_GT(loadingFrames, 2);
    // Each loading frame ran the loading screen's update instead.
    EXPECT_GE(std::stoi(LuaGlobal(System(), "Frames")), loadingFrames - 1);
    const int before = ticks;
    Frame();  // the end of the load: the cursor gets its sprite back
    EXPECT_EQ(ticks, before);
    Frame();
    EXPECT_EQ(ticks, before + 1);
    EngineCore::InputSystem::Instance().SetDeviceManager(nullptr);
}

TEST_F(ApplicationTest, QuitEndsTheGameBeforeAPendingSwitch)
{
    Start({"menu", "game"}, "menu");
    FinishLoad();
    app.SetCurrentGameState(State("game"), false);
    app.Quit();
    EXPECT_TRUE(Frame());
    std::shared_ptr<GameState> current;
    ASSERT_TRUE(app.GetCurrentGameState(current));
    EXPECT_EQ(current->GetStateName(), "menu");
    EXPECT_FALSE(app.IsWaiting());
}

TEST_F(ApplicationTest, QuitDuringAFrameEndsThatFrame)
{
    Start({"menu"}, "menu");
    FinishLoad();
    State("menu")->SetUpdaterFunction([&](float) { app.Quit(); });
    EXPECT_TRUE(Frame());
}

TEST_F(ApplicationTest, PendingRemovalLeavesAndErasesTheStateOnTheNextFrame)
{
    Start({"menu", "other"}, "menu");
    FinishLoad();
    std::shared_ptr<GameState> menu = State("menu");
    int ticks = 0;
    menu->SetUpdaterFunction([&](float) { ++ticks; });
    app.RemoveGameState(menu, false);
    EXPECT_TRUE(State("menu"));
    EXPECT_TRUE(menu->RunScriptString("x = 1"));
    Frame();
    EXPECT_FALSE(State("menu"));
    EXPECT_EQ(ticks, 0);
    // Left: the interpreter is gone.
    EXPECT_FALSE(menu->RunScriptString("x = 1"));
}

TEST_F(ApplicationTest, WithoutACurrentStateTheFirstNameOtherThanSystemIsSelected)
{
    // Both play the page effect: no two-second minimum.
    Start({"menu", "map"}, "");
    Frame();
    std::shared_ptr<GameState> current;
    ASSERT_TRUE(app.GetCurrentGameState(current));
    EXPECT_EQ(current->GetStateName(), "map");
    FinishLoad();
}

TEST_F(ApplicationTest, OnlyTheSystemStateLeftSelectsNothing)
{
    Start({}, "");
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(Frame());
    std::shared_ptr<GameState> current;
    EXPECT_FALSE(app.GetCurrentGameState(current));
    EXPECT_FALSE(app.IsWaiting());
}

TEST_F(ApplicationTest, ReleaseClosesEveryStateAndEmptiesTheSlots)
{
    Start({"menu", "game"}, "menu");
    FinishLoad();
    std::shared_ptr<GameState> menu = State("menu");
    std::shared_ptr<GameState> game = State("game");
    app.Release();
    released = true;
    EXPECT_FALSE(menu->RunScriptString("x = 1"));
    EXPECT_FALSE(game->RunScriptString("x = 1"));
    EXPECT_FALSE(State("menu"));
    std::shared_ptr<GameState> slot;
    app.GetSystemGameState(slot);
    EXPECT_FALSE(slot);
    EXPECT_FALSE(app.GetCurrentGameState(slot));
    EXPECT_FALSE(EngineCore::GUISystem::Instance().GetCursorResource());
}
