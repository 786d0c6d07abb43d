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
    _actions.Set(action, fn, data);
}

void EditBox::HandleEvent(const std::shared_ptr<GuiEvent>& event)
{
    if (!event || _state != kActive || event->GetType() != GuiEvent::kCharacter)
        return;
    _lastKeyChar = event->GetKeyChar();
    _actions.Run(1);
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
