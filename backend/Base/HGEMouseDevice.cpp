#include "backend/Base/HGEMouseDevice.h"

#include "backend/Base/HGEInputDevice.h"
#include "backend/Base/HGESystemObject.h"

namespace MobrixCore {

HGEMouseDevice::HGEMouseDevice() = default;
HGEMouseDevice::~HGEMouseDevice() = default;

bool HGEMouseDevice::Clear()
{
    HGEInputDevice::Instance().ClearEvents(kDeviceMouse);
    return true;
}

void HGEMouseDevice::Update() { HGEInputDevice::Instance().Update(); }

bool HGEMouseDevice::GetNextEvent(std::shared_ptr<EngineCore::InputEvent>& event) const
{
    return HGEInputDevice::Instance().TakeEvent(kDeviceMouse, event);
}

void HGEMouseDevice::OnKeyDown(int) {}
void HGEMouseDevice::OnKeyUp(int) {}

void HGEMouseDevice::SetMousePosition(float x, float y)
{
    // The layer takes game coordinates and maps them into the window through the same
    // scale and offsets that GetAxisAbs undoes, so a position read and written back
    // stays where it is in every screen mode.
    if (HGE* hge = HGESystemObject::Instance().GetObjectW())
        hge->Input_SetMousePos(x, y);
}

void HGEMouseDevice::SetAxisAbs(int, float) {}
void HGEMouseDevice::SetAxisRel(int, float) {}

float HGEMouseDevice::GetAxisAbs(int axis) const
{
    HGE* hge = HGESystemObject::Instance().GetObjectW();
    if (!hge)
        return 0.0f;
    const HGEInputDevice::PointerMapping mapping = HGEInputDevice::CurrentMapping(hge);
    float x = 0.0f, y = 0.0f;
    switch (axis) {
    case kYawAxis:
        hge->Input_GetMousePos(&x, &y);
        return mapping.GameY(y);
    case kPitchAxis:
        hge->Input_GetMousePos(&x, &y);
        return mapping.GameX(x);
    case kRollAxis:
        return static_cast<float>(hge->Input_GetMouseWheel());
    default:
        return 0.0f;
    }
}

int HGEMouseDevice::GetKeyStatus(int button) const
{
    int code = 0;
    switch (button) {
    case kLeftButton:
        code = HGEK_LBUTTON;
        break;
    case kRightButton:
        code = HGEK_RBUTTON;
        break;
    case kMiddleButton:
        code = HGEK_MBUTTON;
        break;
    default:
        return kKeyUp;
    }
    HGE* hge = HGESystemObject::Instance().GetObjectW();
    return hge && hge->Input_GetKeyState(code) ? kKeyDown : kKeyUp;
}

}  // namespace MobrixCore
