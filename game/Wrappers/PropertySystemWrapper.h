#pragma once
#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"

struct lua_State;

namespace GameCore {

// Script class "PropertySystem": the game's named properties, shared by every state
// and saved with the profiles. Scripts set floats and strings; a name or string that
// holds ':' or ',' (the profiles file's separators) is refused, since it could not be
// read back as written. No state.
class PropertySystemWrapper {
public:
    static const char className[];
    static const GameLuaScriptImpl::LuaHelper<PropertySystemWrapper>::RegType methods[];

    explicit PropertySystemWrapper(lua_State* L);

    int Remove(lua_State* L);
    int IsExist(lua_State* L);
    int GetType(lua_State* L);
    int SetValue(lua_State* L);
    int GetValue(lua_State* L);
    int LoadProperty(lua_State* L);
};

}  // namespace GameCore
