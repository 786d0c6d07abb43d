#include "game/ScriptEngine/LuaScriptEngine/LuaStateContext.h"

#include <cstdlib>

namespace GameLuaScriptImpl {

namespace {

// Its address is the error value that stands for a kept exception.
const char keptExceptionMarker = 0;

}  // namespace

void* LuaStateContext::Allocator(void* userData, void* block, size_t oldSize, size_t newSize)
{
    if (newSize == 0) {
        std::free(block);
        return nullptr;
    }
    // Only growth is refused: the interpreter counts on a shrinking block never failing.
    const size_t limit = userData ? static_cast<LuaStateContext*>(userData)->loadBlockLimit : 0;
    if (limit != 0 && newSize > oldSize && newSize > limit)
        return nullptr;
    return std::realloc(block, newSize);
}

lua_State* LuaStateContext::NewState()
{
    LuaStateContext* context = new LuaStateContext;
    lua_State* state = lua_newstate(&Allocator, context);
    if (!state)
        delete context;
    return state;
}

void LuaStateContext::CloseState(lua_State* state)
{
    LuaStateContext* context = Get(state);
    lua_close(state);
    delete context;
}

void LuaStateContext::KeepCurrentException(lua_State* state)
{
    if (LuaStateContext* context = Get(state)) {
        context->_keptException = std::current_exception();
        return;
    }
    // A state of someone else's has no slot: keep at least the text.
    try {
        throw;
    } catch (const std::exception& e) {
        lua_pushstring(state, e.what());
    }
}

void LuaStateContext::RaiseKeptException(lua_State* state)
{
    if (Get(state))
        lua_pushlightuserdata(state, const_cast<char*>(&keptExceptionMarker));
    lua_error(state);
    std::abort();  // lua_error does not return
}

std::exception_ptr LuaStateContext::TakeKeptException(lua_State* state)
{
    std::exception_ptr kept = std::move(_keptException);
    _keptException = nullptr;
    if (lua_touserdata(state, -1) != &keptExceptionMarker)
        return nullptr;
    return kept;
}

bool LuaStateContext::DeferCollect(void* object)
{
    // The outermost call of the object ends last: it deletes.
    ActiveCall* outermost = nullptr;
    for (ActiveCall* call = _activeCalls; call; call = call->outer) {
        if (call->object == object)
            outermost = call;
    }
    if (!outermost)
        return false;
    outermost->collected = true;
    return true;
}

void LuaStateContext::CancelDeferredCollect(void* object)
{
    for (ActiveCall* call = _activeCalls; call; call = call->outer) {
        if (call->object == object)
            call->collected = false;
    }
}

}  // namespace GameLuaScriptImpl
