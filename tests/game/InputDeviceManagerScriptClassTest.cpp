#include <gtest/gtest.h>

#include <lua.hpp>

#include <memory>
#include <string>
#include <vector>

#include "engine/GUI/GUISystem.h"
#include "engine/Input/InputEvent.h"
#include "engine/Input/InputSystem.h"
#include "engine/Input/MouseActionManager.h"
#include "engine/System/SystemLogger.h"
#include "game/Input/GameActionControllerManager.h"
#include "game/Input/GameActionManager.h"
#include "game/Input/GameDeviceManager.h"
#include "game/Wrappers/InputDeviceManagerWrapper.h"
#include "tests/game/GameFlowHarness.h"
#include "tests/support/FakeInputDevices.h"
#include "tests/support/TestLogWriter.h"

using GameCore::GameActionManager;
using GameCore::GameDeviceManager;
using TestSupport::FakeKeyboard;
using TestSupport::FakeMouse;

namespace {

const int kKeyA = 34;
const int kKeyEscape = 12;

// The real application with "menu" and "map" states, and the game's device manager on
// fake devices installed in the input system as the launcher would. Switches between
// the two play the page effect, so they load without the two-second minimum.
class InputDeviceManagerScriptTest : public GameFlowTest::Harness {
protected:
    std::shared_ptr<GameDeviceManager> devices = std::make_shared<GameDeviceManager>();
    std::shared_ptr<FakeMouse> mouse = std::make_shared<FakeMouse>();
    std::shared_ptr<FakeKeyboard> keyboard = std::make_shared<FakeKeyboard>();

    void SetUp() override
    {
        GameFlowTest::Harness::SetUp();
        devices->SetDevice(1, mouse);
        devices->SetDevice(2, keyboard);
        EngineCore::InputSystem::Instance().SetDeviceManager(devices);
        EngineCore::GUISystem::Instance().Enable();
        Start({"menu", "map"}, "menu");
        FinishLoad();
    }
    void TearDown() override
    {
        GameFlowTest::Harness::TearDown();
        EngineCore::InputSystem::Instance().SetDeviceManager(nullptr);
    }

    // Runs script text in the current state; fails the test on an error.
    void Run(const std::string& text)
    {
        std::shared_ptr<GameCore::GameState> current;
        ASSERT_TRUE(app.GetCurrentGameState(current));
        ASSERT_TRUE(current->RunScriptString(text)) << text;
    }
    std::string Global(const char* name) { return GameFlowTest::LuaGlobal(GameFlowTest::CurrentInterpreter(), name); }
    std::string Counters() { return Global("Held") + " " + Global("On") + " " + Global("Off"); }

    GameActionManager& Actions() { return devices->GetActionManager(); }

    void SwitchTo(const std::string& name)
    {
        app.SetCurrentGameState(State(name), false);
        FinishLoad();
        std::shared_ptr<GameCore::GameState> current;
        ASSERT_TRUE(app.GetCurrentGameState(current));
        ASSERT_EQ(current->GetStateName(), name);
    }
};

const char* const kBindA =
    "InputDeviceManager():RegisterKeyboardAction('A', '#Held = (Held or 0) + 1', '#On = (On or 0) + 1',"
    " '#Off = (Off or 0) + 1')";

}  // namespace

TEST_F(InputDeviceManagerScriptTest, AKeyRunsItsTextsOnPressWhileHeldAndOnRelease)
{
    Run(kBindA);
    Frame();
    EXPECT_EQ(Counters(), "nil nil nil");
    keyboard->Press(kKeyA);
    Frame();
    EXPECT_EQ(Counters(), "1 1 nil");
    Frame();
    EXPECT_EQ(Counters(), "2 1 nil");
    keyboard->Release(kKeyA);
    Frame();
    Frame();
    EXPECT_EQ(Counters(), "2 1 1");

    // Binding again replaces the texts; unbinding stops them.
    Run("InputDeviceManager():RegisterKeyboardAction('A', '', '#On = 50', '')");
    keyboard->Press(kKeyA);
    Frame();
    EXPECT_EQ(Global("On"), "50");
    Run("InputDeviceManager():UnregisterKeyboardAction('A')");
    keyboard->Release(kKeyA);
    keyboard->Press(kKeyA);
    Frame();
    EXPECT_EQ(Counters(), "2 50 1");
}

