#pragma once
// The one binder through which a wrapper class T becomes a Lua class: a global table named
// T::className holding the methods (and "new"; calling the table makes an object too), and
// objects that are full userdata carrying one T* whose class metatable deletes T when Lua
// collects them.
//
// T provides:
//   static const char className[];                 the script name
//   static const LuaHelper<T>::RegType methods[];  rows in table order, ended by {nullptr, nullptr}
//   T(lua_State*)                                  reads its script arguments from index 1
//   ~T()
// Methods see their own arguments from index 1 (the object is removed first) and return the
// number of results they pushed. They report failures by throwing std::exception-derived
// types only: such an exception reaches the code that ran the script unchanged. They read
// their arguments through game/Wrappers/ScriptArguments.h, whose errors count from the
// method's first argument (ArgumentError.h); Lua's own checks (luaL_checknumber ...) would
// count from the removed object. A call on anything but an object of the class fails as
// "bad self", whether it was made with a colon or a dot.

#include <cstdio>
#include <exception>

#include <lua.hpp>

#include "game/ScriptEngine/LuaScriptEngine/ArgumentError.h"
#include "game/ScriptEngine/LuaScriptEngine/LuaStateContext.h"

namespace GameLuaScriptImpl {

template <typename T>
class LuaHelper {
public:
    struct RegType {
        const char* name;
        int (T::*mfunc)(lua_State*);
    };

    LuaHelper() = delete;

    static void Register(lua_State* L)
    {
        lua_createtable(L, 0, 0);
        const int methods = lua_gettop(L);

        luaL_newmetatable(L, T::className);
        const int metatable = lua_gettop(L);

        lua_pushvalue(L, methods);
        SetField(L, LUA_GLOBALSINDEX, T::className);

        lua_pushvalue(L, methods);
        SetField(L, metatable, "__metatable");
        lua_pushvalue(L, methods);
        SetField(L, metatable, "__index");
        lua_pushcclosure(L, &ToString, 0);
        SetField(L, metatable, "__tostring");
        lua_pushcclosure(L, &Collect, 0);
        SetField(L, metatable, "__gc");

        lua_createtable(L, 0, 0);
        lua_pushcclosure(L, &New, 0);
        lua_pushvalue(L, -1);
        SetField(L, methods, "new");
        SetField(L, -2, "__call");
        lua_setmetatable(L, methods);

        LuaStateContext* context = LuaStateContext::Get(L);
        for (const RegType* row = T::methods; row->name; ++row) {
            lua_pushstring(L, row->name);
            Binding* binding = static_cast<Binding*>(lua_newuserdata(L, sizeof(Binding)));
            binding->row = row;
            binding->context = context;
            lua_pushcclosure(L, &Thunk, 1);
            lua_settable(L, methods);
        }

        lua_pop(L, 2);
    }

    static int Thunk(lua_State* L)
    {
        const Binding* binding = static_cast<const Binding*>(lua_touserdata(L, lua_upvalueindex(1)));
        T** block = ObjectBlock(L);
        if (!block)
            RaiseBadSelfError(L, binding->row->name, T::className);
        T* object = *block;
        if (!object)
            return luaL_error(L, "%s object is already deleted", T::className);
        lua_remove(L, 1);

        {
            CallGuard guard(binding->context, object, binding->row->name);
            try {
                return (object->*(binding->row->mfunc))(L);
            } catch (const std::exception&) {
                LuaStateContext::KeepCurrentException(L);
            }
        }
        LuaStateContext::RaiseKeptException(L);
    }

    // The first argument is dropped: the class table in Class(...) and Class:new(...),
    // and in Class.new(...) the script's own first argument, as scripts expect. With
    // no argument at all (Class.new()) there is nothing to drop.
    static int New(lua_State* L)
    {
        if (lua_gettop(L) >= 1)
            lua_remove(L, 1);
        T* object = nullptr;
        try {
            object = new T(L);
        } catch (const std::exception&) {
            LuaStateContext::KeepCurrentException(L);
        }
        if (!object)
            LuaStateContext::RaiseKeptException(L);
        Push(L, object);
        return 1;
    }

