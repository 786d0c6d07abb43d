#pragma once
#include <memory>

namespace EngineCore {

class EventFilter;
class InputEvent;

// One source of input events, queued by its Update and handed out by GetNextEvent.
// The type is also the device manager's slot. A device never keeps its filter
// alive on its own.
class InputDevice {
public:
    enum DeviceType { kDeviceNone = 0, kDeviceMouse = 1, kDeviceKeyboard = 2, kDeviceJoystick = 3 };

    InputDevice();
    virtual ~InputDevice();
    InputDevice(const InputDevice&) = delete;
    InputDevice& operator=(const InputDevice&) = delete;

    // Drops queued events.
    virtual bool Clear();
    virtual bool Close();
    // Collects this frame's input.
    virtual void Update();
    virtual bool Open(void* parameter);
    virtual bool IsValid() const;
    // Hands out the next queued event; false when none is left.
    virtual bool GetNextEvent(std::shared_ptr<InputEvent>& event) const;

    int GetDeviceType() const;

    bool SetEventFilter(const std::shared_ptr<EventFilter>& filter);
    // False when no filter is set, or when this device was its only holder (the
    // filter is then dropped).
    bool GetEventFilter(std::shared_ptr<EventFilter>& filter) const;

protected:
    void SetDeviceType(int type);

private:
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace EngineCore
