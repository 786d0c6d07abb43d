#pragma once
#include <string>

#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"

struct lua_State;

namespace GameCore {

// Script class "Debugger": writes a script value, with its type, to the game's log.
// The entry is logged as it is: a '%' in a name or value is only text. No state.
class DebugWrapper {
public:
    static const char className[];
    static const GameLuaScriptImpl::LuaHelper<DebugWrapper>::RegType methods[];

    explicit DebugWrapper(lua_State* L);

    int ShowValue(lua_State* L);

    // The log entry for `name` and the value at `index` (absent when beyond the top).
    static std::string Describe(lua_State* L, const std::string& name, int index);
};

}  // namespace GameCore
