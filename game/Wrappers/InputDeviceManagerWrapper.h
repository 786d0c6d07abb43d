#pragma once
#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"

struct lua_State;

namespace GameCore {

class GameDeviceManager;

// Script class "InputDeviceManager": binds script texts to mouse buttons and axes,
// keyboard keys and joystick keys and axes, reads and places the pointer, reads the
// wheel and arms the mouse effect. It holds nothing: every object works on the game's
// device manager installed in the input system, so bindings outlive the game state that
// made them and their texts run in whichever state is current when they fire. Without
// that manager every method does nothing (reads give 0).
class InputDeviceManagerWrapper {
public:
    static const char className[];
    static const GameLuaScriptImpl::LuaHelper<InputDeviceManagerWrapper>::RegType methods[];

    explicit InputDeviceManagerWrapper(lua_State* state);
    InputDeviceManagerWrapper(const InputDeviceManagerWrapper&) = delete;
    InputDeviceManagerWrapper& operator=(const InputDeviceManagerWrapper&) = delete;

    // The input system's device manager when it is the game's; null otherwise.
    static GameDeviceManager* GetGameDeviceManager();

    int Clear(lua_State* L);
    int GetMousePosition(lua_State* L);
    int SetMousePosition(lua_State* L);
    int GetMouseWheelPosition(lua_State* L);
    int StopMouseEffect(lua_State* L);
    int StartMouseEffect(lua_State* L);
    int AddMassEffectClick(lua_State* L);
    int RegisterMouseAction(lua_State* L);
    int RegisterJoystickAction(lua_State* L);
    int RegisterKeyboardAction(lua_State* L);
    int UnregisterMouseAction(lua_State* L);
    int UnregisterJoystickAction(lua_State* L);
    int UnregisterKeyboardAction(lua_State* L);
};

}  // namespace GameCore
