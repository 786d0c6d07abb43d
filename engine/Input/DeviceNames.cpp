#include "engine/Input/JoystickDevice.h"
#include "engine/Input/KeyboardDevice.h"
#include "engine/Input/MouseDevice.h"

#include <map>

// The name tables are built when first asked for, so a lookup gives the same
// answer whether or not a device of the class was made yet.
namespace EngineCore {

namespace {

using NameTable = std::map<std::string, int>;

NameTable Numbered(std::initializer_list<const char*> names)
{
    NameTable table;
    int number = 1;
    for (const char* name : names)
        table.emplace(name, number++);
    return table;
}

int Find(const NameTable& table, const std::string& name)
{
    const auto found = table.find(name);
    return found == table.end() ? 0 : found->second;
}

const NameTable& KeyboardKeys()
{
    static const NameTable table = Numbered({
        "Back", "Tab", "Return", "LeftShift", "RightShift", "LeftControl", "RightControl", "LeftAlt",
        "RightAlt", "Pause", "Capital", "Escape", "Space", "PageUp", "PageDown", "End", "Home", "Insert",
        "Delete", "Left", "Up", "Right", "Down", "1", "2", "3", "4", "5", "6", "7", "8", "9", "0", "A", "B",
        "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M", "N", "O", "P", "Q", "R", "S", "T", "U", "V",
        "W", "X", "Y", "Z", "LeftWin", "RightWin", "Apps", "NumPad0", "NumPad1", "NumPad2", "NumPad3",
        "NumPad4", "NumPad5", "NumPad6", "NumPad7", "NumPad8", "NumPad9", "Multiply", "Add", "Subtract",
        "Decimal", "Divide", "Apostrophe", "Comma", "Minus", "Period", "Slash", "Equals", "LeftBracket",
        "RightBracket", "Backslash", "Semicolon", "Grave", "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8",
        "F9", "F10", "F11", "F12", "NumLock", "ScrollLock", "PrintScreen",
    });
    return table;
}

}  // namespace

KeyboardDevice::KeyboardDevice() { SetDeviceType(kDeviceKeyboard); }
KeyboardDevice::~KeyboardDevice() = default;

int KeyboardDevice::GetKeyByName(const std::string& name) { return Find(KeyboardKeys(), name); }

MouseDevice::MouseDevice() { SetDeviceType(kDeviceMouse); }
MouseDevice::~MouseDevice() = default;

int MouseDevice::GetKeyByName(const std::string& name)
{
    static const NameTable table = Numbered({"LeftButton", "RightButton", "MiddleButton"});
    return Find(table, name);
}

int MouseDevice::GetAxisByName(const std::string& name)
{
    static const NameTable table = Numbered({"YawAxis", "PitchAxis", "RollAxis", "AllAxis"});
    return Find(table, name);
}

JoystickDevice::JoystickDevice() { SetDeviceType(kDeviceJoystick); }
JoystickDevice::~JoystickDevice() = default;

int JoystickDevice::GetKeyByName(const std::string& name)
{
    static const NameTable table = Numbered({"Key0", "Key1", "Key2", "Key3"});
    return Find(table, name);
}

int JoystickDevice::GetAxisByName(const std::string& name)
{
    static const NameTable table = Numbered({"Yaw", "Pitch", "Roll"});
    return Find(table, name);
}

}  // namespace EngineCore
