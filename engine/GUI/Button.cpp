#include "engine/GUI/Button.h"

namespace EngineCore {

Button::Button() : _collision(*this)
{
    SetType(kButton);
}

Button::~Button() = default;

// A button disabled through its state comes back enabled as well: a reset that
// left the flag off would leave a button that reports state 0 and ignores the mouse.
void Button::Reset()
{
    if (_state == kDisabled)
        SetState(kNormal);
    _state = kNormal;
}

void Button::SetAction(int action, const std::function<void(void*)>& fn, void* data)
{
    _actions.Set(action, fn, data);
}

void Button::HandleEvent(const std::shared_ptr<GuiEvent>& event)
{
    const ButtonState before = _state;
    if (!event || before == kDisabled)
        return;
    switch (event->GetType()) {
    case GuiEvent::kMouseOver:
        if (before == kNormal) {
            _state = kMouseOver;
            _actions.Run(kActionOver);
        }
        break;
    case GuiEvent::kMouseOut:
        if (before == kMouseOver || before == kPressed)
            _actions.Run(kActionOut);
        if (_state != kNormal)
            SetState(kNormal);
        break;
    case GuiEvent::kPress:
        if (before != kPressed)
            _state = kPressed;
        break;
    case GuiEvent::kClick:
        if (before == kPressed || before == kMouseOver) {
            _actions.Run(kActionClick);
            if (_state != kMouseOver && _state != kDisabled)
                _state = kMouseOver;
        }
        break;
    default:
        break;
    }
}

void Button::SetState(ButtonState state)
{
    if (state == _state || (_state == kDisabled && state == kMouseOver))
        return;
    if (!IsVisible() && state == kNormal)
        Enable();
    else if (state == kDisabled)
        Disable();
    _state = state;
}

void Button::SetCollisionSprite(const std::shared_ptr<Resource>& sprite)
{
    _collision.Set(sprite);
}

void Button::SetQuestAction(const std::function<void(void*, const char*)>& fn, const char* itemName, void* data)
{
    _questItemName = itemName ? itemName : "";
    _questData = data;
    _questAction = fn;
}

bool Button::OnQuestAction(const char* itemName)
{
    if (!_questAction || !itemName || _questItemName != itemName)
        return false;
    const std::function<void(void*, const char*)> fn = _questAction;
    // The name is copied too: the action may replace the quest item it is compared with.
    const std::string name = itemName;
    fn(_questData, name.c_str());
    return true;
}

}  // namespace EngineCore
