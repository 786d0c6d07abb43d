#include "game/Base/StateCallback.h"

#include "game/Base/Application.h"
#include "game/Base/GameState.h"

namespace GameCore {

std::shared_ptr<GameState> StateCallback::CallingState()
{
    std::shared_ptr<GameState> state;
    Application::Instance().GetCurrentGameState(state);
    return state;
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
