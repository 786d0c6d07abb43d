#pragma once
// What the game core keeps for each interpreter state it opens, reachable from the
// lua_State* alone: it rides in the user pointer of the state's allocator, so finding it
// costs two loads and no table look-up (the binder asks for it on every method call).

#include <exception>
#include <vector>

#include <lua.hpp>

namespace GameLuaScriptImpl {

class LuaStateContext {
public:
    // Creates an interpreter state carrying a new context (the allocator is the auxiliary
    // library's realloc/free one). Null when no state can be made.
    static lua_State* NewState();
    // Closes a state made by NewState and frees its context.
    static void CloseState(lua_State* state);
    // The context of a state made by NewState; null for any other state.
    static LuaStateContext* Get(lua_State* state);

    // The pointer-sized value the creator of the state sets (the application object).
    void* owner = nullptr;

    // Exception bridge. A C++ exception must not travel through the interpreter's frames
    // (the C++ build of Lua catches everything in its protected call and loses it), so a
    // native function that catches one keeps it here and raises a Lua error whose value is
    // the marker; the code that made the protected call takes it back and rethrows it.
    // Only std::exception-derived types are bridged: Lua's own errors are not of that kind
    // and must keep unwinding untouched.
    [[noreturn]] static void RaiseKeptException(lua_State* state, std::exception_ptr exception);
    // The kept exception when the error value on top of the stack is the marker; empty
    // otherwise. Clears the slot either way.
    std::exception_ptr TakeKeptException(lua_State* state);

    // Objects whose method is running. A method can make its own object unreachable (a
    // temporary object, or a nested run that drops the last reference) and a collection
    // during the call would then finalise it; its deletion is put off until the call ends.
    void BeginCall(void* object);
    // True when the object was collected during the call: the caller deletes it.
    bool EndCall();
    // Called by the finaliser: true when a method of the object is running, in which case
    // the outermost such call deletes it when it ends.
    bool DeferCollect(void* object);
    // A fresh script object now owns the pointer: any pending deferred delete is cancelled.
    void CancelDeferredCollect(void* object);

private:
    struct ActiveCall {
        void* object;
        bool collected;
    };
    std::vector<ActiveCall> _activeCalls;
    std::exception_ptr _keptException;
};

}  // namespace GameLuaScriptImpl
