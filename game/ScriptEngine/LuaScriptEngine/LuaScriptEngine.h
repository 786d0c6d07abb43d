#pragma once
// The game core's script interpreter: one Lua 5.1 state with no standard library; its only
// globals are the script classes registered by whoever opened it.

#include <cstdint>
#include <memory>
#include <string>

#include "engine/System/ScriptEngine.h"

struct lua_State;

namespace GameLuaScriptImpl {

class LuaScriptEngine : public EngineCore::ScriptEngine {
public:
    LuaScriptEngine();
    ~LuaScriptEngine() override;

    // False when no state is open; otherwise collects every object, closes the state, true.
    bool Close() override;
    // Creates a fresh state (a state still open is closed first); false when none can be made.
    bool Open() override;
    // Runs a script file of the virtual file system: a precompiled Lua 5.1 chunk when its
    // first byte is 27, Lua text otherwise. Files under 3 bytes run nothing. Every failure
    // is thrown; a text file's errors name it as "path:line:" and do not repeat its text.
    // Like RunString, refused with the engine error while another thread runs in the state.
    bool RunFile(const std::string& path) override;
    // length 0: NUL-terminated Lua text; otherwise that many bytes of a precompiled chunk.
    // Returns true on success and ends with a full garbage collection; every failure is
    // thrown: exceptions of script-class methods unchanged, anything else as the engine
    // error text with the interpreter's message, the script text and the running files.
    // False only when no state is open. A run entered while another thread is inside
    // one of the state's runs is refused with the engine error before it touches the
    // state (nested runs on one thread are fine).
    bool RunString(const char* text, uint32_t length) override;

    lua_State* GetState() const;

    // The pointer-sized value every state carries for its creator (the application).
    static void SetOwner(lua_State* state, void* owner);
    static void* GetOwner(lua_State* state);

    LuaScriptEngine(const LuaScriptEngine&) = delete;
    LuaScriptEngine& operator=(const LuaScriptEngine&) = delete;

private:
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace GameLuaScriptImpl
