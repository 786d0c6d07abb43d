#include "engine/Input/KeyboardActionManager.h"

#include "engine/GUI/GUISystem.h"
#include "engine/Input/ActionManager.h"
#include "engine/Input/InputDevice.h"
#include "engine/Input/InputEvent.h"

namespace EngineCore {

struct KeyboardActionManager::Impl {
    std::shared_ptr<InputDevice> device;
    ActionManager actions;
};

KeyboardActionManager::KeyboardActionManager() : _impl(new Impl) {}
KeyboardActionManager::~KeyboardActionManager() = default;

void KeyboardActionManager::SetDevice(const std::shared_ptr<InputDevice>& device)
{
    if (device && device->GetDeviceType() == InputDevice::kDeviceKeyboard)
        _impl->device = device;
}

const std::shared_ptr<InputDevice>& KeyboardActionManager::GetDivice() const { return _impl->device; }

bool KeyboardActionManager::RegisterAction(int key, const ActionInfo& info)
{
    return _impl->actions.RegisterAction(key, info);
}

bool KeyboardActionManager::UnregisterAction(int key) { return _impl->actions.UnregisterAction(key); }

const ActionManager& KeyboardActionManager::GetActions() const { return _impl->actions; }

void KeyboardActionManager::Clear()
{
    if (_impl->device)
        _impl->device->Clear();
    _impl->actions.Clear();
}

void KeyboardActionManager::Update()
{
    // The device is held for the whole drain: a callback may replace it.
    const std::shared_ptr<InputDevice> device = _impl->device;
    if (!device)
        return;
    std::shared_ptr<InputEvent> event;
    while (device->GetNextEvent(event)) {
        const std::shared_ptr<InputEvent> current = std::move(event);
        event.reset();
        if (!current || current->GetType() != InputEvent::kEventKeyboard)
            continue;
        const int key = static_cast<const KeyboardEvent&>(*current).GetKeyType();
        const int state = current->GetState();
        const bool passed = GUISystem::Instance().AddEvent(current);
        if (state == InputEvent::kStatePressed && passed)
            _impl->actions.OnAction(key, current);
        else if (state == InputEvent::kStateReleased && (passed || _impl->actions.IsActionOn(key)))
            _impl->actions.OffAction(key, current);
    }
    _impl->actions.Update();
}

}  // namespace EngineCore
