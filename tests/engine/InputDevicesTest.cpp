#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/Input/DeviceManager.h"
#include "engine/Input/EventFilter.h"
#include "engine/Input/InputEvent.h"
#include "engine/Input/JoystickDevice.h"
#include "engine/Input/KeyboardDevice.h"
#include "engine/Input/MouseDevice.h"
#include "tests/support/FakeInputDevices.h"

using namespace EngineCore;
using TestSupport::FakeKeyboard;
using TestSupport::FakeMouse;

namespace {

struct NameCase {
    const char* table;
    const char* name;
    int expected;
};

int Lookup(const std::string& table, const std::string& name)
{
    if (table == "key")
        return KeyboardDevice::GetKeyByName(name);
    if (table == "button")
        return MouseDevice::GetKeyByName(name);
    if (table == "axis")
        return MouseDevice::GetAxisByName(name);
    if (table == "joykey")
        return JoystickDevice::GetKeyByName(name);
    return JoystickDevice::GetAxisByName(name);
}

}  // namespace

// Scripts name keys by these exact strings; their numbers are the back-end's and the
// game's codes.
TEST(InputNames, EveryTableGivesItsNumbersAndZeroForWhatItDoesNotHold)
{
    const NameCase cases[] = {
        {"key", "Back", 1},        {"key", "RightAlt", 9},      {"key", "Escape", 12},
        {"key", "escape", 0},      {"key", "Down", 23},         {"key", "1", 24},
        {"key", "9", 32},          {"key", "0", 33},            {"key", "A", 34},
        {"key", "Z", 59},          {"key", "a", 0},             {"key", "LeftWin", 60},
        {"key", "NumPad0", 63},    {"key", "NumPad9", 72},      {"key", "Multiply", 73},
        {"key", "Grave", 88},      {"key", "F1", 89},           {"key", "F12", 100},
        {"key", "NumLock", 101},   {"key", "PrintScreen", 103}, {"key", "", 0},
        {"key", "Escape ", 0},     {"button", "LeftButton", 1}, {"button", "MiddleButton", 3},
        {"button", "AllAxis", 0},  {"axis", "YawAxis", 1},      {"axis", "PitchAxis", 2},
        {"axis", "RollAxis", 3},   {"axis", "AllAxis", 4},      {"axis", "LeftButton", 0},
        {"joykey", "Key0", 1},     {"joykey", "Key3", 4},       {"joykey", "Key4", 0},
        {"joyaxis", "Yaw", 1},     {"joyaxis", "Roll", 3},      {"joyaxis", "YawAxis", 0},
    };
    for (const NameCase& c : cases)
        EXPECT_EQ(Lookup(c.table, c.name), c.expected) << c.table << " \"" << c.name << "\"";
}

