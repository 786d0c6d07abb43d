#include "engine/Input/ActionManager.h"

#include "engine/Input/Action.h"
#include "engine/Input/InputEvent.h"
#include "engine/System/SlotArray.h"

namespace EngineCore {

struct ActionManager::Impl {
    // Each action is held through its own pointer so that a callback that grows the
    // table does not move the action that is running it.
    SlotArray<std::shared_ptr<Action>> slots;

    // The running action stays alive for the call even if the callback drops its slot.
    std::shared_ptr<Action> Get(int id) const { return slots.IsValid(id) ? slots.At(id) : nullptr; }
};

ActionManager::ActionManager() : _impl(new Impl) {}

ActionManager::~ActionManager() = default;

bool ActionManager::RegisterAction(int id, const ActionInfo& info)
{
    std::shared_ptr<Action> action = std::make_shared<Action>();
    action->SetActionInfo(info);
    return _impl->slots.Set(id, action);
}

bool ActionManager::UnregisterAction(int id)
{
    return _impl->slots.Remove(id);
}

bool ActionManager::IsExistAction(int id) const { return _impl->slots.IsValid(id); }

bool ActionManager::IsActionOn(int id) const
{
    const std::shared_ptr<Action> action = _impl->Get(id);
    return action && action->GetActionState() == Action::kOn;
}

void ActionManager::Clear()
{
    _impl->slots.Clear();
}

int ActionManager::GetSlotCount() const { return _impl->slots.GetCount(); }

bool ActionManager::OnAction(int id, const std::shared_ptr<InputEvent>& event)
{
    const std::shared_ptr<Action> action = _impl->Get(id);
    if (!action)
        return false;
    action->OnAction(event);
    return true;
}

bool ActionManager::OffAction(int id, const std::shared_ptr<InputEvent>& event)
{
    const std::shared_ptr<Action> action = _impl->Get(id);
    if (!action)
        return false;
    action->OffAction(event);
    return true;
}

void ActionManager::Update()
{
    // By index, with the bound read again each step: a callback may resize the table.
    for (int id = 0; id < _impl->slots.GetCount(); ++id) {
        const std::shared_ptr<Action> action = _impl->Get(id);
        if (action)
            action->Update();
    }
}

}  // namespace EngineCore