    static int Collect(lua_State* L)
    {
        T** block = static_cast<T**>(lua_touserdata(L, 1));
        if (!block || !*block)
            return 0;
        T* object = *block;
        // A stale pointer must never be reachable from the userdata.
        *block = nullptr;
        LuaStateContext* context = LuaStateContext::Get(L);
        if (context && context->DeferCollect(object))
            return 0;
        delete object;
        return 0;
    }

    static int ToString(lua_State* L)
    {
        T** block = static_cast<T**>(lua_touserdata(L, 1));
        char pointer[32];
        std::snprintf(pointer, sizeof pointer, "%p", block ? static_cast<void*>(*block) : nullptr);
        lua_pushfstring(L, "%s (%s)", T::className, pointer);
        return 1;
    }

    // Pushes the script object of `object` (nil for null) and returns its stack index.
    static int Push(lua_State* L, T* object)
    {
        if (!object) {
            lua_pushnil(L);
            return 0;
        }
        lua_getfield(L, LUA_REGISTRYINDEX, T::className);
        if (lua_type(L, -1) == LUA_TNIL)
            luaL_error(L, "%s missing metatable", T::className);
        const int metatable = lua_gettop(L);

        lua_getfield(L, metatable, "userdata");
        if (lua_type(L, -1) == LUA_TNIL) {
            lua_pop(L, 1);
            // Weak values: the cache never keeps an object alive.
            lua_createtable(L, 0, 0);
            lua_pushvalue(L, -1);
            lua_setmetatable(L, -2);
            lua_pushstring(L, "v");
            SetField(L, -2, "__mode");
            lua_pushvalue(L, -1);
            SetField(L, metatable, "userdata");
        }
        const int cache = lua_gettop(L);

        lua_pushlightuserdata(L, object);
        lua_gettable(L, cache);
        if (lua_type(L, -1) == LUA_TNIL) {
            lua_pop(L, 1);
            lua_checkstack(L, 3);
            lua_pushlightuserdata(L, object);
            T** block = static_cast<T**>(lua_newuserdata(L, sizeof(T*)));
            *block = object;
            lua_pushvalue(L, metatable);
            lua_setmetatable(L, -2);
            lua_pushvalue(L, -1);
            lua_insert(L, -3);
            lua_settable(L, cache);
            if (LuaStateContext* context = LuaStateContext::Get(L))
                context->CancelDeferredCollect(object);
        }
        lua_replace(L, metatable);
        lua_settop(L, metatable);
        return metatable;
    }

private:
    // The upvalue of a method's closure: its row, and the context of the state it was
    // registered in (found once here instead of on every call).
    struct Binding {
        const RegType* row;
        LuaStateContext* context;
    };

    // The block of argument 1 when it is an object of this class; null otherwise.
    static T** ObjectBlock(lua_State* L)
    {
        void* block = lua_touserdata(L, 1);
        if (!block || lua_type(L, 1) != LUA_TUSERDATA || !lua_getmetatable(L, 1))
            return nullptr;
        lua_getfield(L, LUA_REGISTRYINDEX, T::className);
        const bool ours = lua_rawequal(L, -1, -2) != 0;
        lua_pop(L, 2);
        return ours ? static_cast<T**>(block) : nullptr;
    }

    // Pops the value on top into table[key].
    static void SetField(lua_State* L, int table, const char* key)
    {
        if (table < 0 && table > LUA_REGISTRYINDEX)
            table = lua_gettop(L) + table + 1;
        lua_pushstring(L, key);
        lua_insert(L, -2);
        lua_settable(L, table);
    }

    // Keeps the object's deletion off while its method runs, and names the running method;
    // also on unwinding.
    class CallGuard {
    public:
        CallGuard(LuaStateContext* context, T* object, const char* method) : _context(context), _object(object)
        {
            if (_context)
                _context->BeginCall(_call, _object, method);
        }
        ~CallGuard()
        {
            if (_context && _context->EndCall(_call))
                delete _object;
        }
        CallGuard(const CallGuard&) = delete;
        CallGuard& operator=(const CallGuard&) = delete;

    private:
        LuaStateContext* _context;
        T* _object;
        LuaStateContext::ActiveCall _call;
    };
};

}  // namespace GameLuaScriptImpl
