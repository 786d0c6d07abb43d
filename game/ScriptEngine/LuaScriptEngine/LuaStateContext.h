#pragma once
// What the game core keeps for each interpreter state it opens, reachable from the
// lua_State* alone: it rides in the user pointer of the state's allocator, so finding it
// needs no table look-up. A state must not be closed while one of its runs is still
// active (its own stack and this context would go from under the running call).

#include <atomic>
#include <cstddef>
#include <exception>
#include <thread>

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
    static LuaStateContext* Get(lua_State* state)
    {
        void* userData = nullptr;
        if (lua_getallocf(state, &userData) != &Allocator)
            return nullptr;
        return static_cast<LuaStateContext*>(userData);
    }

    // The pointer-sized value the creator of the state sets (the application object).
    void* owner = nullptr;

    // One thread at a time inside the state. A run entered while another thread is
    // inside one of the state's runs is refused (false) before it touches the state;
    // nested runs on the same thread are fine. Every successful Enter is paired
    // with a Leave on the same thread.
    bool EnterRun()
    {
        const std::thread::id self = std::this_thread::get_id();
        std::thread::id expected;
        if (!_runner.compare_exchange_strong(expected, self, std::memory_order_acquire) && expected != self)
            return false;
        ++_runDepth;
        return true;
    }
    void LeaveRun()
    {
        if (--_runDepth == 0)
            _runner.store(std::thread::id(), std::memory_order_release);
    }

    // While a precompiled chunk loads, the largest block the interpreter may grow to (0:
    // no bound). Its loader sizes vectors and strings from counts stored in the chunk
    // before reading them; a damaged chunk must fail as out of memory rather than
    // reserve gigabytes that its few bytes could never fill.
    size_t loadBlockLimit = 0;

    // Exception bridge. A C++ exception must not travel through the interpreter's frames
    // (the C++ build of Lua catches everything in its protected call and loses it), so a
    // native function that catches one keeps it here and raises a Lua error whose value is
    // the marker; the code that made the protected call takes it back and rethrows it.
    // Only std::exception-derived types are bridged: Lua's own errors are not of that kind
    // and must keep unwinding untouched.
    //
    // Called inside the catch block: keeps the exception being handled.
    static void KeepCurrentException(lua_State* state);
    // Called after leaving the catch block: raises the Lua error that stands for it.
    [[noreturn]] static void RaiseKeptException(lua_State* state);
    // The kept exception when the error value on top of the stack is the marker; empty
    // otherwise. Clears the slot either way.
    std::exception_ptr TakeKeptException(lua_State* state);

    // Objects whose method is running, innermost first; the nodes live in the native frames
    // of the running calls. A method can make its own object unreachable (a temporary
    // object, or a nested run that drops the last reference) and a collection during the
    // call would then finalise it; its deletion is put off until the call ends. Each call
    // names its method, for the argument errors raised inside it.
    struct ActiveCall {
        void* object;
        const char* method;
        bool collected;
        ActiveCall* outer;
    };
    void BeginCall(ActiveCall& call, void* object, const char* method)
    {
        call.object = object;
        call.method = method;
        call.collected = false;
        call.outer = _activeCalls;
        _activeCalls = &call;
    }
    // The innermost running method's name; null when none runs.
    const char* RunningMethod() const { return _activeCalls ? _activeCalls->method : nullptr; }
    // True when the object was collected during the call: the caller deletes it.
    bool EndCall(ActiveCall& call)
    {
        _activeCalls = call.outer;
        return call.collected;
    }
    // Called by the finaliser: true when a method of the object is running, in which case
    // the outermost such call deletes it when it ends.
    bool DeferCollect(void* object);
    // A fresh script object now owns the pointer: any pending deferred delete is cancelled.
    void CancelDeferredCollect(void* object);

private:
    // The auxiliary library's allocator, reproduced so that the context can ride along.
    static void* Allocator(void* userData, void* block, size_t oldSize, size_t newSize);

    ActiveCall* _activeCalls = nullptr;
    std::exception_ptr _keptException;
    std::atomic<std::thread::id> _runner{};
    // Touched only by the thread in `_runner`.
    int _runDepth = 0;
};

}  // namespace GameLuaScriptImpl
