#include "game/Wrappers/TimerWrapper.h"

#include <lua.hpp>

#include "engine/System/EngineError.h"
#include "engine/System/SystemLogger.h"
#include "game/Base/GameState.h"
#include "game/Logic/GameLogic.h"
#include "game/Logic/Timer.h"
#include "game/Logic/TimerStorage.h"
#include "game/ScriptEngine/LuaScriptEngine/LuaScriptEngine.h"
#include "game/Wrappers/ScriptArguments.h"
#include "game/Wrappers/ScriptTextCheck.h"

namespace GameCore {

namespace {

const char* const kSource = "Wrappers\\TimerWrapper.cpp";

// The "system" state is never updated as the current state, so its timers never count
// down (the loading screen keeps time with Loading.Update and Loading.frameTime). A
// loading-screen timer would wait silently for ever: the log says so where it is set up.
void LogLoadingScreenTimer(const std::string& text)
{
    const std::shared_ptr<GameState> calling = StateCallback::CallingState();
    if (!calling || calling->GetStateName() != "system")
        return;
    const std::string line = "Timer:Setup on the loading screen (the \"system\" state): its text (" + text +
                             ") will never run, since the loading screen's timers do not count down; time its "
                             "work in Loading.Update with Loading.frameTime.";
    EngineCore::SystemLogger::Instance().Log(line.c_str());
}

}  // namespace

const char TimerWrapper::className[] = "Timer";

// The order of the rows is part of the script interface.
const GameLuaScriptImpl::LuaHelper<TimerWrapper>::RegType TimerWrapper::methods[] = {
    {"Stop", &TimerWrapper::Stop},
    {"Pause", &TimerWrapper::Pause},
    {"Setup", &TimerWrapper::Setup},
    {"Resume", &TimerWrapper::Resume},
    {"IsStoped", &TimerWrapper::IsStoped},
    {nullptr, nullptr},
};

TimerWrapper::TimerWrapper(lua_State* L)
{
    const std::shared_ptr<GameState> state = _callback.Owner();
    if (!state)
        EngineCore::ThrowEngineError(kSource, 37, "Internal error.");
    _timer = state->GetGameLogic().GetTimerStorage().CreateTimer();
    _timer->SetupAction([this](void* user) { RunScript(user); },
                        GameLuaScriptImpl::LuaScriptEngine::GetOwner(L));
}

TimerWrapper::~TimerWrapper() = default;

int TimerWrapper::Stop(lua_State*)
{
    _timer->Stop();
    return 0;
}

int TimerWrapper::Pause(lua_State*)
{
    _timer->Pause();
    return 0;
}

int TimerWrapper::Setup(lua_State* L)
{
    const float seconds = CheckFloat(L, 1);
    const std::string text = CheckString(L, 2);
    if (RunsNothing(text))
        LogTextThatRunsNothing("Timer:Setup", text);
    LogLoadingScreenTimer(text);
    _scriptString = text;
    _timer->SetupTime(seconds);
    return 0;
}

int TimerWrapper::Resume(lua_State*)
{
    _timer->Resume();
    return 0;
}

int TimerWrapper::IsStoped(lua_State* L)
{
    PushTruth(L, _timer->IsStoped());
    return 1;
}

void TimerWrapper::RunScript(void*)
{
    if (_scriptString.size() < 2 || _scriptString[0] != '#')
        return;
    const std::string text = _scriptString.substr(1);
    const StateCallback callback = _callback;
    if (!callback.Run(text))
        EngineCore::ThrowEngineError(kSource, 98, "Internal error.");
}

}  // namespace GameCore
