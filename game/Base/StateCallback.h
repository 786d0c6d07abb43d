#pragma once
#include <memory>
#include <string>

namespace GameCore {

class GameState;

// The game state that made a script object, in whose interpreter the object's
// script callbacks (end of animation, timers, GUI actions, input hooks, track
// keys, character events) run. Every class that runs script text on an object's
// behalf captures one when the object is made and runs its texts through it.
//
// Invariant: a callback runs only in the interpreter of the state that made the
// object, and only while that state is entered; a left or destroyed state runs
// nothing. In an ordinary frame the owner is the current game state.
class StateCallback {
public:
    // The state whose script runs on the calling thread; when none does, the
    // application's current game state (null before any state exists).
    static std::shared_ptr<GameState> CallingState();

    // Captures CallingState().
    StateCallback();
    explicit StateCallback(const std::shared_ptr<GameState>& owner);

    // Runs `text` (plain Lua, any leading '#' already removed) in the owner's
    // interpreter. False when the owner is gone or was left: nothing ran.
    // A Lua error in the text passes out as the engine error, as RunScriptString's.
    bool Run(const std::string& text) const;

    std::shared_ptr<GameState> Owner() const;

private:
    std::weak_ptr<GameState> _owner;
};

}  // namespace GameCore
