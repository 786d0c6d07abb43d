#include "game/ScriptEngine/LuaScriptEngine/StartupScriptClasses.h"

#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"

// A script class joins the list by including its header here and enabling its row below.
#include "game/Wrappers/GameStateWrapper.h"
#include "game/Wrappers/ApplicationWrapper.h"

namespace GameLuaScriptImpl {

namespace {

using Registrar = void (*)(lua_State*);

// In registration order; ends with a null row.
const Registrar kStartupClasses[] = {
    LuaHelper<GameCore::GameStateWrapper>::Register,    // "GameState"
    LuaHelper<GameCore::ApplicationWrapper>::Register,  // "Application"
    nullptr,
};

}  // namespace

void RegisterStartupScriptClasses(lua_State* state)
{
    for (const Registrar* row = kStartupClasses; *row; ++row)
        (*row)(state);
}

}  // namespace GameLuaScriptImpl
