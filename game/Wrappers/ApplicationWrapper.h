#pragma once
#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"

struct lua_State;

namespace GameCore {

// Script class "Application" of the start-up scripts: runs further start-up files,
// sets the per-user folder and the game-API script, selects the first game state.
class ApplicationWrapper {
public:
    static const char className[];
    static const GameLuaScriptImpl::LuaHelper<ApplicationWrapper>::RegType methods[];

    explicit ApplicationWrapper(lua_State* state);

    int RunScript(lua_State* state);
    int SetUserPath(lua_State* state);
    int SetStartupScript(lua_State* state);
    int SetCurrentGameState(lua_State* state);
};

}  // namespace GameCore
