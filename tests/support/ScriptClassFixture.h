#pragma once
// An interpreter with the game state's script classes registered, for tests that drive
// the script classes through real Lua text. Only for test targets that link the game
// library.
#include <gtest/gtest.h>

#include <initializer_list>
#include <set>
#include <string>
#include <vector>

#include <lua.hpp>

#include "game/ScriptEngine/LuaScriptEngine/GameStateScriptClasses.h"
#include "game/ScriptEngine/LuaScriptEngine/LuaScriptEngine.h"
#include "tests/support/FailureText.h"

namespace TestSupport {

// Base is the fixture the test builds on (its resources, its game state); the engine is
// opened by OpenScripts, at the point of the test's SetUp where the classes may see them.
template <typename Base = testing::Test>
class ScriptClassFixture : public Base {
protected:
    // Call as ASSERT_NO_FATAL_FAILURE(OpenScripts()): nothing after it may run on a closed engine.
    void OpenScripts()
    {
        ASSERT_TRUE(engine.Open());
        L = engine.GetState();
        GameLuaScriptImpl::RegisterGameStateScriptClasses(L);
    }

    void Run(const std::string& script) { ASSERT_TRUE(engine.RunString(script.c_str(), 0)) << script; }

    std::string FailureOf(const std::string& script)
    {
        return FailureText([&] { engine.RunString(script.c_str(), 0); });
    }

    // A global that must hold a number.
    double Number(const char* name)
    {
        lua_getglobal(L, name);
        EXPECT_EQ(LUA_TNUMBER, lua_type(L, -1)) << name;
        const double value = lua_tonumber(L, -1);
        lua_pop(L, 1);
        return value;
    }

    std::vector<double> Numbers(std::initializer_list<const char*> names)
    {
        std::vector<double> values;
        for (const char* name : names)
            values.push_back(Number(name));
        return values;
    }

    // The value of a Lua expression, through the global "result"; it must be a number,
    // so that a nil (a misspelt or never-set global) does not read as 0.
    double Eval(const std::string& expression)
    {
        Run("result = " + expression);
        return Number("result");
    }

    // A global as text; numbers read as their text, anything else as "(not a string)".
    std::string String(const char* name)
    {
        lua_getglobal(L, name);
        const std::string value = lua_isstring(L, -1) ? lua_tostring(L, -1) : "(not a string)";
        lua_pop(L, 1);
        return value;
    }

    // The names in a script class's global table: its methods and its constructor.
    std::set<std::string> Methods(const char* className)
    {
        std::set<std::string> found;
        lua_getglobal(L, className);
        EXPECT_TRUE(lua_istable(L, -1)) << className;
        if (lua_istable(L, -1)) {
            lua_pushnil(L);
            while (lua_next(L, -2)) {
                found.insert(lua_tostring(L, -2));
                lua_pop(L, 1);
            }
        }
        lua_pop(L, 1);
        return found;
    }

    GameLuaScriptImpl::LuaScriptEngine engine;
    lua_State* L = nullptr;
};

}  // namespace TestSupport
