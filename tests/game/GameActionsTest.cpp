#include <gtest/gtest.h>

#include <lua.hpp>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/GUI/GUISystem.h"
#include "engine/Input/ActionManager.h"
#include "engine/Input/InputEvent.h"
#include "engine/Input/JoystickActionManager.h"
#include "engine/Input/KeyboardDevice.h"
#include "engine/Input/KeyboardActionManager.h"
#include "engine/Input/MouseActionManager.h"
#include "engine/Renderer/RenderSystem.h"
#include "game/Base/Application.h"
#include "game/Base/GameState.h"
#include "game/Input/GameActionController.h"
#include "game/Input/GameActionControllerManager.h"
#include "game/Input/GameActionManager.h"
#include "game/Input/GameDeviceManager.h"
#include "tests/game/GameFlowHarness.h"
#include "tests/support/FakeInputDevices.h"

using GameCore::GameActionControllerManager;
using GameCore::GameActionManager;
using GameCore::GameDeviceManager;
using TestSupport::FakeKeyboard;
using TestSupport::FakeMouse;

namespace {

// Notes every text it is asked to run; `during` runs inside the call.
class RecordingRunner : public GameActionControllerManager {
public:
    std::vector<std::string> texts;
    std::function<void()> during;

    bool RunAction(const char* text, const std::shared_ptr<EngineCore::InputEvent>& event) override
    {
        texts.push_back(std::string(text) + (event ? "" : "()"));
        if (during)
            during();
        return true;
    }
    std::string Take()
    {
        std::string all;
        for (const std::string& text : texts)
            all += (all.empty() ? "" : " ") + text;
        texts.clear();
        return all;
    }
};

// A device manager with fake devices and a recording runner, initialised.
struct Rig {
    GameDeviceManager manager;
    std::shared_ptr<FakeMouse> mouse = std::make_shared<FakeMouse>();
    TestSupport::InputSystemMouse installed{mouse};
    std::shared_ptr<FakeKeyboard> keyboard = std::make_shared<FakeKeyboard>();
    std::shared_ptr<RecordingRunner> runner = std::make_shared<RecordingRunner>();

    Rig()
    {
        EngineCore::GUISystem::Instance().Enable();
        manager.SetDevice(1, mouse);
        manager.SetDevice(2, keyboard);
        manager.Init();
        Actions().SetActionControllerManager(runner);
    }
    GameActionManager& Actions() { return manager.GetActionManager(); }
};

std::string RecordAt(const GameActionManager& actions, GameActionManager::Table table, int code)
{
    GameActionManager::ActionRecord record;
    if (!actions.GetRecord(table, code, record))
        return "-";
    return record.name + "|" + record.action + "|" + record.actionOn + "|" + record.actionOff;
}

}  // namespace

TEST(GameActionManager, NamesBindTheirCodesAndTheTablesGrowToFitThem)
{
    GameActionManager actions;
    EXPECT_EQ(actions.GetSlotCount(GameActionManager::kMouseTable), 1);
    EXPECT_EQ(actions.GetSlotCount(GameActionManager::kJoystickTable), 1);
    EXPECT_EQ(actions.GetSlotCount(GameActionManager::kKeyboardTable), 256);

    const struct {
        const char* device;
        const char* name;
        GameActionManager::Table table;
        int code;
        int slotsAfter;
    } cases[] = {
        {"mouse", "AllAxis", GameActionManager::kMouseTable, 7, 8},
        {"mouse", "LeftButton", GameActionManager::kMouseTable, 1, 8},
        {"mouse", "YawAxis", GameActionManager::kMouseTable, 4, 8},
        {"joystick", "Pitch", GameActionManager::kJoystickTable, 6, 8},
        {"joystick", "Key3", GameActionManager::kJoystickTable, 4, 8},
        {"keyboard", "A", GameActionManager::kKeyboardTable, 34, 256},
        {"keyboard", "PrintScreen", GameActionManager::kKeyboardTable, 103, 256},
    };
    for (const auto& c : cases) {
        const std::string device = c.device;
        const std::string on = std::string("on ") + c.name;
        if (device == "mouse")
            actions.RegisterMouseAction(c.name, "", on.c_str(), "");
        else if (device == "joystick")
            actions.RegisterJoystickAction(c.name, "", on.c_str(), "");
        else
            actions.RegisterKeyboardAction(c.name, "", on.c_str(), "");
        EXPECT_EQ(RecordAt(actions, c.table, c.code), std::string(c.name) + "||" + on + "|") << c.name;
        EXPECT_EQ(actions.GetSlotCount(c.table), c.slotsAfter) << c.name;
    }
    // Earlier bindings are all still there.
    EXPECT_NE(RecordAt(actions, GameActionManager::kMouseTable, 7), "-");
    EXPECT_NE(RecordAt(actions, GameActionManager::kJoystickTable, 6), "-");
    EXPECT_TRUE(actions.GetMouseActionManager().GetAxisActions().IsExistAction(4));
    EXPECT_TRUE(actions.GetJoystickActionManager().GetAxisActions().IsExistAction(2));
    EXPECT_TRUE(actions.GetJoystickActionManager().GetKeyActions().IsExistAction(4));
}

