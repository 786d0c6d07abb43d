// Lua script text run as a script file through the script engine. Scripts are code:
// the harness bounds each run (instructions and memory) so that a loop or a growing
// string in the input ends the run as an error instead of being reported as a hang.
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include <lua.hpp>

#include "fuzz/ScratchFolder.h"
#include "game/ScriptEngine/LuaScriptEngine/LuaScriptEngine.h"

namespace {

const char* const kName = "fuzz.lua";
const int kHookEvery = 100;
const int kMaxInstructions = 200000;
const int kMaxKilobytes = 64 * 1024;

int g_instructions = 0;

void Bound(lua_State* state, lua_Debug*)
{
    g_instructions += kHookEvery;
    if (g_instructions > kMaxInstructions)
        luaL_error(state, "fuzz: instruction limit");
    if (lua_gc(state, LUA_GCCOUNT, 0) > kMaxKilobytes)
        luaL_error(state, "fuzz: memory limit");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A first byte of 27 marks a precompiled chunk: the chunk target covers those.
    if (size > 0 && data[0] == 27)
        return 0;
    static FuzzSupport::ScratchFolder folder;
    folder.Serve(kName, data, size);

    GameLuaScriptImpl::LuaScriptEngine engine;
    if (!engine.Open())
        std::abort();
    g_instructions = 0;
    lua_sethook(engine.GetState(), &Bound, LUA_MASKCOUNT, kHookEvery);
    try {
        engine.RunFile(kName);
    } catch (const std::runtime_error&) {
    }
    // The engine stays usable after any run.
    if (!engine.RunString("local a = 1", 0))
        std::abort();
    engine.Close();
    return 0;
}
