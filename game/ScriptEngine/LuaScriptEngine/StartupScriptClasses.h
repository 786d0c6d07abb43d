#pragma once

struct lua_State;

namespace GameLuaScriptImpl {

// The classes of the short-lived state that runs the pre-start-up and start-up scripts:
// "GameState", then "Application". Nothing else: start-up scripts make no scene objects.
void RegisterStartupScriptClasses(lua_State* state);

}  // namespace GameLuaScriptImpl
