// Precompiled Lua chunks as the script engine receives them from a script file.
//
// Only the loading is fuzzed. The interpreter's bytecode check does not make hostile
// bytecode safe to run, so the engine treats precompiled chunks as trusted game data;
// what must hold for any file is that a damaged or truncated chunk is refused with an
// error when it is loaded, never a crash or a runaway allocation.
#include <cstdint>
#include <cstdlib>

#include <lua.hpp>

#include "game/ScriptEngine/LuaScriptEngine/LuaScriptEngine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The engine takes a file as a chunk only when its first byte is 27.
    if (size < 3 || data[0] != 27)
        return 0;
    static GameLuaScriptImpl::LuaScriptEngine engine;
    static bool opened = engine.Open();
    if (!opened)
        std::abort();
    lua_State* state = engine.GetState();
    const int top = lua_gettop(state);
    luaL_loadbuffer(state, reinterpret_cast<const char*>(data), size, "Binary");
    lua_settop(state, top);
    lua_gc(state, LUA_GCCOLLECT, 0);
    return 0;
}
