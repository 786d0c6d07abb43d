#include "game/Character/CharacterAnimation.h"

#include <atomic>
#include <deque>
#include <map>
#include <string>

#include "engine/Resources/ResourceManager.h"
#include "engine/System/EngineError.h"
#include "game/Character/CharacterAnimationStorage.h"

namespace GameCore {

namespace {
const char* const kSource = "Character\\CharacterAnimation.cpp";
const int kSpriteType = 2;

// Sprites are named across every animation of the process, on any thread.
std::atomic<unsigned int> g_spriteCounter{0};
}  // namespace

struct CharacterAnimation::Impl {
    bool paused = true;
    bool loop = false;
    bool idle = true;
    float shadowPriority = -11.0f;
    float baseX = 0;
    float baseY = 0;
    int nextTextureIndex = 0;
    int storageIndex = -1;
    std::map<int, EngineCore::Sprite*> sprites;
    std::map<int, std::shared_ptr<EngineCore::Resource>> textures;
    std::map<int, std::shared_ptr<EngineCore::Resource>> spriteResources;
    std::deque<std::string> queue;
    std::map<std::string, std::shared_ptr<CharacterAnimationState>> states;
    CharacterAnimationState::CallbackType ownEndCallback;
    std::shared_ptr<CharacterAnimationState> current;
    void* moveUser = nullptr;
    std::function<void(float, float, void*)> moveCallback;
    void* endUser = nullptr;
    std::function<void(void*)> endCallback;
    CharacterAnimationStorage* storage = nullptr;

