#pragma once
// Keyboard and mouse devices whose events a test queues by hand; the mouse keeps a
// pointer position that SetMousePosition moves and GetAxisAbs reports, and the buttons
// a test holds down.
#include <deque>
#include <memory>
#include <vector>

#include "engine/Input/DeviceManager.h"
#include "engine/Input/InputEvent.h"
#include "engine/Input/InputSystem.h"
#include "engine/Input/KeyboardDevice.h"
#include "engine/Input/MouseDevice.h"

namespace TestSupport {

class FakeKeyboard : public EngineCore::KeyboardDevice {
public:
    mutable std::deque<std::shared_ptr<EngineCore::InputEvent>> queue;
    int updates = 0;
    int clears = 0;

    void Press(int key, int chr = -1) { Push(key, chr, EngineCore::InputEvent::kStatePressed); }
    void Release(int key) { Push(key, -1, EngineCore::InputEvent::kStateReleased); }
    void Push(int key, int chr, int state)
    {
        auto event = std::make_shared<EngineCore::KeyboardEvent>();
        event->SetKeyType(key);
        event->SetKeyChar(chr);
        event->SetState(state);
        queue.push_back(event);
    }

    bool Clear() override
    {
        ++clears;
        queue.clear();
        return true;
    }
    void Update() override { ++updates; }
    bool GetNextEvent(std::shared_ptr<EngineCore::InputEvent>& event) const override
    {
        if (queue.empty())
            return false;
        event = queue.front();
        queue.pop_front();
        return true;
    }
    void OnKeyDown(int) override {}
    void OnKeyUp(int) override {}
    int GetKeyStatus(int) const override { return kKeyUp; }
};

class FakeMouse : public EngineCore::MouseDevice {
public:
    mutable std::deque<std::shared_ptr<EngineCore::InputEvent>> queue;
    float x = 0.0f;
    float y = 0.0f;
    float wheel = 0.0f;
    std::vector<std::pair<float, float>> moves;  // every SetMousePosition
    int updates = 0;

    std::shared_ptr<EngineCore::MouseEvent> Button(int button, int state)
    {
        auto event = std::make_shared<EngineCore::MouseEvent>();
        event->SetKeyType(button);
        event->SetState(state);
        event->SetAbsolutePosition(int(x), int(y), int(wheel), 0);
        queue.push_back(event);
        return event;
    }
    std::shared_ptr<EngineCore::MouseEvent> Axis(int axis)
    {
        auto event = std::make_shared<EngineCore::MouseEvent>();
        event->SetAxisType(axis);
        event->SetState(EngineCore::InputEvent::kStateAxisChanged);
        event->SetAbsolutePosition(int(x), int(y), int(wheel), 0);
        queue.push_back(event);
        return event;
    }

    bool Clear() override
    {
        queue.clear();
        return true;
    }
    void Update() override { ++updates; }
    bool GetNextEvent(std::shared_ptr<EngineCore::InputEvent>& event) const override
    {
        if (queue.empty())
            return false;
        event = queue.front();
        queue.pop_front();
        return true;
    }
    void OnKeyDown(int) override {}
    void OnKeyUp(int) override {}
    void SetMousePosition(float px, float py) override
    {
        x = px;
        y = py;
        moves.emplace_back(px, py);
    }
    void SetAxisAbs(int, float) override {}
    void SetAxisRel(int, float) override {}
    float GetAxisAbs(int axis) const override
    {
        return axis == kPitchAxis ? x : axis == kYawAxis ? y : axis == kRollAxis ? wheel : 0.0f;
    }
    // Buttons 1-3 held down, as the test sets them.
    int GetKeyStatus(int button) const override
    {
        return button >= 1 && button <= 3 && down[button] ? kKeyDown : kKeyUp;
    }
    bool down[4] = {false, false, false, false};
};

// Makes `mouse` the input system's mouse for the guard's lifetime (the GUI reads
// the pointer and the buttons there); the previous device manager comes back.
class InputSystemMouse {
public:
    explicit InputSystemMouse(const std::shared_ptr<EngineCore::MouseDevice>& mouse)
        : _previous(EngineCore::InputSystem::Instance().GetDeviceManager())
    {
        auto manager = std::make_shared<EngineCore::DeviceManager>();
        manager->SetDevice(EngineCore::InputDevice::kDeviceMouse, mouse);
        EngineCore::InputSystem::Instance().SetDeviceManager(manager);
    }
    ~InputSystemMouse() { EngineCore::InputSystem::Instance().SetDeviceManager(_previous); }
    InputSystemMouse(const InputSystemMouse&) = delete;
    InputSystemMouse& operator=(const InputSystemMouse&) = delete;

private:
    std::shared_ptr<EngineCore::DeviceManager> _previous;
};

}  // namespace TestSupport
