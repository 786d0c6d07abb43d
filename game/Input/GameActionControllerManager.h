#pragma once
#include <functional>
#include <memory>

namespace EngineCore {
class InputEvent;
}

namespace GameCore {

class GameActionController;

// Runs the handler texts of input bindings. A text of more than one character that
// starts with "#" is Lua, run in the interpreter of the current game state; any other
// text ("#" alone included) names a function registered here.
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
    // False for an empty or null text, for a name without a function, and for a "#"
    // text while no state is entered: there is no current state, or it is loading
    // (its scripts run on the loader thread until the load ends). A Lua error in the
    // text passes out as the engine error: a game that binds a text in one state and
    // leaves its function out of another gets that error there.
    virtual bool RunAction(const char* text, const std::shared_ptr<EngineCore::InputEvent>& event);

private:
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace GameCore
