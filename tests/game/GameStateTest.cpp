#include <stdexcept>

#include "game/Logic/GameLogic.h"
#include "game/Logic/Timer.h"
#include "game/Logic/TimerStorage.h"
#include "tests/game/GameFlowHarness.h"

using namespace GameFlowTest;
using GameCore::GameState;

namespace {

std::string StateError(int line, const std::string& message)
{
    return "File: \"Base\\GameState.cpp\"\nLine: " + std::to_string(line) + "\n\nError: " + message;
}

}  // namespace

using GameStateTest = Harness;

TEST_F(GameStateTest, ReenteringMakesAFreshInterpreterAndRunsTheGameApiAgain)
{
    Start({"menu", "map"}, "menu");
    FinishLoad();
    std::shared_ptr<GameState> menu = State("menu");
    lua_State* first = CurrentInterpreter();
    EXPECT_EQ(LuaGlobal(first, "GameApiRuns"), "1");
    EXPECT_EQ(LuaGlobal(first, "SeenApi"), "1");  // the game API ran before the state's own script
    EXPECT_TRUE(menu->RunScriptString("Leftover = 'first visit'"));

    app.SetCurrentGameState(State("map"), false);
    FinishLoad();
    // Left: no interpreter, so script texts do nothing.
    EXPECT_FALSE(menu->RunScriptString("Leftover = 'while away'"));
    EXPECT_FALSE(menu->RunScript("States/menu.lua"));

    app.SetCurrentGameState(menu, false);
    FinishLoad();
    lua_State* second = CurrentInterpreter();
    EXPECT_EQ(LuaGlobal(second, "Leftover"), "nil");
    EXPECT_EQ(LuaGlobal(second, "Visits"), "1");
    EXPECT_EQ(LuaGlobal(second, "GameApiRuns"), "1");
}

TEST_F(GameStateTest, TheGameApiRunsOnlyForOrdinaryStatesWithALongEnoughPath)
{
    const struct {
        const char* state;
        const char* gameApi;
        const char* runs;
    } cases[] = {
        {"other", "Base/Scripts/GameAPI.lua", "1"},
        {"other", "x", "nil"},
        {"other", "", "nil"},
        {"intro", "Base/Scripts/GameAPI.lua", "nil"},
    };
    Start({"other", "intro"}, "");
    for (const auto& c : cases) {
        app.SetStartupScript(c.gameApi);
        std::shared_ptr<GameState> state = State(c.state);
        ASSERT_TRUE(state) << c.state;
        state->OnEnter();
        EXPECT_EQ(LuaGlobal(CurrentInterpreter(), "GameApiRuns"), c.runs) << c.state << " " << c.gameApi;
        EXPECT_EQ(LuaGlobal(CurrentInterpreter(), "Visits"), "1");
        state->OnLeave();
    }
    // Nor did the "system" state run it when it was entered.
    EXPECT_EQ(LuaGlobal(System(), "GameApiRuns"), "nil");
}

TEST_F(GameStateTest, AFrameRunsTimersAndTheUpdaterOnlyWhileTheInterpreterIsOpen)
{
    Start({"menu", "map"}, "menu");
    FinishLoad();
    std::shared_ptr<GameState> menu = State("menu");
    std::shared_ptr<GameCore::Timer> timer = menu->GetGameLogic().GetTimerStorage().CreateTimer();
    int fired = 0;
    timer->SetupAction([&](void*) { ++fired; }, nullptr);
    timer->SetupTime(0.05f);
    std::vector<float> ticks;
    menu->SetUpdaterFunction([&](float dt) { ticks.push_back(dt); });

    app.SetGlobalAnimationSpeed(2.0f);
    Frame(0.03f);
    EXPECT_EQ(fired, 1);
    ASSERT_EQ(ticks.size(), 1u);
    EXPECT_FLOAT_EQ(ticks[0], 0.06f);
    app.SetGlobalAnimationSpeed(1.0f);

    menu->OnLeave();
    timer->SetupTime(0.05f);
    menu->OnFrame(0.1f);
    EXPECT_EQ(fired, 2);
    EXPECT_EQ(ticks.size(), 1u);
}

