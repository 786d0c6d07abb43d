#pragma once
// A mouse the tests steer: buttons held and the pointer position are plain fields,
// installed as device 1 of a device manager of its own in the input system.
#include <memory>

#include "engine/Input/DeviceManager.h"
#include "engine/Input/InputSystem.h"
#include "engine/Input/MouseDevice.h"

namespace TestSupport {

class FakeMouse : public EngineCore::MouseDevice {
public:
    void OnKeyDown(int) override {}
    void OnKeyUp(int) override {}
    void SetMousePosition(float px, float py) override
    {
        x = px;
        y = py;
    }
    void SetAxisAbs(int, float) override {}
    void SetAxisRel(int, float) override {}
    float GetAxisAbs(int axis) const override { return axis == kPitchAxis ? x : (axis == kYawAxis ? y : 0.0f); }
    int GetKeyStatus(int button) const override
    {
        return button >= 1 && button <= 3 && down[button] ? kKeyDown : kKeyUp;
    }

    float x = 0;
    float y = 0;
    bool down[4] = {false, false, false, false};
};

// Installs a fresh manager holding `mouse` (or none) for its lifetime.
class MouseInstaller {
public:
    explicit MouseInstaller(const std::shared_ptr<FakeMouse>& mouse)
    {
        auto manager = std::make_shared<EngineCore::DeviceManager>();
        if (mouse)
            manager->SetDevice(EngineCore::InputDevice::kDeviceMouse, mouse);
        EngineCore::InputSystem::Instance().SetDeviceManager(manager);
    }
    ~MouseInstaller() { EngineCore::InputSystem::Instance().SetDeviceManager(nullptr); }
    MouseInstaller(const MouseInstaller&) = delete;
    MouseInstaller& operator=(const MouseInstaller&) = delete;
};

}  // namespace TestSupport
