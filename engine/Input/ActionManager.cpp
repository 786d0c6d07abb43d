#include "engine/Input/ActionManager.h"

#include <vector>

#include "engine/Input/Action.h"
#include "engine/Input/InputEvent.h"

namespace EngineCore {

struct ActionManager::Impl {
    // Each action is held through its own pointer so that a callback that grows the
    // table does not move the action that is running it.
    std::vector<std::shared_ptr<Action>> slots = std::vector<std::shared_ptr<Action>>(1);
    std::vector<bool> occupied = std::vector<bool>(1, false);

    int Count() const { return static_cast<int>(slots.size()); }
    bool Valid(int id) const { return id >= 0 && id < Count() && occupied[static_cast<size_t>(id)]; }
    // The running action stays alive for the call even if the callback drops its slot.
    std::shared_ptr<Action> Get(int id) const { return Valid(id) ? slots[static_cast<size_t>(id)] : nullptr; }
};

ActionManager::ActionManager() : _impl(new Impl) {}
ActionManager::~ActionManager() = default;

bool ActionManager::RegisterAction(int id, const ActionInfo& info)
{
    if (id < 0)
        return false;
    if (id >= _impl->Count()) {
        int count = 2;
        while (count <= id)
            count *= 2;
        _impl->slots.resize(static_cast<size_t>(count));
        _impl->occupied.resize(static_cast<size_t>(count), false);
    }
    std::shared_ptr<Action> action = std::make_shared<Action>();
    action->SetActionInfo(info);
    _impl->slots[static_cast<size_t>(id)] = action;
    _impl->occupied[static_cast<size_t>(id)] = true;
    return true;
}

bool ActionManager::UnregisterAction(int id)
{
    if (!_impl->Valid(id))
        return false;
    _impl->slots[static_cast<size_t>(id)].reset();
    _impl->occupied[static_cast<size_t>(id)] = false;
    return true;
}

bool ActionManager::IsExistAction(int id) const { return _impl->Valid(id); }

bool ActionManager::IsActionOn(int id) const
{
    const std::shared_ptr<Action> action = _impl->Get(id);
    return action && action->GetActionState() == Action::kOn;
}

void ActionManager::Clear()
{
    _impl->slots.clear();
    _impl->occupied.clear();
}

int ActionManager::GetSlotCount() const { return _impl->Count(); }

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
    for (int id = 0; id < _impl->Count(); ++id) {
        const std::shared_ptr<Action> action = _impl->Get(id);
        if (action)
            action->Update();
    }
}

}  // namespace EngineCore
