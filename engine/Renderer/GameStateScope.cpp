#include "engine/Renderer/GameStateScope.h"

#include "engine/Renderer/RenderSystem.h"

namespace EngineCore {

namespace {
thread_local std::string t_callingState;
}

GameStateScope::GameStateScope(const std::string& name) : _outer(t_callingState)
{
    t_callingState = name;
}

GameStateScope::~GameStateScope()
{
    t_callingState.swap(_outer);
}

const std::string& GameStateScope::Current()
{
    return t_callingState;
}

std::string GameStateScope::Owner()
{
    return t_callingState.empty() ? RenderSystem::Instance().GetCurrentGameState() : t_callingState;
}

}  // namespace EngineCore