TEST(InputNames, TheKeyTableNumbersAllItsNamesFromOneWithoutGaps)
{
    const char* const ordered[] = {"Back", "Tab", "Return", "LeftShift", "RightShift", "LeftControl"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(KeyboardDevice::GetKeyByName(ordered[i]), i + 1);
    for (char letter = 'A'; letter <= 'Z'; ++letter)
        EXPECT_EQ(KeyboardDevice::GetKeyByName(std::string(1, letter)), 34 + (letter - 'A'));
    for (int f = 1; f <= 12; ++f)
        EXPECT_EQ(KeyboardDevice::GetKeyByName("F" + std::to_string(f)), 88 + f);
}

TEST(InputEvents, NewEventsHaveTheirKindAndEmptyFields)
{
    const KeyboardEvent key;
    EXPECT_EQ(key.GetType(), InputEvent::kEventKeyboard);
    EXPECT_EQ(key.GetState(), InputEvent::kStateUnset);
    EXPECT_EQ(key.GetKeyChar(), -1);
    EXPECT_EQ(key.GetKeyType(), 0);

    const MouseEvent mouse;
    EXPECT_EQ(mouse.GetType(), InputEvent::kEventMouse);
    const MouseEvent::MousePosition& at = mouse.GetAbsolutePosition();
    EXPECT_EQ(at.x, 0);
    EXPECT_EQ(at.y, 0);
    EXPECT_EQ(at.wheel, 0);
    EXPECT_EQ(at.reserved, 0);
    EXPECT_EQ(mouse.GetKeyType(), 0);
    EXPECT_EQ(mouse.GetAxisType(), 0);

    const JoystickEvent joystick;
    EXPECT_EQ(joystick.GetType(), InputEvent::kEventJoystick);
    EXPECT_EQ(joystick.GetKeyType(), 0);
}

TEST(InputEvents, MousePositionsAreKeptAsSixteenBitValues)
{
    MouseEvent mouse;
    mouse.SetAbsolutePosition(-5, 32767, 32768, 65537);
    EXPECT_EQ(mouse.GetAbsolutePosition().x, -5);
    EXPECT_EQ(mouse.GetAbsolutePosition().y, 32767);
    EXPECT_EQ(mouse.GetAbsolutePosition().wheel, -32768);
    EXPECT_EQ(mouse.GetAbsolutePosition().reserved, 1);
}

TEST(InputDevice, DevicesCarryTheirTypeAndTheBaseAnswers)
{
    FakeKeyboard keyboard;
    FakeMouse mouse;
    EXPECT_EQ(keyboard.GetDeviceType(), InputDevice::kDeviceKeyboard);
    EXPECT_EQ(mouse.GetDeviceType(), InputDevice::kDeviceMouse);
    EXPECT_FALSE(keyboard.IsValid());
    EXPECT_TRUE(keyboard.Open(nullptr));
    EXPECT_TRUE(keyboard.Close());
}

TEST(InputDevice, ADeviceNeverKeepsItsFilterAliveOnItsOwn)
{
    FakeKeyboard device;
    std::shared_ptr<EventFilter> out;
    EXPECT_FALSE(device.GetEventFilter(out));

    std::shared_ptr<EventFilter> filter = std::make_shared<EventFilter>();
    EXPECT_TRUE(device.SetEventFilter(filter));
    EXPECT_TRUE(device.GetEventFilter(out));
    EXPECT_EQ(out, filter);
    EXPECT_TRUE(out->AddEvent(std::make_shared<KeyboardEvent>()));

    std::weak_ptr<EventFilter> watch = filter;
    out.reset();
    filter.reset();
    EXPECT_FALSE(watch.expired());  // only the device holds it now
    EXPECT_FALSE(device.GetEventFilter(out));
    EXPECT_TRUE(watch.expired());
    EXPECT_FALSE(out);
    EXPECT_FALSE(device.GetEventFilter(out));
}

TEST(DeviceManager, OnlyTheSlotsOneToThreeHoldDevices)
{
    DeviceManager manager;
    const std::shared_ptr<InputDevice> keyboard = std::make_shared<FakeKeyboard>();
    const struct {
        int type;
        bool valid;
    } cases[] = {{-1, false}, {0, false}, {1, true}, {2, true}, {3, true}, {4, false}, {1000, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(manager.SetDevice(c.type, keyboard), c.valid) << c.type;
        std::shared_ptr<InputDevice> out;
        EXPECT_EQ(manager.GetDevice(c.type, out), c.valid) << c.type;
        EXPECT_EQ(out, c.valid ? keyboard : nullptr) << c.type;
    }
    manager.Release();
    std::shared_ptr<InputDevice> out;
    for (int type = 1; type <= 3; ++type)
        EXPECT_FALSE(manager.GetDevice(type, out)) << type;
}

TEST(DeviceManager, UpdateRunsTheDevicesInSlotOrderAndSkipsEmptySlots)
{
    std::string order;
    struct Tracing : FakeKeyboard {
        std::string* order = nullptr;
        char mark = '?';
        void Update() override { *order += mark; }
    };
    DeviceManager manager;
    manager.Update(0.1f);  // no devices: nothing to do

    auto third = std::make_shared<Tracing>();
    third->order = &order;
    third->mark = '3';
    auto first = std::make_shared<Tracing>();
    first->order = &order;
    first->mark = '1';
    manager.SetDevice(3, third);
    manager.SetDevice(1, first);
    manager.Update(0.1f);
    EXPECT_EQ(order, "13");
}
