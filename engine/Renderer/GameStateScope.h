#pragma once
#include <string>

namespace EngineCore {

// Which game state owns what the calling thread makes. The one rule, asked by every
// registry that files objects by state (render system sprites, sprite groups, named
// animation players, GUI controls, action tracks; in the game library timers and
// character animations, through GameCore::StateCallback::CallingState, whose scope
// sets this one):
//
//   an object belongs to the state whose script runs on the calling thread (the
//   innermost GameStateScope), else to the render system's current state (which
//   the game keeps equal to its current state: one fallback for both faces).
//
// No registry reads the current state to file an object; drawing, updating and
// input still walk the current state's objects.
//
// During a load the loader thread enters the new state while the main thread keeps
// running the "system" state's loading screen. Each thread files under its own
// state, so neither touches the other's per-state lists. What the two threads do
// share: resources named alike (a font, a texture, a sound stream: see Font.h for
// the font's rules), the registries themselves (each guards its own maps), and the
// class-wide music change (SoundStreamWrapper). Objects of one state are never
// handed to the other.
//
// Scopes nest and restore the outer name when they end; they belong to the thread
// that made them.
class GameStateScope {
public:
    explicit GameStateScope(const std::string& name);
    ~GameStateScope();
    GameStateScope(const GameStateScope&) = delete;
    GameStateScope& operator=(const GameStateScope&) = delete;

    // The innermost scope's name on this thread; empty outside every scope.
    static const std::string& Current();

    // The state that owns what the calling thread makes now (the rule above); empty
    // only when no scope is set and no state is current.
    static std::string Owner();

private:
    std::string _outer;
};

}  // namespace EngineCore
