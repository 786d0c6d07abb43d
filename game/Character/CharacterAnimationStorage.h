#pragma once
#include <memory>

namespace GameCore {

class CharacterAnimation;

// The character animations of one game state, in numbered slots, updated once a
// frame by the state's logic step. The storage does not own its animations.
class CharacterAnimationStorage {
public:
    CharacterAnimationStorage();
    ~CharacterAnimationStorage();
    CharacterAnimationStorage(const CharacterAnimationStorage&) = delete;
    CharacterAnimationStorage& operator=(const CharacterAnimationStorage&) = delete;

    void Update(float dt);
    void Clear();

protected:
    bool Remove(int index);

private:
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace GameCore
