#include "game/Input/GameActionControllerManager.h"

#include <map>
#include <string>
#include <vector>

#include "game/Base/Application.h"
#include "game/Base/GameState.h"
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
        // While a state loads, its interpreter belongs to the loader thread, which may be
        // in it right now; the text rests rather than enter it from here.
        Application& application = Application::Instance();
        std::shared_ptr<GameState> current;
        if (!application.GetCurrentGameState(current) || !current || !current->IsEntered() ||
            application.IsWaiting())
            return false;
        // The text is copied: running it may unbind the very action that holds it.
        return current->RunScriptString(std::string(text + 1));
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
