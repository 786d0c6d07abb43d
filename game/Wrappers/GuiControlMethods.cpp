#include "game/Wrappers/GuiControlMethods.h"

#include <lua.hpp>

#include "engine/GUI/Control.h"
#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

int SetControlSize(lua_State* L, EngineCore::Control& control)
{
    const int32_t width = CheckInt32(L, 1);
    const int32_t height = CheckInt32(L, 2);
    control.SetSize(EngineCore::CSize{width, height});
    return 0;
}

int SetControlVisible(lua_State* L, EngineCore::Control& control)
{
    const bool visible = CheckFlagExactlyOne(L, 1);
    if (visible && !control.IsVisible())
        control.Enable();
    else if (!visible && control.IsVisible())
        control.Disable();
    return 0;
}

int SetControlPosition(lua_State* L, EngineCore::Control& control)
{
    const int32_t x = CheckInt32(L, 1);
    const int32_t y = CheckInt32(L, 2);
    control.SetPosition(EngineCore::CPoint{x, y});
    return 0;
}

int PushControlVisible(lua_State* L, const EngineCore::Control& control)
{
    PushTruth(L, control.IsVisible());
    return 1;
}

int SetControlPriority(lua_State* L, EngineCore::Control& control)
{
    control.SetPriority(CheckFloat(L, 1));
    return 0;
}

}  // namespace GameCore
