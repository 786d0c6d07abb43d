#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "engine/GUI/GUISystem.h"
#include "engine/Input/Action.h"
#include "engine/Input/ActionManager.h"
#include "engine/Input/InputEvent.h"
#include "engine/Input/JoystickActionManager.h"
#include "engine/Input/JoystickDevice.h"
#include "engine/Input/KeyboardActionManager.h"
#include "engine/Input/MouseActionManager.h"
#include "tests/support/FakeInputDevices.h"

using namespace EngineCore;
using TestSupport::FakeKeyboard;
using TestSupport::FakeMouse;

namespace {

// Records every callback as "<tag><kind>" with kind w (while active), + (on), - (off).
struct Trace {
    std::vector<std::string> calls;

    ActionInfo Info(const std::string& tag)
    {
        ActionInfo info;
        info.whileActive = [this, tag](void*, const std::shared_ptr<InputEvent>& e) {
            calls.push_back(tag + (e ? "w!" : "w"));
        };
        info.on = [this, tag](void*, const std::shared_ptr<InputEvent>&) { calls.push_back(tag + "+"); };
        info.off = [this, tag](void*, const std::shared_ptr<InputEvent>&) { calls.push_back(tag + "-"); };
        return info;
    }
    std::string Take()
    {
        std::string text;
        for (const std::string& call : calls)
            text += (text.empty() ? "" : " ") + call;
        calls.clear();
        return text;
    }
};

class GuiGuard {
public:
    GuiGuard() { GUISystem::Instance().Enable(); }
    ~GuiGuard() { GUISystem::Instance().Enable(); }
};

}  // namespace

TEST(ActionManager, TheTableGrowsToThePowerOfTwoAboveTheId)
{
    const struct {
        bool cleared;
        int id;
        int slots;
    } cases[] = {{false, 0, 1}, {false, 1, 2}, {false, 12, 16}, {false, 16, 32}, {true, 0, 2}, {true, 1, 2},
                 {true, 2, 4},  {true, 103, 128}};
    for (const auto& c : cases) {
        ActionManager table;
        if (c.cleared) {
            table.Clear();
            EXPECT_EQ(table.GetSlotCount(), 0);
        }
        EXPECT_TRUE(table.RegisterAction(c.id, ActionInfo()));
        EXPECT_EQ(table.GetSlotCount(), c.slots) << c.id << (c.cleared ? " after Clear" : "");
        EXPECT_TRUE(table.IsExistAction(c.id));
    }
}

TEST(ActionManager, RegisterUnregisterAndExistence)
{
    ActionManager table;
    Trace trace;
    EXPECT_FALSE(table.RegisterAction(-1, trace.Info("n")));
    // No power-of-two slot count held in an int reaches it: refused, nothing grows.
    EXPECT_FALSE(table.RegisterAction(std::numeric_limits<int>::max(), trace.Info("n")));
    EXPECT_EQ(table.GetSlotCount(), 1);
    EXPECT_FALSE(table.UnregisterAction(5));
    EXPECT_FALSE(table.UnregisterAction(-3));
    EXPECT_FALSE(table.OnAction(5, nullptr));

    table.RegisterAction(5, trace.Info("a"));
    EXPECT_TRUE(table.IsExistAction(5));
    EXPECT_FALSE(table.IsExistAction(4));
    EXPECT_TRUE(table.UnregisterAction(5));
    EXPECT_FALSE(table.IsExistAction(5));
    EXPECT_FALSE(table.OnAction(5, nullptr));
    EXPECT_EQ(table.GetSlotCount(), 8);  // never shrinks

    // Replacing: the new callbacks, state off again.
    table.RegisterAction(3, trace.Info("a"));
    table.OnAction(3, nullptr);
    table.RegisterAction(3, trace.Info("b"));
    EXPECT_FALSE(table.IsActionOn(3));
    table.Update();
    table.OnAction(3, nullptr);
    EXPECT_EQ(trace.Take(), "a+ b+");
}

