#include "game/Wrappers/GameStateWrapper.h"

#include <lua.hpp>

#include <string>

#include "game/Base/Application.h"
#include "game/Base/GameState.h"
#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

const char GameStateWrapper::className[] = "GameState";

const GameLuaScriptImpl::LuaHelper<GameStateWrapper>::RegType GameStateWrapper::methods[] = {
    {"SetName", &GameStateWrapper::SetName},
    {"SetStartupScript", &GameStateWrapper::SetStartupScript},
    {nullptr, nullptr},
};

GameStateWrapper::GameStateWrapper(lua_State*) {}

int GameStateWrapper::SetName(lua_State* state)
{
    Application::Instance().CreateGameState(CheckString(state, 1), _state);
    return 0;
}

int GameStateWrapper::SetStartupScript(lua_State* state)
{
    const std::string path = CheckString(state, 1);
    // An object whose name was taken already holds no state: nothing to set.
    if (_state)
        _state->SetStartupScript(path);
    return 0;
}

}  // namespace GameCore
