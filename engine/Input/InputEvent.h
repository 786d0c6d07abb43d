#pragma once
#include <cstdint>

namespace EngineCore {

// One queued input event. Handed around as std::shared_ptr<InputEvent>; the
// kinds below differ only in their fields (the destructor is the one virtual).
class InputEvent {
public:
    // Keyboard and mouse are numbered in the opposite order from the device types.
    enum EventType { kEventNone = 0, kEventKeyboard = 1, kEventMouse = 2, kEventJoystick = 3 };
    enum EventState { kStateUnset = 0, kStatePressed = 1, kStateReleased = 2, kStateAxisChanged = 3 };

    InputEvent() = default;
    InputEvent(const InputEvent&) = default;
    InputEvent& operator=(const InputEvent&) = default;
    virtual ~InputEvent() = default;

    void SetType(int type) { _type = type; }
    int GetType() const { return _type; }
    void SetState(int state) { _state = state; }
    int GetState() const { return _state; }

private:
    int _type = 0;
    int _state = 0;
};

class KeyboardEvent : public InputEvent {
public:
    KeyboardEvent() { SetType(kEventKeyboard); }

    // The character the key produced; -1 for none.
    void SetKeyChar(int keyChar) { _keyChar = keyChar; }
    int GetKeyChar() const { return _keyChar; }
    // A key number of the keyboard's name table (1-103); 0 for none.
    void SetKeyType(int key) { _key = key; }
    int GetKeyType() const { return _key; }

private:
    int _keyChar = -1;
    int _key = 0;
};

class MouseEvent : public InputEvent {
public:
    // x, y, the wheel position, and a fourth value the back-end leaves at 0.
    struct MousePosition {
        int16_t x = 0;
        int16_t y = 0;
        int16_t wheel = 0;
        int16_t reserved = 0;
    };

    MouseEvent() { SetType(kEventMouse); }

    void SetAxisValue(float value) { _axisValue = value; }
    float GetAxisValue() const { return _axisValue; }
    // Each value is stored as a signed 16-bit number (wider values wrap).
    void SetAbsolutePosition(int x, int y, int wheel, int reserved)
    {
        _position.x = static_cast<int16_t>(x);
        _position.y = static_cast<int16_t>(y);
        _position.wheel = static_cast<int16_t>(wheel);
        _position.reserved = static_cast<int16_t>(reserved);
    }
    const MousePosition& GetAbsolutePosition() const { return _position; }
    // Button 1-3 of the mouse's name table; 0 for none.
    void SetKeyType(int button) { _button = button; }
    int GetKeyType() const { return _button; }
    // Axis 1-4 of the mouse's name table; 0 for none.
    void SetAxisType(int axis) { _axis = axis; }
    int GetAxisType() const { return _axis; }

private:
    float _axisValue = 0.0f;
    MousePosition _position;
    int _button = 0;
    int _axis = 0;
};

class JoystickEvent : public InputEvent {
public:
    JoystickEvent() { SetType(kEventJoystick); }

    void SetAxisValue(float value) { _axisValue = value; }
    float GetAxisValue() const { return _axisValue; }
    void SetKeyType(int key) { _key = key; }
    int GetKeyType() const { return _key; }
    void SetAxisType(int axis) { _axis = axis; }
    int GetAxisType() const { return _axis; }

private:
    float _axisValue = 0.0f;
    int _key = 0;
    int _axis = 0;
};

}  // namespace EngineCore
