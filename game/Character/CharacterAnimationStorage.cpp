#include "game/Character/CharacterAnimationStorage.h"

#include "game/Logic/SlotStorage.h"

namespace GameCore {

struct CharacterAnimationStorage::Impl {
    SlotStorage<CharacterAnimation> slots;
};

CharacterAnimationStorage::CharacterAnimationStorage() : _impl(new Impl) {}

CharacterAnimationStorage::~CharacterAnimationStorage() { Clear(); }

// Animations are filed only by CreateCharacterAnimation, which comes with the
// character animation class itself; until then no slot is ever in use.
void CharacterAnimationStorage::Update(float) {}

void CharacterAnimationStorage::Clear() { _impl->slots.Clear(); }

bool CharacterAnimationStorage::Remove(int index) { return _impl->slots.Remove(index); }

}  // namespace GameCore
