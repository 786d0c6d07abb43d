#include "game/Wrappers/GameStateWrapper.h"

#include <lua.hpp>

#include <string>

#include "game/Base/Application.h"
#include "game/Base/GameState.h"

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
    size_t length = 0;
    const char* name = luaL_checklstring(state, 1, &length);
    Application::Instance().CreateGameState(std::string(name, length), _state);
    return 0;
}

int GameStateWrapper::SetStartupScript(lua_State* state)
{
    size_t length = 0;
    const char* path = luaL_checklstring(state, 1, &length);
    // An object whose name was taken already holds no state: nothing to set.
    if (_state)
        _state->SetStartupScript(std::string(path, length));
    return 0;
}

}  // namespace GameCore
