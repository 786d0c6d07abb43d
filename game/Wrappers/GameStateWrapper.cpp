#include "game/Wrappers/GameStateWrapper.h"

#include <lua.hpp>

#include <string>

#include "game/Base/Application.h"
#include "engine/System/EngineError.h"
#include "game/Base/GameState.h"
#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

namespace {
const char* const kSource = "Wrappers\\GameStateWrapper.cpp";
}  // namespace

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
    // An object that holds no state (no SetName yet, or its name was taken already)
    // would set nothing: a script that expects its state to run a file learns so.
    if (!_state)
        EngineCore::ThrowEngineError(kSource, 39, "Game state is not initialized. First call - SetName().");
    _state->SetStartupScript(CheckString(state, 1));
    return 0;
}

}  // namespace GameCore
