#pragma once
#include <memory>

namespace EngineCore {

class InputDevice;

// The registry of the input devices in use: one slot per device type (1 mouse,
// 2 keyboard, 3 joystick). The game derives its own manager and overrides the
// per-frame steps.
class DeviceManager {
public:
    DeviceManager();
    virtual ~DeviceManager();
    DeviceManager(const DeviceManager&) = delete;
    DeviceManager& operator=(const DeviceManager&) = delete;

    // False for a type outside 1-3; otherwise replaces the slot's device.
    bool SetDevice(int type, const std::shared_ptr<InputDevice>& device);
    // False for a type outside 1-3 or an empty slot.
    bool GetDevice(int type, std::shared_ptr<InputDevice>& device) const;

    virtual void Init();
    // Empties every slot.
    virtual void Release();
    // Updates the devices of slots 1, 2 and 3 in that order.
    virtual void Update(float dt);

private:
    static const int kSlots = 4;
    std::shared_ptr<InputDevice> _devices[kSlots];
};

}  // namespace EngineCore
