#pragma once

namespace GameCore {

class GameActionControllerManager;

// A per-frame controller the controller manager can hold. Nothing in the runtime
// derives one; the interface stays for games that extend the library.
class GameActionController {
public:
    GameActionController() = default;
    GameActionController(const GameActionController&) = default;
    GameActionController& operator=(const GameActionController&) = default;
    virtual ~GameActionController() = default;

    virtual void Update() {}
    // Called once when the manager stores the controller.
    virtual void OnStored(GameActionControllerManager* manager) = 0;
    // For a game's own use; the runtime never calls it.
    virtual void OnRemoved() = 0;
};

}  // namespace GameCore