    EngineCore::Sprite* SpriteOf(int textureIndex) const
    {
        const auto found = sprites.find(textureIndex);
        return found == sprites.end() ? nullptr : found->second;
    }
};

CharacterAnimation::CharacterAnimation() : _impl(new Impl)
{
    // The user pointer tells this animation's handler from another's when it is removed.
    _impl->ownEndCallback =
        CharacterAnimationState::CallbackType([this](void* user) { EndAnimationCallback(user); }, this);
}

CharacterAnimation::~CharacterAnimation()
{
    if (_impl->storage)
        _impl->storage->Remove(_impl->storageIndex);
    // The resource manager keeps the per-texture sprites a little longer: none
    // may stay on screen for an animation that is gone.
    HideSprites();
    // States may outlive this animation (a script can still hold one): they must
    // not call back into it.
    for (const auto& entry : _impl->states) {
        if (entry.second)
            *entry.second -= _impl->ownEndCallback;
    }
}

void CharacterAnimation::HideSprites()
{
    for (const auto& entry : _impl->sprites)
        entry.second->SetVisible(false);
}

void CharacterAnimation::SetVisible(bool visible)
{
    if (!visible)
        HideSprites();
    Sprite::SetVisible(visible);
}

void CharacterAnimation::MoveBase(float dx, float dy)
{
    _impl->baseX += dx;
    _impl->baseY += dy;
    SetPosition(_impl->baseX, _impl->baseY);
}

void CharacterAnimation::Update(float dt)
{
    // A callback may drop the last reference to this animation: keep it alive
    // until the update returns. An animation on its way out draws nothing.
    const std::shared_ptr<CharacterAnimation> self = weak_from_this().lock();
    if (!self)
        return;
    HideSprites();
    if (!IsVisible() || !_impl->current)
        return;
    if (!_impl->paused) {
        if (_impl->idle && !_impl->queue.empty())
            UpdateExecuteBuffer();
        const std::shared_ptr<CharacterAnimationState> state = _impl->current;
        state->Update(dt);
    }

    const std::shared_ptr<CharacterAnimationState> state = _impl->current;
    CharacterAnimationState::AnimationFrame frame;
    CharacterAnimationState::AnimationFrame shadow;
    float moveX = 0;
    float moveY = 0;
    if (!state->GetCurrentAnimationFrame(frame, shadow, moveX, moveY))
        EngineCore::ThrowEngineError(kSource, 517, "Internal error.");
    if (!_impl->SpriteOf(frame.textureIndex))
        EngineCore::ThrowEngineError(kSource, 523, "Internal error.");
    SetPosition(_impl->baseX + moveX, _impl->baseY + moveY);
    if (_impl->moveCallback) {
        const std::function<void(float, float, void*)> callback = _impl->moveCallback;
        callback(moveX, moveY, _impl->moveUser);
    }

    // Looked up again: the move callback may have added textures.
    if (EngineCore::Sprite* sprite = _impl->SpriteOf(frame.textureIndex)) {
        sprite->SetVisible(true);
        sprite->SetHotSpot(frame.hotSpotX, frame.hotSpotY);
        sprite->SetPosition(GetPositionX() + frame.offsetX, GetPositionY() + frame.offsetY);
        sprite->SetPriority(GetPriority());
        sprite->SetTextureRect(frame.rectX, frame.rectY, frame.rectWidth, frame.rectHeight);
    }
    EngineCore::Sprite* shadowSprite = _impl->SpriteOf(shadow.textureIndex);
    if (!shadowSprite)
        EngineCore::ThrowEngineError(kSource, 548, "Internal error.");
    shadowSprite->SetVisible(true);
    shadowSprite->SetHotSpot(shadow.hotSpotX, shadow.hotSpotY);
    shadowSprite->SetPosition(GetPositionX() + 2 * shadow.offsetX, GetPositionY() + 2 * shadow.offsetY);
    shadowSprite->SetPriority(_impl->shadowPriority);
    shadowSprite->SetVerticalScale(2.0f);
    shadowSprite->SetHorizontalScale(2.0f);
    shadowSprite->SetTextureRect(shadow.rectX, shadow.rectY, shadow.rectWidth, shadow.rectHeight);
}

void CharacterAnimation::Play(bool loop)
{
    _impl->paused = false;
    _impl->loop = loop;
    if (_impl->current) {
        _impl->current->SetLoop(loop);
        _impl->current->SetPaused(false);
    }
}

void CharacterAnimation::Stop()
{
    _impl->paused = true;
    if (_impl->current)
        _impl->current->Stop();
}

void CharacterAnimation::Pause()
{
    _impl->paused = true;
    if (_impl->current)
        _impl->current->SetPaused(true);
}

void CharacterAnimation::Resume()
{
    _impl->paused = false;
    if (_impl->current) {
        _impl->current->SetLoop(_impl->loop);
        _impl->current->SetPaused(false);
    }
}

void CharacterAnimation::AddState(const char* name, const std::shared_ptr<CharacterAnimationState>& state)
{
    if (!state)
        return;
    const std::string key = name ? name : "";
    _impl->states[key] = state;
    state->SetName(key.c_str());
    *state += _impl->ownEndCallback;
    if (!_impl->current)
        _impl->current = state;
}

bool CharacterAnimation::GetState(const char* name, std::shared_ptr<CharacterAnimationState>& out) const
{
    const auto found = _impl->states.find(name ? name : "");
    if (found == _impl->states.end())
        return false;
    out = found->second;
    return true;
}

bool CharacterAnimation::SetCurrentAnimationState(const char* name)
{
    std::shared_ptr<CharacterAnimationState> state;
    if (!GetState(name, state))
        return false;
    if (_impl->current)
        _impl->current->Stop();
    _impl->current = state;
    return true;
}

bool CharacterAnimation::GetCurrentAnimationState(std::shared_ptr<CharacterAnimationState>& out) const
{
    if (!_impl->current)
        return false;
    out = _impl->current;
    return true;
}

const char* CharacterAnimation::GetCurrentAnimationStateName() const
{
    return _impl->current ? _impl->current->GetName() : nullptr;
}

int CharacterAnimation::AddTexture(const std::shared_ptr<EngineCore::Resource>& texture)
{
    for (const auto& entry : _impl->textures) {
        if (entry.second == texture)
            return entry.first;
    }
    const int index = _impl->nextTextureIndex++;
    _impl->textures[index] = texture;
    const std::string name = "CharacterAnimation.Sprite." + std::to_string(g_spriteCounter++);
    std::shared_ptr<EngineCore::Resource> resource;
    EngineCore::Sprite* sprite = nullptr;
    if (EngineCore::ResourceManager::Instance().GetResource(name, kSpriteType, resource) && resource)
        sprite = dynamic_cast<EngineCore::Sprite*>(resource.get());
    if (!sprite)
        EngineCore::ThrowEngineErrorF(kSource, 402, "Resource (%s) creating error.", name.c_str());
    _impl->spriteResources[index] = resource;
    _impl->sprites[index] = sprite;
    sprite->SetTexture(texture);
    sprite->SetColor(GetColor());
    sprite->SetVisible(false);
    sprite->SetBlendMode(GetBlendMode());
    sprite->SetRotation(GetRotation());
    return index;
}

bool CharacterAnimation::GetTexture(int index, std::shared_ptr<EngineCore::Resource>& out) const
{
    const auto found = _impl->textures.find(index);
    if (found == _impl->textures.end())
        return false;
    out = found->second;
    return true;
}

void CharacterAnimation::AddExecuteState(const char* name)
{
    _impl->queue.push_back(name ? name : "");
}

void CharacterAnimation::ClearExecuteStates()
{
    _impl->queue.clear();
}

bool CharacterAnimation::GetExecuteStates(std::vector<std::string>& out) const
{
    if (_impl->queue.empty())
        return false;
    out.assign(_impl->queue.begin(), _impl->queue.end());
    return true;
}

void CharacterAnimation::SetOnMoveCallback(const std::function<void(float, float, void*)>& fn, void* user)
{
    _impl->moveCallback = fn;
    _impl->moveUser = user;
}

void CharacterAnimation::SetEndAnimationCallback(const std::function<void(void*)>& fn, void* user)
{
    _impl->endUser = user;
    _impl->endCallback = fn;
}

void CharacterAnimation::SetShadowPriority(float priority) { _impl->shadowPriority = priority; }

float CharacterAnimation::GetShadowPriority() const { return _impl->shadowPriority; }

void CharacterAnimation::SetOriginalPosition(float x, float y)
{
    _impl->baseX = x;
    _impl->baseY = y;
    SetPosition(x, y);
}

void CharacterAnimation::UpdateExecuteBuffer()
{
    if (_impl->queue.empty()) {
        _impl->idle = true;
        return;
    }
    _impl->idle = false;
    const std::string name = _impl->queue.front();
    _impl->queue.pop_front();
    const auto found = _impl->states.find(name);
    if (found == _impl->states.end() || !found->second)
        EngineCore::ThrowEngineError(kSource, 612, "Internal error.");
    const std::shared_ptr<CharacterAnimationState> next = found->second;
    const std::shared_ptr<CharacterAnimationState> old = _impl->current;
    _impl->current = next;

    if (old) {
        CharacterAnimationState::AnimationFrame frame;
        CharacterAnimationState::AnimationFrame shadow;
        float moveX = 0;
        float moveY = 0;
        if (old->GetEndAnimationFrame(frame, shadow, moveX, moveY) && (moveX != 0 || moveY != 0)) {
            MoveBase(moveX, moveY);
            if (_impl->moveCallback) {
                const std::function<void(float, float, void*)> callback = _impl->moveCallback;
                callback(moveX, moveY, _impl->moveUser);
            }
        }
        old->Stop();
    }
    next->Stop();
    next->SetLoop(_impl->loop);
    next->SetPaused(false);
    float startX = 0;
    float startY = 0;
    next->GetMoveStartOffset(startX, startY);
    if (startX != 0 || startY != 0)
        MoveBase(startX, startY);
    if (_impl->paused)
        next->SetPaused(true);
}

void CharacterAnimation::EndAnimationCallback(void*)
{
    if (const std::shared_ptr<CharacterAnimationState> state = _impl->current) {
        float endX = 0;
        float endY = 0;
        state->GetMoveEndOffset(endX, endY);
        if (endX != 0 || endY != 0)
            MoveBase(endX, endY);
    }
    if (!_impl->queue.empty()) {
        UpdateExecuteBuffer();
        return;
    }
    _impl->idle = true;
    if (_impl->endCallback) {
        const std::function<void(void*)> callback = _impl->endCallback;
        callback(_impl->endUser);
    }
}

int CharacterAnimation::GetStorageIndex() const { return _impl->storageIndex; }
void CharacterAnimation::SetStorageIndex(int index) { _impl->storageIndex = index; }
void CharacterAnimation::SetCharacterAnimationStorage(CharacterAnimationStorage* storage)
{
    _impl->storage = storage;
}

}  // namespace GameCore