TEST(Action, OnTwiceCallsTwiceAndUpdateRunsOnlyWhileOn)
{
    Trace trace;
    Action action;
    action.SetActionInfo(trace.Info("k"));
    action.Update();
    action.OnAction(std::make_shared<KeyboardEvent>());
    action.OnAction(std::make_shared<KeyboardEvent>());
    EXPECT_EQ(action.GetLastActionState(), Action::kOn);
    action.Update();
    action.OffAction(nullptr);
    EXPECT_EQ(action.GetLastActionState(), Action::kOn);
    EXPECT_EQ(action.GetActionState(), Action::kOff);
    action.Update();
    // The while-active callback gets an empty event.
    EXPECT_EQ(trace.Take(), "k+ k+ kw k-");

    Action empty;  // empty callbacks are skipped
    empty.OnAction(nullptr);
    empty.Update();
    empty.OffAction(nullptr);
}

TEST(ActionManager, ACallbackMayChangeTheTableThatRunsIt)
{
    // Each case: what the on callback of id 1 does; the run must stay inside live memory
    // (checked under the address sanitizer) and the table ends as described.
    const struct {
        const char* what;
        bool stillThere;
        int slots;
    } cases[] = {{"unregister itself", false, 2},
                 {"register 100", true, 128},
                 {"replace itself", true, 2},
                 {"clear", false, 0}};
    for (const auto& c : cases) {
        ActionManager table;
        std::string what = c.what;
        int runs = 0;
        ActionInfo info;
        info.on = [&table, &runs, what](void*, const std::shared_ptr<InputEvent>&) {
            ++runs;
            if (what == "unregister itself")
                table.UnregisterAction(1);
            else if (what == "register 100")
                table.RegisterAction(100, ActionInfo());
            else if (what == "replace itself")
                table.RegisterAction(1, ActionInfo());
            else
                table.Clear();
            // Captures still readable after the action that holds this function is gone.
            EXPECT_FALSE(what.empty());
        };
        info.whileActive = info.on;
        table.RegisterAction(1, info);
        EXPECT_TRUE(table.OnAction(1, nullptr));
        EXPECT_EQ(runs, 1);
        if (table.IsExistAction(1) || what == "register 100")
            table.Update();
        EXPECT_EQ(table.IsExistAction(1), c.stillThere) << c.what;
        EXPECT_EQ(table.GetSlotCount(), c.slots) << c.what;
    }
}

TEST(ActionManager, AWhileActiveCallbackThatClearsTheTableEndsTheUpdate)
{
    ActionManager table;
    int runs = 0;
    ActionInfo info;
    info.whileActive = [&](void*, const std::shared_ptr<InputEvent>&) {
        ++runs;
        table.Clear();
    };
    table.RegisterAction(0, info);
    table.RegisterAction(3, info);
    table.OnAction(0, nullptr);
    table.OnAction(3, nullptr);
    table.Update();
    EXPECT_EQ(runs, 1);
}

TEST(KeyboardActionManager, KeysFireThroughTheGuiAndRunWhileHeld)
{
    GuiGuard gui;
    Trace trace;
    KeyboardActionManager manager;
    auto keyboard = std::make_shared<FakeKeyboard>();
    manager.Update();  // no device: nothing
    manager.SetDevice(std::make_shared<FakeMouse>());
    EXPECT_FALSE(manager.GetDivice());
    manager.SetDevice(keyboard);
    EXPECT_EQ(manager.GetDivice(), keyboard);
    manager.RegisterAction(12, trace.Info("esc"));

    keyboard->Press(12);
    keyboard->Press(13);  // not bound
    manager.Update();
    EXPECT_EQ(trace.Take(), "esc+ escw");
    manager.Update();
    EXPECT_EQ(trace.Take(), "escw");
    keyboard->Press(12);  // a repeat calls the on callback again
    keyboard->Release(12);
    manager.Update();
    EXPECT_EQ(trace.Take(), "esc+ esc-");

    keyboard->Press(12);
    manager.Clear();
    EXPECT_TRUE(keyboard->queue.empty());
    EXPECT_FALSE(manager.GetActions().IsExistAction(12));
}

TEST(KeyboardActionManager, ADisabledGuiStopsPressesButNotTheReleaseOfAHeldKey)
{
    GuiGuard gui;
    Trace trace;
    KeyboardActionManager manager;
    auto keyboard = std::make_shared<FakeKeyboard>();
    manager.SetDevice(keyboard);
    manager.RegisterAction(20, trace.Info("left"));
    manager.RegisterAction(22, trace.Info("right"));

    keyboard->Press(20);
    manager.Update();
    EXPECT_EQ(trace.Take(), "left+ leftw");

    GUISystem::Instance().Disable();
    keyboard->Press(22);
    manager.Update();
    EXPECT_EQ(trace.Take(), "leftw");
    // The held key's release still ends it: no endless while-active calls.
    keyboard->Release(20);
    keyboard->Release(22);  // never on: nothing
    manager.Update();
    manager.Update();
    EXPECT_EQ(trace.Take(), "left-");

    GUISystem::Instance().Enable();
    keyboard->Press(22);
    manager.Update();
    EXPECT_EQ(trace.Take(), "right+ rightw");
}

