#pragma once
#include <functional>
#include <memory>

namespace EngineCore {
class InputEvent;
}

namespace GameCore {

class GameActionController;
class StateCallback;

// Runs the handler texts of input bindings and GUI actions. A text of more than one
// character that starts with "#" is Lua, run in the interpreter of the game state that
// owns the text (the one that made the binding); any other text ("#" alone included)
// names a function registered here.
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
    // Runs a text for the state that calls (StateCallback's rule: the state whose
    // script runs on this thread, else the current one); as RunBoundAction.
    virtual bool RunAction(const char* text, const std::shared_ptr<EngineCore::InputEvent>& event);
    // False for an empty or null text, for a "#" text whose owner is gone or is not
    // entered (it was left, or the loader thread is entering it: in the frame that
    // starts a switch), and for a name without a function. A Lua error in the text
    // passes out as the engine error.
    virtual bool RunBoundAction(const StateCallback& owner, const char* text,
                                const std::shared_ptr<EngineCore::InputEvent>& event);

private:
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace GameCore
