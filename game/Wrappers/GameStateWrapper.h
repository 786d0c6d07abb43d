#pragma once
#include <memory>

#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"

struct lua_State;

namespace GameCore {

class GameState;

// Script class "GameState" of the start-up scripts: creates a named game state and
// gives it its start-up script. The object shares the state with the application.
class GameStateWrapper {
public:
    static const char className[];
    static const GameLuaScriptImpl::LuaHelper<GameStateWrapper>::RegType methods[];

    explicit GameStateWrapper(lua_State* state);

    int SetName(lua_State* state);
    int SetStartupScript(lua_State* state);

private:
    std::shared_ptr<GameState> _state;
};

}  // namespace GameCore