TEST(GameActionManager, NamesThatAreNoKeyOfTheDeviceBindNothing)
{
    GameActionManager actions;
    actions.RegisterMouseAction("Escape", "a", "b", "c");
    actions.RegisterJoystickAction("LeftButton", "a", "b", "c");
    actions.RegisterKeyboardAction("escape", "a", "b", "c");
    actions.RegisterKeyboardAction("", "a", "b", "c");
    EXPECT_EQ(actions.GetSlotCount(GameActionManager::kMouseTable), 1);
    EXPECT_EQ(actions.GetSlotCount(GameActionManager::kJoystickTable), 1);
    for (int code = 0; code < 256; ++code)
        EXPECT_EQ(RecordAt(actions, GameActionManager::kKeyboardTable, code), "-") << code;
    EXPECT_FALSE(actions.GetKeyboardActionManager().GetActions().IsExistAction(0));

    actions.RegisterKeyboardAction("A", "x", "y", "z");
    actions.UnregisterKeyboardAction("NoSuchKey");
    actions.UnregisterMouseAction("A");
    actions.UnregisterKeyboardAction("B");
    EXPECT_EQ(RecordAt(actions, GameActionManager::kKeyboardTable, 34), "A|x|y|z");
}

TEST(GameActionManager, RebindingReplacesUnbindingErasesAndClearEmptiesEverything)
{
    GameActionManager actions;
    actions.RegisterMouseAction("RightButton", "1", "2", "3");
    actions.RegisterMouseAction("RightButton", "4", "5", "6");
    EXPECT_EQ(RecordAt(actions, GameActionManager::kMouseTable, 2), "RightButton|4|5|6");

    actions.UnregisterMouseAction("RightButton");
    EXPECT_EQ(RecordAt(actions, GameActionManager::kMouseTable, 2), "-");
    EXPECT_FALSE(actions.GetMouseActionManager().GetKeyActions().IsExistAction(2));
    EXPECT_EQ(actions.GetSlotCount(GameActionManager::kMouseTable), 4);  // never shrinks

    actions.RegisterKeyboardAction("Space", "", "", "");
    actions.RegisterJoystickAction("Roll", "", "", "");
    actions.UnregisterJoystickAction("Roll");
    EXPECT_FALSE(actions.GetJoystickActionManager().GetAxisActions().IsExistAction(3));
    actions.Clear();
    for (auto table : {GameActionManager::kMouseTable, GameActionManager::kJoystickTable,
                       GameActionManager::kKeyboardTable})
        EXPECT_EQ(actions.GetSlotCount(table), 0);
    EXPECT_FALSE(actions.GetKeyboardActionManager().GetActions().IsExistAction(13));
    actions.RegisterKeyboardAction("Back", "", "", "");
    EXPECT_EQ(actions.GetSlotCount(GameActionManager::kKeyboardTable), 2);
    actions.RegisterMouseAction("LeftButton", "", "", "");
    EXPECT_EQ(actions.GetSlotCount(GameActionManager::kMouseTable), 2);
}

