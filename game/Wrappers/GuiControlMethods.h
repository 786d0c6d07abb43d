#pragma once
// Script methods the GUI control classes have alike; each reads its arguments from the
// stack and returns the count of results it pushed.

struct lua_State;

namespace EngineCore {
class Control;
}

namespace GameCore {

// (width, height)
int SetControlSize(lua_State* L, EngineCore::Control& control);
// (flag): shows or hides the control, only when that changes anything.
int SetControlVisible(lua_State* L, EngineCore::Control& control);
// (x, y)
int SetControlPosition(lua_State* L, EngineCore::Control& control);
int PushControlVisible(lua_State* L, const EngineCore::Control& control);
// (priority)
int SetControlPriority(lua_State* L, EngineCore::Control& control);

}  // namespace GameCore
