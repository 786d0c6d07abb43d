#pragma once
// The loading scripts of the small games the end-to-end runs write.
#include <string>

#include "tests/support/TempFolder.h"

namespace E2E {

// The system state a game needs and nothing more: the tables and players the runtime
// looks up, loadings that do nothing and page effects that end at once.
inline const char* const kBareSystemState =
    "SystemLogic = { CursorAnimation = {} }\n"
    "Loading = { LoadingBar = {} }\n"
    "PageFX = {}\n"
    "SystemLogic.CursorAnimation.player = AnimationPlayer()\n"
    "SystemLogic.CursorAnimation.player:SetName('SystemLogic.CursorAnimation.player')\n"
    "Loading.LoadingBar.AnimationPlayer = AnimationPlayer()\n"
    "Loading.LoadingBar.AnimationPlayer:SetName('Loading.LoadingBar.AnimationPlayer')\n"
    "function SystemLogic.FirstLoading() end\n"
    "function Loading.StartMenuLoading() end\n"
    "function Loading.StartGameLoading() end\n"
    "function Loading.StartPageFX() GameStateSystem():EndPageFx() end\n"
    "function Loading.Update() end\n";

// A game of one state, "menu", run by States/Menu.lua.
inline const char* const kMenuStartup =
    "Application():SetStartupScript('Scripts/GameAPI.lua')\n"
    "local m = GameState(); m:SetName('menu'); m:SetStartupScript('States/Menu.lua')\n"
    "Application():SetCurrentGameState('menu')\n";

// The system state and the startup script under Base/, with empty pre-startup and
// game API scripts.
inline void WriteLoadingScripts(const TestSupport::TempFolder& game, const std::string& systemState,
                                const std::string& startup)
{
    game.WriteFile("Base/Loading/SystemState.lua", systemState);
    game.WriteFile("Base/Loading/Scripts/PreStartup.lua", "");
    game.WriteFile("Base/Loading/Scripts/Startup.lua", startup);
    game.WriteFile("Base/Scripts/GameAPI.lua", "");
}

}  // namespace E2E