// A text that names an action function is no mistake: it runs that function, unlogged.
TEST_F(InputDeviceManagerScriptTest, ATextWithoutItsHashRunsNothingAndIsLoggedWhenBound)
{
    int jumps = 0;
    Actions().GetActionControllerManager()->RegisterAction(
        "Jump", [&jumps](const std::shared_ptr<EngineCore::InputEvent>&) { ++jumps; });
    std::vector<std::string> log;
    TestSupport::InstallLogWriter([&log](const char* text) { log.push_back(text); });
    Run("local input = InputDeviceManager()\n"
        "input:RegisterKeyboardAction('A', '', 'On = 1', '#Off = 1')\n"
        "input:RegisterMouseAction('LeftButton', 'Held = 1', '', '#')\n"
        "input:RegisterKeyboardAction('B', '', 'Jump', '')\n");
    EngineCore::SystemLogger::Instance().SetLogger(nullptr);
    const std::string rule = " runs nothing: a script text is Lua code after a '#' ";
    EXPECT_EQ(log, (std::vector<std::string>{
                       "InputDeviceManager:RegisterKeyboardAction('A') down text (On = 1)" + rule + "('#On = 1').",
                       "InputDeviceManager:RegisterMouseAction('LeftButton') held text (Held = 1)" + rule +
                           "('#Held = 1').",
                   }));
    keyboard->Press(kKeyA);
    keyboard->Press(kKeyA + 1);
    mouse->Button(1, EngineCore::InputEvent::kStatePressed);
    Frame();
    keyboard->Release(kKeyA);
    Frame();
    EXPECT_EQ(Global("On") + " " + Global("Held") + " " + Global("Off"), "nil nil 1");
    EXPECT_EQ(jumps, 1);
}

TEST_F(InputDeviceManagerScriptTest, NamesTheDeviceDoesNotKnowAreIgnored)
{
    Run("local input = InputDeviceManager()\n"
        "input:RegisterKeyboardAction('a', '', '#Wrong = 1', '')\n"
        "input:RegisterKeyboardAction('NotAKey', '', '#Wrong = 1', '')\n"
        "input:RegisterMouseAction('Escape', '', '#Wrong = 1', '')\n"
        "input:RegisterJoystickAction('Space', '', '#Wrong = 1', '')\n"
        "input:UnregisterMouseAction('NotAButton')\n"
        "input:UnregisterJoystickAction('NotAKey')\n"
        "input:UnregisterKeyboardAction('NotAKey')\n");
    EXPECT_EQ(Actions().GetSlotCount(GameActionManager::kMouseTable), 1);
    EXPECT_EQ(Actions().GetSlotCount(GameActionManager::kJoystickTable), 1);
    // A key the back-end does not map (key 0) fires nothing either.
    keyboard->Press(0);
    keyboard->Press(kKeyEscape);
    mouse->Button(1, EngineCore::InputEvent::kStatePressed);
    Frame();
    EXPECT_EQ(Global("Wrong"), "nil");
}

