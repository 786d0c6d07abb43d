#include "backend/Base/HGEKeyboardDevice.h"

#include "backend/Base/HGEInputDevice.h"
#include "backend/Base/HGESystemObject.h"

namespace MobrixCore {

HGEKeyboardDevice::HGEKeyboardDevice() = default;
HGEKeyboardDevice::~HGEKeyboardDevice() = default;

bool HGEKeyboardDevice::Clear()
{
    HGEInputDevice::Instance().ClearEvents(kDeviceKeyboard);
    return true;
}

void HGEKeyboardDevice::Update() { HGEInputDevice::Instance().Update(); }

bool HGEKeyboardDevice::GetNextEvent(std::shared_ptr<EngineCore::InputEvent>& event) const
{
    return HGEInputDevice::Instance().TakeEvent(kDeviceKeyboard, event);
}

void HGEKeyboardDevice::OnKeyDown(int) {}
void HGEKeyboardDevice::OnKeyUp(int) {}

int HGEKeyboardDevice::GetKeyStatus(int key) const
{
    const int code = HGEInputDevice::CodeOfKey(key);
    HGE* hge = HGESystemObject::Instance().GetObjectW();
    return code != 0 && hge && hge->Input_GetKeyState(code) ? kKeyDown : kKeyUp;
}

}  // namespace MobrixCore
