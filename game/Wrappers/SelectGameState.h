#pragma once
// The one way scripts pick the next game state by name: "SetCurrentGameState" of
// "Application" and "ChangeState" of "GameStateSystem" behave alike.
#include <memory>
#include <string>

#include "game/Base/Application.h"
#include "game/Base/GameState.h"

namespace GameCore {

// A name that was never created selects an empty state, which cancels a pending
// switch (or fails when no state is current).
inline void SelectGameState(const std::string& name)
{
    Application& application = Application::Instance();
    std::shared_ptr<GameState> selected;
    application.GetGameState(name, selected);
    application.SetCurrentGameState(selected, false);
}

}  // namespace GameCore
