#pragma once
#include <string>

#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"

struct lua_State;

namespace GameCore {

// Script class "StringUtility": byte-string helpers for scripts, which have no
// standard library. Strings are used up to their first zero byte; a character code
// is the number truncated toward zero, of which the low byte counts. No state.
class StringUtilityWrapper {
public:
    static const char className[];
    static const GameLuaScriptImpl::LuaHelper<StringUtilityWrapper>::RegType methods[];

    explicit StringUtilityWrapper(lua_State* L);

    int StrLen(lua_State* L);
    int StrCatChar(lua_State* L);
    int StrCutLastChar(lua_State* L);
    int StrIsContainChar(lua_State* L);
    int StrGetFirstNumber(lua_State* L);
    int StrStartsWith(lua_State* L);

    // The first number written in `text`: leading zeros are skipped, a run of only
    // zeros ends the search with 0, and a number beyond the int range leaves the
    // value found before it (-1 or 0). No sign, no fraction.
    static int FirstNumber(const std::string& text);
};

}  // namespace GameCore