TEST_F(GameStateTest, TheWaitingCursorShowsAHiddenCursorAndTheOwnSpriteComesBack)
{
    Start({"menu"}, "");
    std::shared_ptr<EngineCore::Resource> own;
    ASSERT_TRUE(EngineCore::ResourceManager::Instance().GetResource("Own.Cursor", 2, own));
    cursor->SetSprite(own);
    std::shared_ptr<GameState> system;
    app.GetSystemGameState(system);
    std::shared_ptr<EngineCore::Resource> timerSprite;
    ASSERT_TRUE(EngineCore::ResourceManager::Instance().GetResource("SystemLogic.TimerCursor", 2, timerSprite));

    cursor->calls.clear();
    for (int i = 0; i < 3; ++i) {
        EngineCore::GUISystem::Instance().HideCursor(true);
        system->SystemInvalidateCursor();
        EXPECT_TRUE(cursor->IsVisible());
        EXPECT_EQ(cursor->GetSprite(), timerSprite);
    }
    EXPECT_EQ(cursor->calls, "HSHSHS");

    system->SystemLastUpdate();
    EXPECT_EQ(cursor->GetSprite(), own);
    EXPECT_TRUE(cursor->IsVisible());

    // Nothing saved (the cursor showed the waiting sprite already): the main cursor sprite.
    cursor->SetSprite(timerSprite);
    system->SystemInvalidateCursor();
    system->SystemLastUpdate();
    std::shared_ptr<EngineCore::Resource> mainSprite;
    ASSERT_TRUE(EngineCore::ResourceManager::Instance().GetResource("GuiCursor.Main", 2, mainSprite));
    EXPECT_EQ(cursor->GetSprite(), mainSprite);
}

TEST_F(GameStateTest, MissingLoadingScreenDataIsReportedExactly)
{
    Start({}, "");
    std::shared_ptr<GameState> system;
    app.GetSystemGameState(system);

    // No sprite creator and no such sprite yet.
    EngineCore::ResourceFactory::Instance().UnregisterResourceCreator(2);
    EXPECT_EQ(ErrorOf([&] { system->SystemInvalidateCursor(); }),
              StateError(156, "Resource (SystemLogic.TimerCursor) not found."));
    EXPECT_EQ(ErrorOf([&] { system->SystemLastUpdate(); }),
              StateError(131, "Resource (GuiCursor.Main) not found."));

    // A player that has died counts as missing: replace each by one nobody holds.
    EngineCore::AnimationSystem& animations = EngineCore::AnimationSystem::Instance();
    std::shared_ptr<EngineCore::AnimationPlayer> dropped;
    animations.CreateAnimationPlayer("Loading.LoadingBar.AnimationPlayer", dropped);
    dropped.reset();
    EXPECT_EQ(ErrorOf([&] { system->SystemInit(); }), StateError(410, "Error finding loading game state data."));
    animations.CreateAnimationPlayer("SystemLogic.CursorAnimation.player", dropped);
    dropped.reset();
    EXPECT_EQ(ErrorOf([&] { system->SystemInit(); }), StateError(407, "Error finding system game state data."));
    // No player of that name in the current state at all.
    EngineCore::RenderSystem::Instance().SetCurrentGameState("elsewhere");
    EXPECT_EQ(ErrorOf([&] { system->SystemInit(); }), StateError(407, "Error finding system game state data."));
    EngineCore::RenderSystem::Instance().SetCurrentGameState("system");
}

TEST_F(GameStateTest, LoadingTextsCarryTexturesAsLuaStrings)
{
    Start({}, "");
    std::shared_ptr<GameState> system;
    app.GetSystemGameState(system);
    ClearTrace();
    const struct {
        bool game;
        const char* endTexture;
        const char* trace;
    } cases[] = {
        // The content's one-time set-up runs with the first reset only.
        {true, "", "FirstLoading|GameLoading:-|"},
        {true, "", "GameLoading:-|"},
        {true, "Pages/End.png", "GameLoading:Pages/End.png|"},
        {true, "a\"; Trace = 'injected'; x = \"\\", "GameLoading:a\"; Trace = 'injected'; x = \"\\|"},
        {false, "Pages/End.png", "MenuLoading|"},
    };
    for (const auto& c : cases) {
        ClearTrace();
        system->SetBackgroundEndTexture(c.endTexture);
        system->SystemReset(c.game);
        EXPECT_EQ(Trace(), c.trace);
        EXPECT_EQ(system->GetSystemFrameTime(), 0.0f);
    }

    system->SetBackgroundEndTexture("Old\"");
    system->SetBackgroundTexture("New\\");
    ClearTrace();
    system->SystemUpdate(0.25f);
    EXPECT_EQ(LuaGlobal(System(), "LastFrameTime"), "0.25");
    EXPECT_FLOAT_EQ(system->GetSystemFrameTime(), 0.25f);
    EXPECT_EQ(Trace(), "");
}
