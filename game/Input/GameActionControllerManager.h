#pragma once
#include <functional>
#include <memory>

namespace EngineCore {
class InputEvent;
}

namespace GameCore {

class GameActionController;

// Runs the handler texts of input bindings and GUI actions. A text of more than one
// character that starts with "#" is Lua for the current game state; any other text
// ("#" alone included) names a function registered here.
class GameActionControllerManager {
public:
    using ActionFunction = std::function<void(const std::shared_ptr<EngineCore::InputEvent>&)>;

    GameActionControllerManager();
    virtual ~GameActionControllerManager();
    GameActionControllerManager(const GameActionControllerManager&) = delete;
    GameActionControllerManager& operator=(const GameActionControllerManager&) = delete;

    // A name that is already there keeps its first function. Always true.
    bool RegisterAction(const char* name, const ActionFunction& function);
    // False when the name is absent.
    bool UnregisterAction(const char* name);
    bool IsExistAction(const char* name) const;
    // Appends the controller, then tells it where it is stored.
    void StoreGameActionController(const std::shared_ptr<GameActionController>& controller);

    // Every stored controller's Update, in order of storing.
    virtual void Update();
    // False for an empty or null text, for a "#" text when no entered game state can
    // run it (none is current, or the current one is still being entered on the
    // loader thread, or it was left), and for a name without a function. A Lua error
    // in the text passes out as the engine error.
    virtual bool RunAction(const char* text, const std::shared_ptr<EngineCore::InputEvent>& event);

private:
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace GameCore
