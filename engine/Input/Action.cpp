#include "engine/Input/Action.h"

#include "engine/Input/InputEvent.h"

namespace EngineCore {

namespace {

void Call(const ActionInfo::Callback& callback, void* user, const std::shared_ptr<InputEvent>& event)
{
    if (!callback)
        return;
    // The copy keeps the function alive if the call replaces or frees its action.
    const ActionInfo::Callback copy = callback;
    copy(user, event);
}

}  // namespace

Action& Action::operator=(const Action& other)
{
    _info = other._info;
    _lastState = other._lastState;
    _state = other._state;
    return *this;
}

void Action::SetActionInfo(const ActionInfo& info) { _info = info; }

void Action::SetActionState(int state)
{
    _lastState = _state;
    _state = state;
}

void Action::Update()
{
    if (_state == kOn)
        Call(_info.whileActive, _info.user, std::shared_ptr<InputEvent>());
}

void Action::OnAction(const std::shared_ptr<InputEvent>& event)
{
    SetActionState(kOn);
    Call(_info.on, _info.user, event);
}

void Action::OffAction(const std::shared_ptr<InputEvent>& event)
{
    SetActionState(kOff);
    Call(_info.off, _info.user, event);
}

}  // namespace EngineCore
