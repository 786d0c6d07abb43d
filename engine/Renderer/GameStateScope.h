#pragma once
#include <string>

namespace EngineCore {

// The game state whose scripts run on the calling thread, by name. While one is
// set, objects made on this thread (sprites, sprite groups, named animation
// players) are filed under it rather than under the render system's current
// state: during a load the loader thread enters the new state while the main
// thread keeps running the "system" state's loading screen, and each thread's
// objects belong to the state whose script made them.
//
// Scopes nest and restore the outer name when they end; they belong to the
// thread that made them.
class GameStateScope {
public:
    explicit GameStateScope(const std::string& name);
    ~GameStateScope();
    GameStateScope(const GameStateScope&) = delete;
    GameStateScope& operator=(const GameStateScope&) = delete;

    // The innermost scope's name on this thread; empty outside every scope.
    static const std::string& Current();

private:
    std::string _outer;
};

}  // namespace EngineCore
