#include "engine/Input/JoystickActionManager.h"

#include "engine/Input/ActionManager.h"
#include "engine/Input/InputDevice.h"
#include "engine/Input/InputEvent.h"

namespace EngineCore {

struct JoystickActionManager::Impl {
    std::shared_ptr<InputDevice> device;
    ActionManager keys;
    ActionManager axes;
};

JoystickActionManager::JoystickActionManager() : _impl(new Impl) {}
JoystickActionManager::~JoystickActionManager() = default;

void JoystickActionManager::SetDevice(const std::shared_ptr<InputDevice>& device)
{
    if (device && device->GetDeviceType() == InputDevice::kDeviceJoystick)
        _impl->device = device;
}

const std::shared_ptr<InputDevice>& JoystickActionManager::GetDivice() const { return _impl->device; }

bool JoystickActionManager::RegisterKeyAction(int key, const ActionInfo& info)
{
    return _impl->keys.RegisterAction(key, info);
}

bool JoystickActionManager::RegisterAxisAction(int axis, const ActionInfo& info)
{
    return _impl->axes.RegisterAction(axis, info);
}

bool JoystickActionManager::UnregisterKeyAction(int key) { return _impl->keys.UnregisterAction(key); }
bool JoystickActionManager::UnregisterAxisAction(int axis) { return _impl->axes.UnregisterAction(axis); }
const ActionManager& JoystickActionManager::GetKeyActions() const { return _impl->keys; }
const ActionManager& JoystickActionManager::GetAxisActions() const { return _impl->axes; }

void JoystickActionManager::Clear()
{
    if (_impl->device)
        _impl->device->Clear();
    _impl->keys.Clear();
    _impl->axes.Clear();
}

void JoystickActionManager::Update()
{
    const std::shared_ptr<InputDevice> device = _impl->device;
    if (!device)
        return;
    std::shared_ptr<InputEvent> event;
    while (device->GetNextEvent(event)) {
        const std::shared_ptr<InputEvent> current = std::move(event);
        event.reset();
        if (!current || current->GetType() != InputEvent::kEventJoystick)
            continue;
        const JoystickEvent& joystick = static_cast<const JoystickEvent&>(*current);
        const int state = current->GetState();
        const int key = joystick.GetKeyType();
        if (key != 0) {
            if (!_impl->keys.IsExistAction(key))
                continue;
            if (state == InputEvent::kStatePressed)
                _impl->keys.OnAction(key, current);
            else if (state == InputEvent::kStateReleased)
                _impl->keys.OffAction(key, current);
        }
        if (state == InputEvent::kStateAxisChanged)
            _impl->axes.OnAction(joystick.GetAxisType(), current);
    }
}

}  // namespace EngineCore
