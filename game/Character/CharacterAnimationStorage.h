#pragma once
#include <memory>

namespace GameCore {

class CharacterAnimation;

// The character animations of one game state, in numbered slots, updated once a
// frame by the state's logic step. The storage does not own its animations: each
// lives as long as the shared pointers CreateCharacterAnimation handed out and
// frees its slot then.
class CharacterAnimationStorage {
public:
    CharacterAnimationStorage();
    ~CharacterAnimationStorage();
    CharacterAnimationStorage(const CharacterAnimationStorage&) = delete;
    CharacterAnimationStorage& operator=(const CharacterAnimationStorage&) = delete;

    std::shared_ptr<CharacterAnimation> CreateCharacterAnimation();
    // Callbacks may make or free animations: one made meanwhile waits for the next
    // call, one freed is skipped.
    void Update(float dt);
    // Lets go of every animation; they no longer free a slot when destroyed.
    void Clear();

    int GetCapacity() const;

protected:
    friend class CharacterAnimation;
    bool Add(const std::shared_ptr<CharacterAnimation>& animation, int& index);
    bool Remove(int index);

private:
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace GameCore