// A state's scripts bind on the loader thread while the loading screen's scripts bind
// on the main thread. Each round starts from empty tables, so both threads grow the
// same tables at once; every binding of both comes through.
TEST(GameActionManager, TwoThreadsBindingAtOnceKeepEveryBinding)
{
    const std::vector<std::string> loaderKeys = {"A", "S", "D", "W", "F1", "F5", "F9", "PrintScreen"};
    const std::vector<std::string> screenKeys = {"Escape", "Space", "Return", "P", "NumPad5", "F12", "Slash"};
    GameActionManager actions;
    for (int round = 0; round < 50; ++round) {
        actions.Clear();
        const auto bind = [&actions](const std::vector<std::string>& keys, const char* axis) {
            for (int pass = 0; pass < 20; ++pass) {
                for (const std::string& key : keys)
                    actions.RegisterKeyboardAction(key.c_str(), "", ("#" + key).c_str(), "");
                actions.RegisterMouseAction(axis, "", axis, "");
                const std::string& again = keys[static_cast<size_t>(pass) % keys.size()];
                actions.UnregisterKeyboardAction(again.c_str());
                actions.RegisterKeyboardAction(again.c_str(), "", ("#" + again).c_str(), "");
            }
        };
        std::thread loader(bind, loaderKeys, "AllAxis");
        bind(screenKeys, "YawAxis");
        loader.join();
        for (const std::vector<std::string>* keys : {&loaderKeys, &screenKeys})
            for (const std::string& key : *keys) {
                const int code = EngineCore::KeyboardDevice::GetKeyByName(key);
                ASSERT_EQ(RecordAt(actions, GameActionManager::kKeyboardTable, code), key + "||#" + key + "|")
                    << "round " << round;
                ASSERT_TRUE(actions.GetKeyboardActionManager().GetActions().IsExistAction(code)) << key;
            }
        ASSERT_EQ(RecordAt(actions, GameActionManager::kMouseTable, 7), "AllAxis||AllAxis|");
        ASSERT_EQ(RecordAt(actions, GameActionManager::kMouseTable, 4), "YawAxis||YawAxis|");
    }
}

TEST(GameDeviceManager, BoundKeysAndButtonsHandTheirTextsToTheRunner)
{
    Rig rig;
    rig.Actions().RegisterKeyboardAction("Escape", "held", "down", "up");
    rig.Actions().RegisterMouseAction("LeftButton", "lheld", "ldown", "lup");
    rig.Actions().RegisterMouseAction("RollAxis", "", "wheel", "");

    rig.keyboard->Press(12);
    rig.mouse->Button(1, EngineCore::InputEvent::kStatePressed);
    rig.manager.Update(0.0f);
    // Mouse first, then keyboard; the while-active texts get an empty event.
    EXPECT_EQ(rig.runner->Take(), "ldown lheld() down held()");
    rig.keyboard->Release(12);
    rig.mouse->Button(1, EngineCore::InputEvent::kStateReleased);
    rig.mouse->Axis(3);
    rig.manager.Update(0.0f);
    // The wheel axis stays on once it moved, so its (empty) action text is handed on
    // every update from then on; the real runner does nothing with an empty text.
    EXPECT_EQ(rig.runner->Take(), "lup wheel () up");
    EXPECT_EQ(rig.keyboard->updates, 2);
    EXPECT_EQ(rig.mouse->updates, 2);

    // Dispatch with codes that have no record does nothing.
    const auto on = &GameActionManager::ActionRecord::actionOn;
    rig.Actions().Fire(GameActionManager::kKeyboardTable, on, reinterpret_cast<void*>(intptr_t(500)), nullptr);
    rig.Actions().Fire(GameActionManager::kKeyboardTable, on, reinterpret_cast<void*>(intptr_t(-1)), nullptr);
    rig.Actions().Fire(GameActionManager::kMouseTable, on, reinterpret_cast<void*>(intptr_t(3)), nullptr);
    rig.Actions().Fire(GameActionManager::kJoystickTable, on, nullptr, nullptr);
    EXPECT_EQ(rig.runner->Take(), "");
}

TEST(GameDeviceManager, ARunningTextMayUnbindOrClearItsOwnBinding)
{
    const char* const whats[] = {"unbind", "rebind", "clear"};
    for (const std::string what : whats) {
        Rig rig;
        rig.Actions().RegisterKeyboardAction("Space", "held", "down", "up");
        rig.runner->during = [&rig, what] {
            if (what == "unbind")
                rig.Actions().UnregisterKeyboardAction("Space");
            else if (what == "rebind")
                rig.Actions().RegisterKeyboardAction("Space", "held2", "down2", "up2");
            else
                rig.Actions().Clear();
            rig.runner->during = nullptr;
        };
        rig.keyboard->Press(13);
        rig.manager.Update(0.0f);
        rig.manager.Update(0.0f);
        EXPECT_EQ(rig.runner->Take(), "down") << what;
        rig.keyboard->Press(13);
        rig.manager.Update(0.0f);
        EXPECT_EQ(rig.runner->Take(), what == "rebind" ? "down2 held2()" : "") << what;
    }
}

