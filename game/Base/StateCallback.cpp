#include "game/Base/StateCallback.h"

#include "game/Base/Application.h"
#include "game/Base/GameState.h"

namespace GameCore {

namespace {
// A plain pointer: a scope lives inside a call on the state, which holds it alive.
thread_local GameState* t_callingState = nullptr;
}  // namespace

StateCallback::Scope::Scope(GameState& state) : _outer(t_callingState), _named(state.GetStateName())
{
    t_callingState = &state;
}

StateCallback::Scope::~Scope() { t_callingState = _outer; }

std::shared_ptr<GameState> StateCallback::CallingState()
{
    if (t_callingState) {
        // Null only for a state that is not owned by a shared pointer (never made
        // through the application): then it cannot be captured either.
        if (std::shared_ptr<GameState> calling = t_callingState->weak_from_this().lock())
            return calling;
    }
    std::shared_ptr<GameState> state;
    Application::Instance().GetCurrentGameState(state);
    return state;
}

std::shared_ptr<GameState> StateCallback::FiringState()
{
    if (t_callingState)
        return CallingState();
    Application& application = Application::Instance();
    std::shared_ptr<GameState> current;
    if (!application.GetCurrentGameState(current) || !current->IsEntered() || application.IsWaiting())
        return nullptr;
    return current;
}

StateCallback::StateCallback() : _owner(CallingState()) {}

StateCallback::StateCallback(const std::shared_ptr<GameState>& owner) : _owner(owner) {}

bool StateCallback::Run(const std::string& text) const
{
    const std::shared_ptr<GameState> owner = _owner.lock();
    return owner && owner->RunScriptString(text);
}

std::shared_ptr<GameState> StateCallback::Owner() const { return _owner.lock(); }

}  // namespace GameCore
