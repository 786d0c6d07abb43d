#include "engine/GUI/Control.h"

#include "engine/GUI/GUISystem.h"

namespace EngineCore {

void Control::Enable()
{
    _enabled = true;
    GUISystem::Instance().ResortControls();
}

void Control::Disable()
{
    _enabled = false;
    GUISystem::Instance().ResortControls();
}

void Control::SetPriority(float priority)
{
    _priority = priority;
    _viewRectDirty = true;
    GUISystem::Instance().ResortControls();
}

void Control::SetPosition(const CPoint& position)
{
    _position = position;
    _viewRectDirty = true;
}

void Control::SetSize(const CSize& size)
{
    _size = size;
    _viewRectDirty = true;
}

// Computed in 64 bits and clamped, so a far-off control cannot wrap into view.
const CRect& Control::GetViewRect() const
{
    if (_viewRectDirty) {
        auto clamp = [](int64_t v) {
            return static_cast<int32_t>(v > INT32_MAX ? INT32_MAX : (v < INT32_MIN ? INT32_MIN : v));
        };
        _viewRect.left = _position.x;
        _viewRect.top = _position.y;
        _viewRect.right = clamp(int64_t{_position.x} + _size.cx);
        _viewRect.bottom = clamp(int64_t{_position.y} + _size.cy);
        _viewRectDirty = false;
    }
    return _viewRect;
}

bool Control::IsCollided(const CPoint&) const
{
    return true;
}

}  // namespace EngineCore