TEST(MouseActionManager, ButtonsAndAxesFireAndAnUnboundButtonSkipsItsWholeEvent)
{
    GuiGuard gui;
    Trace trace;
    MouseActionManager manager;
    auto mouse = std::make_shared<FakeMouse>();
    TestSupport::InputSystemMouse installed{mouse};
    manager.SetDevice(std::make_shared<FakeKeyboard>());
    manager.Update();
    EXPECT_FALSE(manager.GetDivice());
    manager.SetDevice(mouse);
    manager.RegisterKeyAction(MouseDevice::kLeftButton, trace.Info("L"));
    manager.RegisterAxisAction(MouseDevice::kAllAxis, trace.Info("move"));
    manager.RegisterAxisAction(MouseDevice::kRollAxis, trace.Info("wheel"));

    mouse->Button(MouseDevice::kLeftButton, InputEvent::kStatePressed);
    mouse->Axis(MouseDevice::kAllAxis);
    mouse->Axis(MouseDevice::kRollAxis);
    manager.Update();
    // An axis action stays on after its first change (nothing turns it off), so it runs
    // its while-active step every update from then on, ids ascending.
    EXPECT_EQ(trace.Take(), "L+ move+ wheel+ Lw wheelw movew");

    // The right button is not bound: its event, axis included, fires nothing.
    auto rightWithAxis = mouse->Button(MouseDevice::kRightButton, InputEvent::kStatePressed);
    rightWithAxis->SetAxisType(MouseDevice::kAllAxis);
    rightWithAxis->SetState(InputEvent::kStateAxisChanged);
    mouse->Button(MouseDevice::kLeftButton, InputEvent::kStateReleased);
    manager.Update();
    EXPECT_EQ(trace.Take(), "L- wheelw movew");

    manager.UnregisterAxisAction(MouseDevice::kAllAxis);
    manager.UnregisterAxisAction(MouseDevice::kRollAxis);
    GUISystem::Instance().Disable();
    mouse->Button(MouseDevice::kLeftButton, InputEvent::kStatePressed);
    mouse->Axis(MouseDevice::kAllAxis);
    manager.Update();
    EXPECT_EQ(trace.Take(), "");
}

TEST(JoystickActionManager, KeysAndAxesFireWithoutTheGuiAndNeverRunWhileHeld)
{
    GuiGuard gui;
    struct FakeJoystick : JoystickDevice {
        mutable std::vector<std::shared_ptr<InputEvent>> queue;
        bool GetNextEvent(std::shared_ptr<InputEvent>& event) const override
        {
            if (queue.empty())
                return false;
            event = queue.front();
            queue.erase(queue.begin());
            return true;
        }
        void Push(int key, int axis, int state)
        {
            auto event = std::make_shared<JoystickEvent>();
            event->SetKeyType(key);
            event->SetAxisType(axis);
            event->SetState(state);
            queue.push_back(event);
        }
    };
    Trace trace;
    JoystickActionManager manager;
    auto joystick = std::make_shared<FakeJoystick>();
    manager.SetDevice(std::make_shared<FakeMouse>());
    EXPECT_FALSE(manager.GetDivice());
    manager.SetDevice(joystick);
    manager.RegisterKeyAction(2, trace.Info("k"));
    manager.RegisterAxisAction(1, trace.Info("yaw"));

    GUISystem::Instance().Disable();
    joystick->Push(2, 0, InputEvent::kStatePressed);
    joystick->Push(3, 1, InputEvent::kStateAxisChanged);  // unbound key: skipped, axis too
    joystick->Push(0, 1, InputEvent::kStateAxisChanged);
    manager.Update();
    manager.Update();
    joystick->Push(2, 0, InputEvent::kStateReleased);
    manager.Update();
    EXPECT_EQ(trace.Take(), "k+ yaw+ k-");
}
