#include "game/ScriptEngine/LuaScriptEngine/ArgumentError.h"

#include <cstdlib>

#include "game/ScriptEngine/LuaScriptEngine/LuaStateContext.h"

namespace GameLuaScriptImpl {

namespace {

// The running method; outside the binder (or in a state the engine did not open) the name
// the caller used for the function, as Lua's own message gives it.
const char* RunningMethod(lua_State* state)
{
    if (const LuaStateContext* context = LuaStateContext::Get(state)) {
        if (const char* method = context->RunningMethod())
            return method;
    }
    lua_Debug record;
    if (lua_getstack(state, 0, &record) && lua_getinfo(state, "n", &record) && record.name)
        return record.name;
    return "?";
}

}  // namespace

void RaiseArgumentError(lua_State* state, int index, const char* message)
{
    luaL_error(state, "bad argument #%d to '%s' (%s)", index, RunningMethod(state), message);
    std::abort();  // luaL_error does not return
}

void RaiseArgumentTypeError(lua_State* state, int index, const char* expected)
{
    RaiseArgumentError(state, index,
                       lua_pushfstring(state, "%s expected, got %s", expected, luaL_typename(state, index)));
}

void RaiseBadSelfError(lua_State* state, const char* method, const char* className)
{
    luaL_error(state, "calling '%s' on bad self (%s expected, got %s)", method, className, luaL_typename(state, 1));
    std::abort();
}

}  // namespace GameLuaScriptImpl
