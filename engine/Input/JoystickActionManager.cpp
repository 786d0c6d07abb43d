#include "engine/Input/JoystickActionManager.h"

#include "engine/Input/ActionDevice.h"
#include "engine/Input/ActionManager.h"

namespace EngineCore {

struct JoystickActionManager::Impl {
    ActionDevice device{InputDevice::kDeviceJoystick};
    ActionManager keys;
    ActionManager axes;
};

JoystickActionManager::JoystickActionManager() : _impl(new Impl) {}
JoystickActionManager::~JoystickActionManager() = default;

void JoystickActionManager::SetDevice(const std::shared_ptr<InputDevice>& device)
{
    _impl->device.Set(device);
}

const std::shared_ptr<InputDevice>& JoystickActionManager::GetDivice() const { return _impl->device.Get(); }

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
    _impl->device.ClearEvents();
    _impl->keys.Clear();
    _impl->axes.Clear();
}

void JoystickActionManager::Update()
{
    _impl->device.Drain(InputEvent::kEventJoystick, [this](const std::shared_ptr<InputEvent>& event) {
        const JoystickEvent& joystick = static_cast<const JoystickEvent&>(*event);
        FireKeyAndAxis(_impl->keys, _impl->axes, joystick.GetKeyType(), joystick.GetAxisType(), event);
    });
}

}  // namespace EngineCore
