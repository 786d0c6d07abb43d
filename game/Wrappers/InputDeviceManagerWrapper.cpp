#include "game/Wrappers/InputDeviceManagerWrapper.h"

#include <memory>
#include <string>

#include <lua.hpp>

#include "engine/Input/InputDevice.h"
#include "engine/Input/InputSystem.h"
#include "engine/Input/MouseActionManager.h"
#include "engine/Input/MouseDevice.h"
#include "game/Input/GameActionControllerManager.h"
#include "game/Input/GameActionManager.h"
#include "game/Input/GameDeviceManager.h"
#include "game/Wrappers/ScriptArguments.h"
#include "game/Wrappers/ScriptTextCheck.h"

namespace GameCore {

namespace {

GameActionManager* Actions()
{
    GameDeviceManager* manager = InputDeviceManagerWrapper::GetGameDeviceManager();
    return manager ? &manager->GetActionManager() : nullptr;
}

std::shared_ptr<EngineCore::MouseDevice> Mouse()
{
    const std::shared_ptr<EngineCore::DeviceManager>& manager = EngineCore::InputSystem::Instance().GetDeviceManager();
    std::shared_ptr<EngineCore::InputDevice> device;
    if (!manager || !manager->GetDevice(EngineCore::InputDevice::kDeviceMouse, device))
        return nullptr;
    return std::dynamic_pointer_cast<EngineCore::MouseDevice>(device);
}

float MouseAxis(int axis)
{
    const std::shared_ptr<EngineCore::MouseDevice> mouse = Mouse();
    return mouse ? mouse->GetAxisAbs(axis) : 0.0f;
}

using Register = void (GameActionManager::*)(const char*, const char*, const char*, const char*);
using Unregister = void (GameActionManager::*)(const char*);

// Logs each of a binding's texts that will run nothing (no '#', and no action function
// of that name either).
void CheckBindingTexts(GameActionManager& actions, const char* method, const std::string& name,
                       const std::string (&texts)[3])
{
    static const char* const kinds[3] = {"held", "down", "up"};
    const std::shared_ptr<GameActionControllerManager>& functions = actions.GetActionControllerManager();
    for (int i = 0; i < 3; ++i)
        if (RunsNothing(texts[i]) && !(functions && functions->IsExistAction(texts[i].c_str())))
            LogTextThatRunsNothing("InputDeviceManager:" + std::string(method) + "('" + name + "') " + kinds[i],
                                   texts[i]);
}

int RegisterWith(lua_State* L, Register registerAction, const char* method)
{
    const std::string name = CheckString(L, 1);
    const std::string texts[3] = {CheckString(L, 2), CheckString(L, 3), CheckString(L, 4)};
    if (GameActionManager* actions = Actions()) {
        CheckBindingTexts(*actions, method, name, texts);
        (actions->*registerAction)(name.c_str(), texts[0].c_str(), texts[1].c_str(), texts[2].c_str());
    }
    return 0;
}

int UnregisterWith(lua_State* L, Unregister unregisterAction)
{
    const std::string name = CheckString(L, 1);
    if (GameActionManager* actions = Actions())
        (actions->*unregisterAction)(name.c_str());
    return 0;
}

}  // namespace

const char InputDeviceManagerWrapper::className[] = "InputDeviceManager";

// The order of the rows is part of the script interface.
const GameLuaScriptImpl::LuaHelper<InputDeviceManagerWrapper>::RegType InputDeviceManagerWrapper::methods[] = {
    {"Clear", &InputDeviceManagerWrapper::Clear},
    {"GetMousePosition", &InputDeviceManagerWrapper::GetMousePosition},
    {"SetMousePosition", &InputDeviceManagerWrapper::SetMousePosition},
    {"GetMouseWheelPosition", &InputDeviceManagerWrapper::GetMouseWheelPosition},
    {"StopMouseEffect", &InputDeviceManagerWrapper::StopMouseEffect},
    {"StartMouseEffect", &InputDeviceManagerWrapper::StartMouseEffect},
    {"AddMassEffectClick", &InputDeviceManagerWrapper::AddMassEffectClick},
    {"RegisterMouseAction", &InputDeviceManagerWrapper::RegisterMouseAction},
    {"RegisterJoystickAction", &InputDeviceManagerWrapper::RegisterJoystickAction},
    {"RegisterKeyboardAction", &InputDeviceManagerWrapper::RegisterKeyboardAction},
    {"UnregisterMouseAction", &InputDeviceManagerWrapper::UnregisterMouseAction},
    {"UnregisterJoystickAction", &InputDeviceManagerWrapper::UnregisterJoystickAction},
    {"UnregisterKeyboardAction", &InputDeviceManagerWrapper::UnregisterKeyboardAction},
    {nullptr, nullptr},
};

InputDeviceManagerWrapper::InputDeviceManagerWrapper(lua_State*) {}

GameDeviceManager* InputDeviceManagerWrapper::GetGameDeviceManager()
{
    return dynamic_cast<GameDeviceManager*>(EngineCore::InputSystem::Instance().GetDeviceManager().get());
}

int InputDeviceManagerWrapper::Clear(lua_State*)
{
    if (GameActionManager* actions = Actions())
        actions->Clear();
    return 0;
}

int InputDeviceManagerWrapper::GetMousePosition(lua_State* L)
{
    PushFloat(L, MouseAxis(EngineCore::MouseDevice::kPitchAxis));
    PushFloat(L, MouseAxis(EngineCore::MouseDevice::kYawAxis));
    return 2;
}

int InputDeviceManagerWrapper::SetMousePosition(lua_State* L)
{
    const int x = CheckInt32(L, 1);
    const int y = CheckInt32(L, 2);
    // Game coordinates, as GetMousePosition gives them; the back-end maps them into our
    // own window, whatever window has the focus.
    if (const std::shared_ptr<EngineCore::MouseDevice> mouse = Mouse())
        mouse->SetMousePosition(static_cast<float>(x), static_cast<float>(y));
    return 0;
}

int InputDeviceManagerWrapper::GetMouseWheelPosition(lua_State* L)
{
    PushFloat(L, MouseAxis(EngineCore::MouseDevice::kRollAxis));
    return 1;
}

int InputDeviceManagerWrapper::StopMouseEffect(lua_State*)
{
    if (GameActionManager* actions = Actions())
        actions->GetMouseActionManager().StopMouseEffect();
    return 0;
}

int InputDeviceManagerWrapper::StartMouseEffect(lua_State* L)
{
    const float span = CheckFloat(L, 1);
    const uint32_t count = CheckUint32(L, 2);
    const float duration = CheckFloat(L, 3);
    if (GameActionManager* actions = Actions())
        actions->GetMouseActionManager().StartMouseEffect(span, count, duration);
    return 0;
}

int InputDeviceManagerWrapper::AddMassEffectClick(lua_State*)
{
    if (GameActionManager* actions = Actions())
        actions->GetMouseActionManager().AddClick();
    return 0;
}

int InputDeviceManagerWrapper::RegisterMouseAction(lua_State* L)
{
    return RegisterWith(L, &GameActionManager::RegisterMouseAction, "RegisterMouseAction");
}

int InputDeviceManagerWrapper::RegisterJoystickAction(lua_State* L)
{
    return RegisterWith(L, &GameActionManager::RegisterJoystickAction, "RegisterJoystickAction");
}

int InputDeviceManagerWrapper::RegisterKeyboardAction(lua_State* L)
{
    return RegisterWith(L, &GameActionManager::RegisterKeyboardAction, "RegisterKeyboardAction");
}

int InputDeviceManagerWrapper::UnregisterMouseAction(lua_State* L)
{
    return UnregisterWith(L, &GameActionManager::UnregisterMouseAction);
}

int InputDeviceManagerWrapper::UnregisterJoystickAction(lua_State* L)
{
    return UnregisterWith(L, &GameActionManager::UnregisterJoystickAction);
}

int InputDeviceManagerWrapper::UnregisterKeyboardAction(lua_State* L)
{
    return UnregisterWith(L, &GameActionManager::UnregisterKeyboardAction);
}

}  // namespace GameCore