// Bindings are one set for the game, and their texts run in whatever state is current:
// keys the menu bound work in "map" without binding anew, in the map's interpreter. A
// text whose function only the state that bound it defines is a script error elsewhere.
TEST_F(InputDeviceManagerScriptTest, BindingsSurviveStateChangesAndRunInTheCurrentState)
{
    Run(kBindA);
    Run("InputDeviceManager():RegisterMouseAction('RollAxis', '', '#Wheel = (Wheel or 0) + 1', '')");
    Run("function MenuOnly() end InputDeviceManager():RegisterKeyboardAction('B', '', '#MenuOnly()', '')");
    SwitchTo("map");
    lua_State* map = GameFlowTest::CurrentInterpreter();
    keyboard->Press(kKeyA);
    mouse->Axis(3);
    Frame();
    keyboard->Release(kKeyA);
    Frame();
    EXPECT_EQ(Counters(), "1 1 1");
    EXPECT_EQ(Global("Wheel"), "1");
    // The map binds the same key: its texts replace the menu's, in every state.
    Run("InputDeviceManager():RegisterKeyboardAction('A', '', '#MapOn = (MapOn or 0) + 1', '')");

    SwitchTo("menu");
    keyboard->Press(kKeyA);
    mouse->Axis(3);
    Frame();
    EXPECT_EQ(Global("MapOn"), "1");
    EXPECT_EQ(Global("Wheel"), "1");
    EXPECT_EQ(Global("On"), "nil");
    EXPECT_NE(GameFlowTest::CurrentInterpreter(), map);

    SwitchTo("map");
    keyboard->Press(kKeyA + 1);
    EXPECT_NE(GameFlowTest::ErrorOf([&] { Frame(); }).find("MenuOnly"), std::string::npos);
}

// While the current state loads, its scripts run on the loader thread: a key pressed
// then fires nothing, also once the state's own scripts have run and the load only
// waits for the loading screen. Bindings work again as soon as the load has ended.
TEST_F(InputDeviceManagerScriptTest, BindingsRestWhileTheCurrentStateLoads)
{
    Run("InputDeviceManager():RegisterKeyboardAction('A', '', '#On = (On or 0) + 1', '')");
    // The page effect lasts until the loading screen ends it.
    ASSERT_TRUE(RunSystem("EndPageFxAfter = nil"));
    app.SetCurrentGameState(State("map"), false);
    Frame();
    ASSERT_TRUE(AwaitLoadStart());
    for (int i = 0; i < 600 && !State("map")->IsEntered(); ++i)
        Frame();
    ASSERT_TRUE(State("map")->IsEntered());
    ASSERT_TRUE(app.IsWaiting());
    // An input update inside the load, as a loading screen that reads input would make.
    keyboard->Press(kKeyA);
    devices->Update(1.0f / 60.0f);
    EXPECT_EQ(Global("On"), "nil");
    keyboard->Release(kKeyA);

    ASSERT_TRUE(RunSystem("EndPageFx()"));
    FinishLoad();
    EXPECT_EQ(Global("On"), "nil");
    keyboard->Press(kKeyA);
    Frame();
    EXPECT_EQ(Global("On"), "1");
}

TEST_F(InputDeviceManagerScriptTest, AHookInTheFrameThatStartsASwitchRunsNowhere)
{
    Run("InputDeviceManager():RegisterKeyboardAction('A', '', '#On = (On or 0) + 1', '')");
    SwitchTo("map");
    Run("InputDeviceManager():RegisterKeyboardAction('B', '', '#On = (On or 0) + 1', '')");
    SwitchTo("menu");
    // Both keys go down in the frame that starts the switch to "map": "menu" has just
    // been left, and "map" is current but entered on the loader thread. Neither hook
    // runs, and that is no error.
    app.SetCurrentGameState(State("map"), false);
    keyboard->Press(kKeyA);
    keyboard->Press(kKeyA + 1);
    EXPECT_FALSE(Frame());
    FinishLoad();
    EXPECT_EQ(Global("On"), "nil");
    keyboard->Press(kKeyA + 1);
    Frame();
    EXPECT_EQ(Global("On"), "1");
}

