#pragma once
// Small script classes that exist only in the tests, to drive the binder and the engine
// through the real interpreter.

#include <stdexcept>
#include <string>

#include <lua.hpp>

#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"
#include "game/ScriptEngine/LuaScriptEngine/LuaScriptEngine.h"
#include "game/Wrappers/ScriptArguments.h"

namespace TestScripts {

using GameLuaScriptImpl::LuaHelper;

// The engine that nested runs go through.
inline GameLuaScriptImpl::LuaScriptEngine* engine = nullptr;

// An exception type of the tests' own, with a payload that must survive the trip.
class CodedError : public std::runtime_error {
public:
    CodedError(const std::string& text, int code) : std::runtime_error(text), code(code) {}
    int code;
};

// Counts its own scoped lifetime, to see that unwinding runs destructors.
struct ScopeProbe {
    static inline int destroyed = 0;
    ~ScopeProbe() { ++destroyed; }
};

class A {
public:
    static inline int constructed = 0;
    static inline int destroyed = 0;
    static inline int lastArgCount = -1;
    static inline double lastFirstArg = 0;
    static inline A* last = nullptr;

    explicit A(lua_State* L)
    {
        lastArgCount = lua_gettop(L);
        lastFirstArg = lua_isnumber(L, 1) ? lua_tonumber(L, 1) : 0;
        if (lua_isnumber(L, 1))
            _value = lua_tonumber(L, 1);
        last = this;
        ++constructed;
    }
    ~A() { ++destroyed; }

    int Get(lua_State* L)
    {
        lua_pushnumber(L, _value);
        return 1;
    }
    int Set(lua_State* L)
    {
        ScopeProbe probe;
        _value = GameCore::CheckNumber(L, 1);
        return 0;
    }
    // Collects everything while running on this object, then uses the object.
    int CollectAll(lua_State* L)
    {
        lua_gc(L, LUA_GCCOLLECT, 0);
        _value += 1;
        lua_pushnumber(L, _value);
        return 1;
    }
    // Runs a text in a nested run of the engine, then uses the object.
    int Run(lua_State* L)
    {
        const std::string text = GameCore::CheckString(L, 1);
        engine->RunString(text.c_str(), 0);
        _value += 1;
        return 0;
    }
    int RunFile(lua_State* L)
    {
        engine->RunFile(GameCore::CheckString(L, 1));
        return 0;
    }
    int Throw(lua_State* L)
    {
        ScopeProbe probe;
        throw CodedError(GameCore::CheckString(L, 1), 7);
    }

    static const char className[];
    static const LuaHelper<A>::RegType methods[];

private:
    double _value = 0;
};

inline const char A::className[] = "A";
inline const LuaHelper<A>::RegType A::methods[] = {
    {"Get", &A::Get},
    {"Set", &A::Set},
    {"CollectAll", &A::CollectAll},
    {"Run", &A::Run},
    {"RunFile", &A::RunFile},
    {"Throw", &A::Throw},
    {nullptr, nullptr},
};

// Another class with a method of the same name as A's.
class B {
public:
    explicit B(lua_State*) {}
    int Get(lua_State* L)
    {
        lua_pushnumber(L, -1);
        return 1;
    }
    static const char className[];
    static const LuaHelper<B>::RegType methods[];
};

inline const char B::className[] = "B";
inline const LuaHelper<B>::RegType B::methods[] = {
    {"Get", &B::Get},
    {nullptr, nullptr},
};

// Raises Lua errors with values of every kind; its constructor can throw.
class Fail {
public:
    explicit Fail(lua_State* L)
    {
        if (lua_isstring(L, 1))
            throw CodedError(lua_tostring(L, 1), 3);
    }
    int String(lua_State* L)
    {
        lua_pushstring(L, "boom");
        return lua_error(L);
    }
    int Number(lua_State* L)
    {
        lua_pushnumber(L, 42);
        return lua_error(L);
    }
    int Table(lua_State* L)
    {
        lua_newtable(L);
        return lua_error(L);
    }
    int Boolean(lua_State* L)
    {
        lua_pushboolean(L, 1);
        return lua_error(L);
    }
    int Nil(lua_State* L)
    {
        lua_pushnil(L);
        return lua_error(L);
    }
    static const char className[];
    static const LuaHelper<Fail>::RegType methods[];
};

inline const char Fail::className[] = "Fail";
inline const LuaHelper<Fail>::RegType Fail::methods[] = {
    {"String", &Fail::String},   {"Number", &Fail::Number}, {"Table", &Fail::Table},
    {"Boolean", &Fail::Boolean}, {"Nil", &Fail::Nil},       {nullptr, nullptr},
};

// Reads a global of the state as a number (NaN-free default -1 when it is not a number).
inline double GlobalNumber(lua_State* L, const char* name)
{
    lua_getglobal(L, name);
    const double value = lua_isnumber(L, -1) ? lua_tonumber(L, -1) : -1;
    lua_pop(L, 1);
    return value;
}

}  // namespace TestScripts
