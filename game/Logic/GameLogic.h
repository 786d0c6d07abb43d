#pragma once
#include <memory>

namespace GameCore {

class TimerStorage;
class CharacterAnimationStorage;
class GameState;

// The per-state holder of timers and character animations.
class GameLogic {
public:
    GameLogic();
    ~GameLogic();
    GameLogic(const GameLogic&) = delete;
    GameLogic& operator=(const GameLogic&) = delete;

    TimerStorage& GetTimerStorage() const;
    CharacterAnimationStorage& GetCharacterAnimationStorage() const;

protected:
    friend class GameState;
    void Update(float dt);

private:
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace GameCore
