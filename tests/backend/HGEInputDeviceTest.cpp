#include <gtest/gtest.h>

#include <memory>

#include "backend/Base/HGEInputDevice.h"
#include "backend/Base/HGEKeyboardDevice.h"
#include "backend/Base/HGEMouseDevice.h"
#include "engine/Input/InputDevice.h"
#include "engine/Input/InputEvent.h"
#include "engine/Input/KeyboardDevice.h"
#include "engine/Input/MouseDevice.h"
#include "platform/hge/DisplayMapping.h"

using EngineCore::InputDevice;
using EngineCore::InputEvent;
using EngineCore::KeyboardEvent;
using EngineCore::MouseEvent;
using MobrixCore::HGEInputDevice;

namespace {

hgeInputEvent Event(int type, int key, float x = 0.0f, float y = 0.0f, int chr = 0, int wheel = 0)
{
    hgeInputEvent e{};
    e.type = type;
    e.key = key;
    e.x = x;
    e.y = y;
    e.chr = chr;
    e.wheel = wheel;
    return e;
}

}  // namespace

// Every HGE key code the back-end maps lands on the key of the same name.
TEST(HGEInputDevice, KeyCodesMapToTheEngineKeysOfTheSameName)
{
    const struct {
        int code;
        const char* name;
    } cases[] = {
        {0x08, "Back"},     {0x09, "Tab"},         {0x0D, "Return"},      {0x10, "LeftShift"},   {0x11, "LeftControl"},
        {0x12, "LeftAlt"},  {0x13, "Pause"},       {0x14, "Capital"},     {0x1B, "Escape"},      {0x20, "Space"},
        {0x21, "PageUp"},   {0x22, "PageDown"},    {0x23, "End"},         {0x24, "Home"},        {0x25, "Left"},
        {0x26, "Up"},       {0x27, "Right"},       {0x28, "Down"},        {0x2D, "Insert"},      {0x2E, "Delete"},
        {0x30, "0"},        {0x31, "1"},           {0x39, "9"},           {0x41, "A"},           {0x5A, "Z"},
        {0x5B, "LeftWin"},  {0x5C, "RightWin"},    {0x5D, "Apps"},        {0x60, "NumPad0"},     {0x69, "NumPad9"},
        {0x6A, "Multiply"}, {0x6B, "Add"},         {0x6D, "Subtract"},    {0x6E, "Decimal"},     {0x6F, "Divide"},
        {0x70, "F1"},       {0x7B, "F12"},         {0x90, "NumLock"},     {0x91, "ScrollLock"},  {0xBA, "Semicolon"},
        {0xBB, "Equals"},   {0xBC, "Comma"},       {0xBD, "Minus"},       {0xBE, "Period"},      {0xBF, "Slash"},
        {0xC0, "Grave"},    {0xDB, "LeftBracket"}, {0xDC, "Backslash"},   {0xDD, "RightBracket"}, {0xDE, "Apostrophe"},
    };
    for (const auto& c : cases) {
        const int key = EngineCore::KeyboardDevice::GetKeyByName(c.name);
        ASSERT_NE(key, 0) << c.name;
        EXPECT_EQ(HGEInputDevice::KeyOfCode(c.code), key) << c.name;
        EXPECT_EQ(HGEInputDevice::CodeOfKey(key), c.code) << c.name;
    }
    // Codes outside the table, and keys HGE never reports.
    for (int code : {0x00, 0x2C, 0x5F, 0x6C, 0xFF, -1, 256, 1000})
        EXPECT_EQ(HGEInputDevice::KeyOfCode(code), 0) << code;
    for (const char* name : {"RightShift", "RightControl", "RightAlt", "PrintScreen"})
        EXPECT_EQ(HGEInputDevice::CodeOfKey(EngineCore::KeyboardDevice::GetKeyByName(name)), 0) << name;
    EXPECT_EQ(HGEInputDevice::CodeOfKey(0), 0);
    EXPECT_EQ(HGEInputDevice::CodeOfKey(104), 0);
}

