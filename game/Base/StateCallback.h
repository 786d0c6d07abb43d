#pragma once
#include <memory>
#include <string>

#include "engine/Renderer/GameStateScope.h"

namespace GameCore {

class GameState;

// The game state that made a script object, in whose interpreter the object's
// script callbacks (end of animation, timers, GUI actions, track keys, character
// events) run. Every class that runs script text on an object's behalf captures
// one when the object is made and runs its texts through it.
//
// Key and mouse bindings are not objects of a state: they are one table for the
// game, and their texts run in the current state (GameActionControllerManager).
//
// The rule for script text the runtime runs on an object's behalf:
// - a callback runs in the interpreter of the game state that made the object,
//   never in "the current state": while another state loads, the current state is
//   the one being entered on the loader thread, and the "system" state's loading
//   screen keeps running on the main thread;
// - script text a script starts (RunScript, RunScriptString) runs in the
//   interpreter of the script that asked (CallingState());
// - objects are filed under their owner, by the one rule of
//   EngineCore::GameStateScope::Owner: the engine's registries ask it by name, the
//   game's (timers, character animations) ask CallingState(), its face for game
//   state objects. A Scope sets both at once. With no scope both fall back to the
//   current state: the application names every state it makes current to the render
//   system at once, so the two faces agree also between a switch and the entry;
// - a callback that looks its owner up when it fires (FiringState) runs only in a
//   state that is entered while no load runs.
// In an ordinary frame all of these are the current game state.
//
// Invariant: a callback runs only in the interpreter of the state that made the
// object, and only while that state is entered; a left or destroyed state runs
// nothing. One interpreter is never entered by two threads at once: the script
// engine reports it as an engine error.
class StateCallback {
public:
    // Marks `state` as the state whose script runs on this thread until the scope
    // ends (scopes nest). GameState sets one around everything it runs in its
    // interpreter: entering (on the loader thread too), frames, the loading screen's
    // calls, and script runs.
    class Scope {
    public:
        explicit Scope(GameState& state);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        GameState* _outer;
        EngineCore::GameStateScope _named;
    };

    // The owner of what the calling thread makes (EngineCore::GameStateScope::Owner)
    // as a game state object: the state whose script runs on the calling thread; when
    // none does, the application's current game state (null before any state exists).
    static std::shared_ptr<GameState> CallingState();

    // The owner for a callback that looks its owner up when it fires, not when it is made
    // (the screen-settings hook, the system updater): CallingState() while a state's script
    // runs on this thread; otherwise the current state, but only once it is entered and no
    // load runs (null before: the state being entered belongs to the loader thread).
    static std::shared_ptr<GameState> FiringState();

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
