#include "engine/Input/KeyboardActionManager.h"

#include "engine/GUI/GUISystem.h"
#include "engine/Input/ActionDevice.h"
#include "engine/Input/ActionManager.h"

namespace EngineCore {

struct KeyboardActionManager::Impl {
    ActionDevice device{InputDevice::kDeviceKeyboard};
    ActionManager actions;
};

KeyboardActionManager::KeyboardActionManager() : _impl(new Impl) {}
KeyboardActionManager::~KeyboardActionManager() = default;

void KeyboardActionManager::SetDevice(const std::shared_ptr<InputDevice>& device)
{
    _impl->device.Set(device);
}

const std::shared_ptr<InputDevice>& KeyboardActionManager::GetDivice() const { return _impl->device.Get(); }

bool KeyboardActionManager::RegisterAction(int key, const ActionInfo& info)
{
    return _impl->actions.RegisterAction(key, info);
}

bool KeyboardActionManager::UnregisterAction(int key) { return _impl->actions.UnregisterAction(key); }

const ActionManager& KeyboardActionManager::GetActions() const { return _impl->actions; }

void KeyboardActionManager::Clear()
{
    _impl->device.ClearEvents();
    _impl->actions.Clear();
}

void KeyboardActionManager::Update()
{
    if (!_impl->device.Get())
        return;
    _impl->device.Drain(InputEvent::kEventKeyboard, [this](const std::shared_ptr<InputEvent>& event) {
        const int key = static_cast<const KeyboardEvent&>(*event).GetKeyType();
        const int state = event->GetState();
        const bool passed = GUISystem::Instance().AddEvent(event);
        if (state == InputEvent::kStatePressed && passed)
            _impl->actions.OnAction(key, event);
        else if (state == InputEvent::kStateReleased && (passed || _impl->actions.IsActionOn(key)))
            _impl->actions.OffAction(key, event);
    });
    _impl->actions.Update();
}

}  // namespace EngineCore
