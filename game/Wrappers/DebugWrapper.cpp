#include "game/Wrappers/DebugWrapper.h"

#include <charconv>

#include <lua.hpp>

#include "engine/System/SystemLogger.h"
#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

namespace {

// As "%.17g", with '.' whatever the process locale is.
std::string NumberText(lua_Number value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                      std::chars_format::general, 17);
    return result.ec == std::errc() ? std::string(buffer, result.ptr) : std::string("Unknown");
}

}  // namespace

const char DebugWrapper::className[] = "Debugger";

const GameLuaScriptImpl::LuaHelper<DebugWrapper>::RegType DebugWrapper::methods[] = {
    {"ShowValue", &DebugWrapper::ShowValue},
    {nullptr, nullptr},
};

DebugWrapper::DebugWrapper(lua_State*) {}

int DebugWrapper::ShowValue(lua_State* L)
{
    const std::string name = CheckString(L, 1);
    EngineCore::SystemLogger::Instance().Log(Describe(L, name, 2).c_str());
    return 0;
}

std::string DebugWrapper::Describe(lua_State* L, const std::string& name, int index)
{
    const int type = lua_type(L, index);
    std::string data;
    switch (type) {
    case LUA_TNIL:
        data = "nil";
        break;
    case LUA_TBOOLEAN:
        data = lua_toboolean(L, index) ? "true" : "false";
        break;
    case LUA_TLIGHTUSERDATA:
        data = "LightUserData";
        break;
    case LUA_TNUMBER:
        data = NumberText(lua_tonumber(L, index));
        break;
    case LUA_TSTRING:
        data = lua_tostring(L, index);
        break;
    case LUA_TTABLE:
        data = "Table";
        break;
    case LUA_TFUNCTION:
        data = "Function";
        break;
    case LUA_TUSERDATA:
        data = "UserData";
        break;
    case LUA_TTHREAD:
        data = "Thread";
        break;
    case LUA_TNONE:
        data = "NONE";
        break;
    default:
        data = "Unknown";
        break;
    }
    return "\n\n*** DebugWrapper::ShowValue: " + name + "\nValue type: " + lua_typename(L, type) +
           "\nValue data: " + data + "\n\n";
}

}  // namespace GameCore
