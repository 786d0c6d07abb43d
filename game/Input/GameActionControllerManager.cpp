#include "game/Input/GameActionControllerManager.h"

#include <map>
#include <string>
#include <vector>

#include "game/Base/Application.h"
#include "game/Base/GameState.h"
#include "game/Base/StateCallback.h"
#include "game/Input/GameActionController.h"

namespace GameCore {

struct GameActionControllerManager::Impl {
    std::map<std::string, ActionFunction> functions;
    std::vector<std::shared_ptr<GameActionController>> controllers;
};

GameActionControllerManager::GameActionControllerManager() : _impl(new Impl) {}
GameActionControllerManager::~GameActionControllerManager() = default;

bool GameActionControllerManager::RegisterAction(const char* name, const ActionFunction& function)
{
    if (name)
        _impl->functions.emplace(name, function);
    return true;
}

bool GameActionControllerManager::UnregisterAction(const char* name)
{
    return name && _impl->functions.erase(name) > 0;
}

bool GameActionControllerManager::IsExistAction(const char* name) const
{
    return name && _impl->functions.count(name) > 0;
}

void GameActionControllerManager::StoreGameActionController(const std::shared_ptr<GameActionController>& controller)
{
    if (!controller)
        return;
    _impl->controllers.push_back(controller);
    controller->OnStored(this);
}

void GameActionControllerManager::Update()
{
    const size_t count = _impl->controllers.size();
    for (size_t i = 0; i < count && i < _impl->controllers.size(); ++i) {
        const std::shared_ptr<GameActionController> controller = _impl->controllers[i];
        controller->Update();
    }
}

bool GameActionControllerManager::RunAction(const char* text, const std::shared_ptr<EngineCore::InputEvent>& event)
{
    if (!text || text[0] == '\0')
        return false;
    if (text[0] == '#' && text[1] != '\0') {
        Application& application = Application::Instance();
        std::shared_ptr<GameState> current;
        if (!application.GetCurrentGameState(current) || !current)
            return false;
        // In the frame that starts a switch the next state is already current while
        // the loader thread enters it: its interpreter is not ours until the load ends.
        // Entered is read first: the loading flag is raised before entering starts.
        if (!current->IsEntered() || application.IsWaiting())
            return false;
        // The text is copied: running it may unbind the very action that holds it.
        return StateCallback(current).Run(std::string(text + 1));
    }
    const auto found = _impl->functions.find(text);
    if (found == _impl->functions.end())
        return false;
    const ActionFunction function = found->second;
    if (function)
        function(event);
    return true;
}

}  // namespace GameCore
