#pragma once

struct lua_State;

namespace GameLuaScriptImpl {

// The 33 classes of every game state's interpreter state, in their fixed order. "GameState"
// and "Application" are not among them.
void RegisterGameStateScriptClasses(lua_State* state);

}  // namespace GameLuaScriptImpl
