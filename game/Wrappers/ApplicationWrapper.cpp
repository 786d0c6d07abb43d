#include "game/Wrappers/ApplicationWrapper.h"

#include <lua.hpp>

#include <memory>
#include <stdexcept>
#include <string>

#include "game/Base/Application.h"
#include "game/Wrappers/ScriptArguments.h"
#include "game/Wrappers/SelectGameState.h"

namespace GameCore {

const char ApplicationWrapper::className[] = "Application";

const GameLuaScriptImpl::LuaHelper<ApplicationWrapper>::RegType ApplicationWrapper::methods[] = {
    {"RunScript", &ApplicationWrapper::RunScript},
    {"SetUserPath", &ApplicationWrapper::SetUserPath},
    {"SetStartupScript", &ApplicationWrapper::SetStartupScript},
    {"SetCurrentGameState", &ApplicationWrapper::SetCurrentGameState},
    {nullptr, nullptr},
};

ApplicationWrapper::ApplicationWrapper(lua_State*) {}

int ApplicationWrapper::RunScript(lua_State* state)
{
    const std::string path = CheckString(state, 1);
    // Optional start-up files: one that is missing or fails is skipped.
    try {
        Application::Instance().RunScript(path);
    } catch (const std::exception&) {
    }
    return 0;
}

int ApplicationWrapper::SetUserPath(lua_State* state)
{
    Application::Instance().SetUserPath(CheckString(state, 1));
    return 0;
}

int ApplicationWrapper::SetStartupScript(lua_State* state)
{
    Application::Instance().SetStartupScript(CheckString(state, 1));
    return 0;
}

int ApplicationWrapper::SetCurrentGameState(lua_State* state)
{
    SelectGameState(CheckString(state, 1));
    return 0;
}

}  // namespace GameCore
