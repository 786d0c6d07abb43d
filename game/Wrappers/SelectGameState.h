#pragma once
// The one way scripts pick the next game state by name: "SetCurrentGameState" of
// "Application" and "ChangeState" of "GameStateSystem" behave alike.
#include <memory>
#include <string>

#include "game/Base/Application.h"
#include "game/Base/GameState.h"

namespace GameCore {

// "Game state (<name>) does not exist: ..." with the names that do, in the system log.
void LogUnknownGameState(const std::string& name);

// A name that was never created selects an empty state, which cancels a pending
// switch (or fails when no state is current).
inline void SelectGameState(const std::string& name)
{
    Application& application = Application::Instance();
    std::shared_ptr<GameState> selected;
    if (!application.GetGameState(name, selected))
        LogUnknownGameState(name);
    application.SetCurrentGameState(selected, false);
}

}  // namespace GameCore
