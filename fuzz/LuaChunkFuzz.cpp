// Precompiled Lua chunks as the script engine receives them from a script file.
//
// Only the loading is fuzzed. The interpreter's bytecode check does not make hostile
// bytecode safe to run, so the engine treats precompiled chunks as trusted game data;
// what must hold for any file is that a damaged or truncated chunk is refused with the
// engine's error text when it is loaded, never a crash or a runaway allocation. A count
// hook that fires before the first instruction stops every chunk that does load.
#include <cstdint>
#include <cstdlib>
#include <stdexcept>

#include <lua.hpp>

#include "game/ScriptEngine/LuaScriptEngine/LuaScriptEngine.h"

namespace {

void StopAtOnce(lua_State* state, lua_Debug*)
{
    luaL_error(state, "fuzz: not run");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The engine takes a file as a chunk only when its first byte is 27 and it has at
    // least three bytes.
    if (size < 3 || data[0] != 27)
        return 0;
    GameLuaScriptImpl::LuaScriptEngine engine;
    if (!engine.Open())
        std::abort();
    lua_sethook(engine.GetState(), &StopAtOnce, LUA_MASKCOUNT, 1);
    try {
        engine.RunString(reinterpret_cast<const char*>(data), static_cast<uint32_t>(size));
        std::abort();  // every chunk that loads is stopped by the hook
    } catch (const std::runtime_error&) {
    }
    return 0;
}
