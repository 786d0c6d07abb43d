#include "backend/Helpers/hgeGUI.h"

#include "backend/Base/HGESystemObject.h"
#include "backend/Helpers/hgeSprite.h"

namespace MobrixCore {

hgeGUI::hgeGUI() = default;

hgeGUI::~hgeGUI() = default;

void hgeGUI::SetCursor(const std::function<hgeSprite*()>& cursor)
{
    _cursor = cursor;
}

int hgeGUI::Update(float)
{
    HGE* hge = HGESystemObject::Instance().GetObjectW();
    if (!hge)
        return 0;
    hge->Input_GetMousePos(&_mouseX, &_mouseY);
    _leftPressed = hge->Input_KeyDown(HGEK_LBUTTON);
    _leftReleased = hge->Input_KeyUp(HGEK_LBUTTON);
    _rightPressed = hge->Input_KeyDown(HGEK_RBUTTON);
    _rightReleased = hge->Input_KeyUp(HGEK_RBUTTON);
    _wheel = hge->Input_GetMouseWheel();
    return 0;
}

void hgeGUI::Render()
{
    HGE* hge = HGESystemObject::Instance().GetObjectW();
    if (!hge || !_cursor || !hge->Input_IsMouseOver())
        return;
    // A copy: answering may run nothing, but the function is replaceable at any time.
    const std::function<hgeSprite*()> cursor = _cursor;
    hgeSprite* sprite = cursor();
    if (!sprite)
        return;
    sprite->Render(_mouseX / hge->Gfx_GetHorizontalScale() + hge->Gfx_GetHorizontalOffset(),
                   _mouseY / hge->Gfx_GetVerticalScale() + hge->Gfx_GetVerticalOffset());
}

}  // namespace MobrixCore