TEST_F(InputDeviceManagerScriptTest, ADisabledGuiStopsBindingsAndClearRemovesThemAll)
{
    Run(kBindA);
    Run("InputDeviceManager():RegisterMouseAction('LeftButton', '', '#Click = 1', '')");
    EngineCore::GUISystem::Instance().Disable();
    keyboard->Press(kKeyA);
    mouse->Button(1, EngineCore::InputEvent::kStatePressed);
    Frame();
    EXPECT_EQ(Counters(), "nil nil nil");
    EXPECT_EQ(Global("Click"), "nil");
    EngineCore::GUISystem::Instance().Enable();

    // No joystick is installed: its bindings are kept and never fire.
    Run("InputDeviceManager():RegisterJoystickAction('Key0', '#Joy = 1', '#Joy = 1', '#Joy = 1')");
    GameActionManager::ActionRecord record;
    EXPECT_TRUE(Actions().GetRecord(GameActionManager::kJoystickTable, 1, record));
    Frame();
    EXPECT_EQ(Global("Joy"), "nil");

    keyboard->Press(kKeyA);  // queued, then dropped by Clear
    Run("InputDeviceManager():Clear()");
    EXPECT_TRUE(keyboard->queue.empty());
    for (auto table : {GameActionManager::kMouseTable, GameActionManager::kJoystickTable,
                       GameActionManager::kKeyboardTable})
        EXPECT_EQ(Actions().GetSlotCount(table), 0);
    keyboard->Press(kKeyA);
    mouse->Button(1, EngineCore::InputEvent::kStatePressed);
    Frame();
    EXPECT_EQ(Counters(), "nil nil nil");
    EXPECT_EQ(Global("Click"), "nil");
}

TEST_F(InputDeviceManagerScriptTest, PointerWheelAndPlacement)
{
    mouse->x = 640.5f;
    mouse->y = 12.25f;
    mouse->wheel = -3.0f;
    Run("X, Y = InputDeviceManager():GetMousePosition()\n"
        "W = InputDeviceManager():GetMouseWheelPosition()\n"
        "InputDeviceManager():SetMousePosition(100.9, -20.7)\n");
    EXPECT_EQ(Global("X"), "640.5");
    EXPECT_EQ(Global("Y"), "12.25");
    EXPECT_EQ(Global("W"), "-3");
    ASSERT_EQ(mouse->moves.size(), 1u);
    EXPECT_EQ(mouse->moves[0].first, 100.0f);
    EXPECT_EQ(mouse->moves[0].second, -20.0f);
    EXPECT_EQ(GameCore::InputDeviceManagerWrapper::GetGameDeviceManager(), devices.get());
}

TEST_F(InputDeviceManagerScriptTest, ABurstOfClicksThrowsThePointerOnlyWhileTheEffectIsArmed)
{
    EngineCore::MouseActionManager& effect = Actions().GetMouseActionManager();
    Run("for i = 1, 5 do InputDeviceManager():AddMassEffectClick() end");
    EXPECT_FALSE(effect.IsThrowRunning());
    Run("InputDeviceManager():StartMouseEffect(1.0, 3, 0.5)");
    EXPECT_TRUE(effect.IsMouseEffectArmed());
    Run("InputDeviceManager():AddMassEffectClick(); InputDeviceManager():AddMassEffectClick()");
    EXPECT_FALSE(effect.IsThrowRunning());
    Run("InputDeviceManager():AddMassEffectClick()");
    EXPECT_TRUE(effect.IsThrowRunning());
    Run("InputDeviceManager():StopMouseEffect()");
    EXPECT_FALSE(effect.IsMouseEffectArmed());
    EXPECT_TRUE(effect.IsThrowRunning());
}

TEST_F(InputDeviceManagerScriptTest, WrongArgumentsAreScriptErrors)
{
    const char* const scripts[] = {
        "InputDeviceManager():RegisterKeyboardAction('A', '', '')",
        "InputDeviceManager():RegisterMouseAction({}, '', '', '')",
        "InputDeviceManager():SetMousePosition(1)",
        "InputDeviceManager():StartMouseEffect(1, 'x', 1)",
        "InputDeviceManager():UnregisterJoystickAction()",
    };
    std::shared_ptr<GameCore::GameState> current;
    ASSERT_TRUE(app.GetCurrentGameState(current));
    for (const char* script : scripts)
        EXPECT_NE(GameFlowTest::ErrorOf([&] { current->RunScriptString(script); }), "<no error>") << script;
}
