#include "game/Logic/GameLogic.h"

#include "game/Character/CharacterAnimationStorage.h"
#include "game/Logic/TimerStorage.h"

namespace GameCore {

struct GameLogic::Impl {
    std::unique_ptr<TimerStorage> timers{new TimerStorage};
    std::unique_ptr<CharacterAnimationStorage> animations{new CharacterAnimationStorage};
};

GameLogic::GameLogic() : _impl(new Impl) {}

GameLogic::~GameLogic()
{
    _impl->animations->Clear();
    _impl->animations.reset();
    _impl->timers.reset();
}

TimerStorage& GameLogic::GetTimerStorage() const { return *_impl->timers; }

CharacterAnimationStorage& GameLogic::GetCharacterAnimationStorage() const
{
    return *_impl->animations;
}

void GameLogic::Update(float dt)
{
    _impl->timers->Update(dt);
    _impl->animations->Update(dt);
}

}  // namespace GameCore