TEST(GameDeviceManager, ReleaseEmptiesTheBindingsAndTheSlots)
{
    Rig rig;
    rig.Actions().RegisterKeyboardAction("A", "", "a", "");
    rig.keyboard->Press(34);
    rig.manager.Release();
    EXPECT_EQ(rig.Actions().GetSlotCount(GameActionManager::kKeyboardTable), 0);
    EXPECT_TRUE(rig.keyboard->queue.empty());
    std::shared_ptr<EngineCore::InputDevice> device;
    EXPECT_FALSE(rig.manager.GetDevice(2, device));
    rig.manager.Update(0.0f);
    EXPECT_EQ(rig.runner->Take(), "");
}

TEST(GameActionControllerManager, NamedFunctionsAndControllers)
{
    GameActionControllerManager runner;
    std::vector<std::string> calls;
    EXPECT_TRUE(runner.RegisterAction("jump", [&](const std::shared_ptr<EngineCore::InputEvent>& e) {
        calls.push_back(e ? "jump(event)" : "jump()");
    }));
    EXPECT_TRUE(runner.RegisterAction("jump", [&](const std::shared_ptr<EngineCore::InputEvent>&) {
        calls.push_back("second");
    }));
    EXPECT_TRUE(runner.RegisterAction("#", [&](const std::shared_ptr<EngineCore::InputEvent>&) {
        calls.push_back("hash");
    }));
    EXPECT_TRUE(runner.IsExistAction("jump"));

    const struct {
        const char* text;
        bool result;
    } cases[] = {{"", false}, {nullptr, false}, {"jump", true}, {"Jump", false}, {"#", true}, {"walk", false}};
    for (const auto& c : cases)
        EXPECT_EQ(runner.RunAction(c.text, std::make_shared<EngineCore::KeyboardEvent>()), c.result)
            << (c.text ? c.text : "(null)");
    EXPECT_EQ(calls, (std::vector<std::string>{"jump(event)", "hash"}));

    EXPECT_TRUE(runner.UnregisterAction("#"));
    EXPECT_FALSE(runner.UnregisterAction("#"));
    EXPECT_FALSE(runner.RunAction("#", nullptr));

    struct Counting : GameCore::GameActionController {
        GameActionControllerManager* storedIn = nullptr;
        int updates = 0;
        void Update() override { ++updates; }
        void OnStored(GameActionControllerManager* manager) override { storedIn = manager; }
        void OnRemoved() override {}
    };
    auto controller = std::make_shared<Counting>();
    runner.StoreGameActionController(controller);
    EXPECT_EQ(controller->storedIn, &runner);
    runner.Update();
    runner.Update();
    EXPECT_EQ(controller->updates, 2);
}

// "#" texts run in the current game state, and only once it has been entered.
class GameActionScriptTest : public GameFlowTest::Harness {};

TEST_F(GameActionScriptTest, HashTextsRunInTheEnteredCurrentStateOnly)
{
    GameActionControllerManager runner;
    // No current state yet: nothing runs, and that is no error.
    EXPECT_FALSE(runner.RunAction("#Ran = 1", nullptr));

    // "menu" to "map" plays the page effect: no two-second minimum.
    Start({"menu", "map"}, "menu");
    GameFlowTest::Harness::FinishLoad();
    lua_State* menu = GameFlowTest::CurrentInterpreter();
    EXPECT_TRUE(runner.RunAction("#Ran = (Ran or 0) + 1", nullptr));
    EXPECT_EQ(GameFlowTest::LuaGlobal(menu, "Ran"), "1");
    EXPECT_EQ(GameFlowTest::ErrorOf([&] { runner.RunAction("#NoSuchFunction()", nullptr); })
                  .find("NoSuchFunction") != std::string::npos,
              true);

    // The frame that starts the switch: "map" is current but not yet entered.
    app.SetCurrentGameState(State("map"), false);
    std::shared_ptr<GameCore::GameState> current;
    bool sawSwitchFrame = false;
    // The frame's update, then the check, as the input step of that frame would see it.
    app.Update(1.0f / 60.0f);
    ASSERT_TRUE(app.GetCurrentGameState(current));
    if (current->GetStateName() == "map" && (!current->IsEntered() || app.IsWaiting())) {
        sawSwitchFrame = true;
        EXPECT_FALSE(runner.RunAction("#Ran = 100", nullptr));
    }
    app.UpdateRender(1.0f / 60.0f);
    EXPECT_TRUE(sawSwitchFrame);
    GameFlowTest::Harness::FinishLoad();
    lua_State* map = GameFlowTest::CurrentInterpreter();
    EXPECT_EQ(GameFlowTest::LuaGlobal(map, "Ran"), "nil");
    EXPECT_TRUE(runner.RunAction("#Ran = 7", nullptr));
    EXPECT_EQ(GameFlowTest::LuaGlobal(map, "Ran"), "7");
}
