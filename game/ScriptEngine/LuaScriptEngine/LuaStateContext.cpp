#include "game/ScriptEngine/LuaScriptEngine/LuaStateContext.h"

#include <cstdlib>

namespace GameLuaScriptImpl {

namespace {

// The auxiliary library's allocator, reproduced so that our user pointer can ride along.
void* ContextAllocator(void*, void* block, size_t, size_t newSize)
{
    if (newSize == 0) {
        std::free(block);
        return nullptr;
    }
    return std::realloc(block, newSize);
}

// Its address is the error value that stands for a kept exception.
const char keptExceptionMarker = 0;

}  // namespace

lua_State* LuaStateContext::NewState()
{
    LuaStateContext* context = new LuaStateContext;
    lua_State* state = lua_newstate(&ContextAllocator, context);
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

LuaStateContext* LuaStateContext::Get(lua_State* state)
{
    void* userData = nullptr;
    if (lua_getallocf(state, &userData) != &ContextAllocator)
        return nullptr;
    return static_cast<LuaStateContext*>(userData);
}

void LuaStateContext::RaiseKeptException(lua_State* state, std::exception_ptr exception)
{
    LuaStateContext* context = Get(state);
    if (!context) {
        // A foreign state has no slot: keep at least the text.
        try {
            std::rethrow_exception(exception);
        } catch (const std::exception& e) {
            lua_pushstring(state, e.what());
        }
        lua_error(state);
        std::abort();  // lua_error does not return
    }
    context->_keptException = std::move(exception);
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

void LuaStateContext::BeginCall(void* object)
{
    _activeCalls.push_back(ActiveCall{object, false});
}

bool LuaStateContext::EndCall()
{
    const bool collected = _activeCalls.back().collected;
    _activeCalls.pop_back();
    return collected;
}

bool LuaStateContext::DeferCollect(void* object)
{
    for (ActiveCall& call : _activeCalls) {
        if (call.object == object) {
            call.collected = true;  // the oldest call of the object ends last
            return true;
        }
    }
    return false;
}

void LuaStateContext::CancelDeferredCollect(void* object)
{
    for (ActiveCall& call : _activeCalls) {
        if (call.object == object)
            call.collected = false;
    }
}

}  // namespace GameLuaScriptImpl
