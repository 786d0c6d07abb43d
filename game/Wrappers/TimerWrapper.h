#pragma once
#include <memory>
#include <string>

#include "game/Base/StateCallback.h"
#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"

struct lua_State;

namespace GameCore {

class Timer;

// Script class "Timer": a one-shot countdown in the timer storage of the game state
// that made the object, which runs the object's "#" text in that state when it
// expires. The object is the timer's only owner: collecting it kills the timer.
class TimerWrapper {
public:
    static const char className[];
    static const GameLuaScriptImpl::LuaHelper<TimerWrapper>::RegType methods[];

    explicit TimerWrapper(lua_State* L);
    ~TimerWrapper();
    TimerWrapper(const TimerWrapper&) = delete;
    TimerWrapper& operator=(const TimerWrapper&) = delete;

    int Stop(lua_State* L);
    int Pause(lua_State* L);
    int Setup(lua_State* L);
    int Resume(lua_State* L);
    int IsStoped(lua_State* L);

protected:
    // The timer's action. The run may collect this object: nothing of it is touched
    // once the text has started.
    void RunScript(void* user);

private:
    std::shared_ptr<Timer> _timer;
    std::string _scriptString;
    StateCallback _callback;
};

}  // namespace GameCore
