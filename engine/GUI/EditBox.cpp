#include "engine/GUI/EditBox.h"

namespace EngineCore {

EditBox::EditBox()
{
    SetType(kEditBox);
}

EditBox::~EditBox() = default;

void EditBox::Reset()
{
    _state = kInactive;
}

void EditBox::SetAction(int action, const std::function<void(void*)>& fn, void* data)
{
    if (action < 0 || action > 2)
        return;
    _actions[action] = fn;
    _actionData[action] = data;
}

void EditBox::HandleEvent(const std::shared_ptr<GuiEvent>& event)
{
    if (!event || _state != kActive || event->GetType() != GuiEvent::kCharacter)
        return;
    _lastKeyChar = event->GetKeyChar();
    const std::function<void(void*)> fn = _actions[1];
    if (fn)
        fn(_actionData[1]);
}

void EditBox::SetState(EditBoxState state)
{
    if (state == _state)
        return;
    if (!IsVisible() && state == kActive)
        Enable();
    else if (state == kInactive)
        Disable();
    _state = state;
}

int EditBox::PopLastKeyChar() const
{
    const int value = _lastKeyChar;
    _lastKeyChar = -1;
    return value;
}

}  // namespace EngineCore
