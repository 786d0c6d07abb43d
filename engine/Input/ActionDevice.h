#pragma once
// What the keyboard, mouse and joystick action managers share: the one device of their
// kind they read, and how its key and axis events fire actions.
#include <memory>
#include <utility>

#include "engine/Input/InputDevice.h"
#include "engine/Input/InputEvent.h"

namespace EngineCore {

class ActionManager;

class ActionDevice {
public:
    explicit ActionDevice(int deviceType) : _deviceType(deviceType) {}

    // Takes the device only when it is of the kind given at construction.
    void Set(const std::shared_ptr<InputDevice>& device)
    {
        if (device && device->GetDeviceType() == _deviceType)
            _device = device;
    }
    const std::shared_ptr<InputDevice>& Get() const { return _device; }

    // Drops the device's queued events.
    void ClearEvents() const
    {
        if (_device)
            _device->Clear();
    }

    // Hands every queued event of `eventType` to `handle`, in order. The device is held
    // for the whole drain: a callback may replace it.
    template <typename Handle>
    void Drain(int eventType, Handle&& handle) const
    {
        const std::shared_ptr<InputDevice> device = _device;
        if (!device)
            return;
        std::shared_ptr<InputEvent> event;
        while (device->GetNextEvent(event)) {
            const std::shared_ptr<InputEvent> current = std::move(event);
            event.reset();
            if (current && current->GetType() == eventType)
                handle(current);
        }
    }

private:
    int _deviceType;
    std::shared_ptr<InputDevice> _device;
};

// An event of a device with keys and axes: a key (not 0) that has an action is turned on
// by a press and off by a release, an event of a key without one goes no further; an
// axis change fires the axis's action.
void FireKeyAndAxis(ActionManager& keys, ActionManager& axes, int key, int axis,
                    const std::shared_ptr<InputEvent>& event);

}  // namespace EngineCore
