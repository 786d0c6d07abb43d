#include "game/Character/CharacterAnimationStorage.h"

#include "game/Character/CharacterAnimation.h"
#include "game/Logic/SlotStorage.h"

namespace GameCore {

struct CharacterAnimationStorage::Impl {
    SlotStorage<CharacterAnimation> slots;
};

CharacterAnimationStorage::CharacterAnimationStorage() : _impl(new Impl) {}

CharacterAnimationStorage::~CharacterAnimationStorage() { Clear(); }

std::shared_ptr<CharacterAnimation> CharacterAnimationStorage::CreateCharacterAnimation()
{
    std::shared_ptr<CharacterAnimation> animation(new CharacterAnimation);
    const int index = _impl->slots.GetFirstFreeSlot();
    _impl->slots.File(index, animation.get());
    animation->SetCharacterAnimationStorage(this);
    animation->SetStorageIndex(index);
    return animation;
}

void CharacterAnimationStorage::Update(float dt)
{
    const int count = _impl->slots.GetCapacity();
    for (int i = 0; i < count; ++i) {
        if (CharacterAnimation* animation = _impl->slots.At(i))
            animation->Update(dt);
    }
}

void CharacterAnimationStorage::Clear()
{
    for (int i = 0; i < _impl->slots.GetCapacity(); ++i) {
        if (CharacterAnimation* animation = _impl->slots.At(i))
            animation->SetCharacterAnimationStorage(nullptr);
    }
    _impl->slots.Clear();
}

int CharacterAnimationStorage::GetCapacity() const { return _impl->slots.GetCapacity(); }

bool CharacterAnimationStorage::Add(const std::shared_ptr<CharacterAnimation>& animation, int& index)
{
    index = _impl->slots.GetFirstFreeSlot();
    _impl->slots.File(index, animation.get());
    return true;
}

bool CharacterAnimationStorage::Remove(int index) { return _impl->slots.Remove(index); }

}  // namespace GameCore