TEST(HGEInputDevice, EventsBecomeKeyboardAndMouseEventsOfTheirDevice)
{
    const HGEInputDevice::PointerMapping identity;
    const struct {
        hgeInputEvent e;
        int device;
        int state;
        int keyOrButton;
        int axis;
    } cases[] = {
        {Event(INPUT_KEYDOWN, 0x41, 0, 0, 'a'), InputDevice::kDeviceKeyboard, InputEvent::kStatePressed, 34, 0},
        {Event(INPUT_KEYUP, 0x1B), InputDevice::kDeviceKeyboard, InputEvent::kStateReleased, 12, 0},
        {Event(INPUT_KEYDOWN, 0x2C), InputDevice::kDeviceKeyboard, InputEvent::kStatePressed, 0, 0},
        {Event(INPUT_MBUTTONDOWN, HGEK_LBUTTON, 10, 20), InputDevice::kDeviceMouse, InputEvent::kStatePressed, 1, 0},
        {Event(INPUT_MBUTTONUP, HGEK_RBUTTON, 10, 20), InputDevice::kDeviceMouse, InputEvent::kStateReleased, 2, 0},
        {Event(INPUT_MBUTTONDOWN, HGEK_MBUTTON), InputDevice::kDeviceMouse, InputEvent::kStatePressed, 3, 0},
        {Event(INPUT_MBUTTONDOWN, 8), InputDevice::kDeviceMouse, InputEvent::kStatePressed, 0, 0},
        {Event(INPUT_MOUSEMOVE, 0, 5, 6), InputDevice::kDeviceMouse, InputEvent::kStateAxisChanged, 0, 4},
        {Event(INPUT_MOUSEWHEEL, 0, 5, 6, 0, -2), InputDevice::kDeviceMouse, InputEvent::kStateAxisChanged, 0, 3},
    };
    for (const auto& c : cases) {
        int device = -1;
        const std::shared_ptr<InputEvent> event = HGEInputDevice::Convert(c.e, identity, device);
        ASSERT_TRUE(event) << c.e.type;
        EXPECT_EQ(device, c.device) << c.e.type;
        EXPECT_EQ(event->GetState(), c.state) << c.e.type;
        if (device == InputDevice::kDeviceKeyboard) {
            const KeyboardEvent& key = static_cast<const KeyboardEvent&>(*event);
            EXPECT_EQ(key.GetKeyType(), c.keyOrButton) << c.e.key;
            EXPECT_EQ(key.GetKeyChar(), c.e.chr);
        } else {
            const MouseEvent& mouse = static_cast<const MouseEvent&>(*event);
            EXPECT_EQ(mouse.GetKeyType(), c.keyOrButton) << c.e.type << " " << c.e.key;
            EXPECT_EQ(mouse.GetAxisType(), c.axis) << c.e.type;
            EXPECT_EQ(mouse.GetAbsolutePosition().x, int(c.e.x));
            EXPECT_EQ(mouse.GetAbsolutePosition().y, int(c.e.y));
            EXPECT_EQ(mouse.GetAbsolutePosition().wheel, c.e.wheel);
            EXPECT_EQ(mouse.GetAbsolutePosition().reserved, 0);
        }
    }
    int device = -1;
    EXPECT_FALSE(HGEInputDevice::Convert(Event(0, 0), identity, device));
    EXPECT_FALSE(HGEInputDevice::Convert(Event(7, 0), identity, device));
}

// A click lands on the game point under the pointer in every screen mode: the event's
// position is the game point the display shows at that window pixel.
TEST(HGEInputDevice, AClickLandsWhereThePointerIsInEveryScreenMode)
{
    const struct {
        const char* mode;
        bool windowed;
        bool stretch;
        int windowWidth, windowHeight;
    } modes[] = {
        {"windowed", true, false, 1024, 768},
        {"full screen, same size", false, false, 1024, 768},
        {"stretched", false, true, 1920, 1080},
        {"letterboxed wide", false, false, 1920, 1080},
        {"letterboxed tall", false, false, 1280, 1024},
        {"letterboxed small", false, false, 800, 600},
    };
    const int points[][2] = {{0, 0}, {100, 50}, {512, 384}, {1023, 767}, {700, 30}};
    for (const auto& m : modes) {
        const hgeplatform::DisplayMapping display =
            hgeplatform::ComputeDisplayMapping(m.windowed, m.stretch, 1024, 768, m.windowWidth, m.windowHeight);
        HGEInputDevice::PointerMapping mapping;
        mapping.hscale = display.hscale;
        mapping.vscale = display.vscale;
        mapping.hoffset = display.hoffset;
        mapping.voffset = display.voffset;
        for (const auto& p : points) {
            // The window pixel at the centre of the game pixel.
            const float wx = display.WindowX(float(p[0]) + 0.25f);
            const float wy = display.WindowY(float(p[1]) + 0.25f);
            int device = 0;
            const std::shared_ptr<InputEvent> event =
                HGEInputDevice::Convert(Event(INPUT_MBUTTONDOWN, HGEK_LBUTTON, wx, wy), mapping, device);
            const MouseEvent& mouse = static_cast<const MouseEvent&>(*event);
            EXPECT_EQ(mouse.GetAbsolutePosition().x, p[0]) << m.mode << " at " << p[0] << "," << p[1];
            EXPECT_EQ(mouse.GetAbsolutePosition().y, p[1]) << m.mode << " at " << p[0] << "," << p[1];
            EXPECT_FLOAT_EQ(mapping.GameX(wx), float(p[0]) + 0.25f) << m.mode;
        }
    }
}

TEST(HGEInputDevice, DevicesHaveTheirTypesAndEmptyQueuesWithoutAWindow)
{
    MobrixCore::HGEMouseDevice mouse;
    MobrixCore::HGEKeyboardDevice keyboard;
    EXPECT_EQ(mouse.GetDeviceType(), InputDevice::kDeviceMouse);
    EXPECT_EQ(keyboard.GetDeviceType(), InputDevice::kDeviceKeyboard);
    mouse.Update();
    keyboard.Update();
    std::shared_ptr<InputEvent> event;
    EXPECT_FALSE(mouse.GetNextEvent(event));
    EXPECT_FALSE(keyboard.GetNextEvent(event));
    EXPECT_EQ(mouse.GetAxisAbs(7), 0.0f);
    EXPECT_EQ(mouse.GetKeyStatus(0), EngineCore::MouseDevice::kKeyUp);
    EXPECT_EQ(keyboard.GetKeyStatus(103), EngineCore::KeyboardDevice::kKeyUp);
    EXPECT_TRUE(mouse.Clear());
    EXPECT_TRUE(keyboard.Clear());
}
