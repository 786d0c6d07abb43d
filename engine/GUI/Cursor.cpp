#include "engine/GUI/Cursor.h"

#include <string>

#include "engine/Animation/Animation.h"
#include "engine/Animation/AnimationKey.h"
#include "engine/Animation/AnimationPlayer.h"
#include "engine/Resources/ResourceManager.h"
#include "engine/System/EngineError.h"

namespace EngineCore {

namespace {

const char* const kSource = "GUI\\Cursor.cpp";

}  // namespace

struct Cursor::Impl {
    bool visible = false;
    std::shared_ptr<Resource> sprite;
    std::shared_ptr<Resource> animation;
    std::shared_ptr<AnimationPlayer> player;
};

Cursor::Cursor() : _impl(new Impl)
{
    SetType(RT_CURSOR);
}

Cursor::~Cursor() = default;

bool Cursor::IsValid() const
{
    return static_cast<bool>(_impl->sprite);
}

void Cursor::SetSprite(const std::shared_ptr<Resource>& sprite)
{
    _impl->sprite = sprite;
    if (!sprite)
        return;
    auto player = std::make_shared<AnimationPlayer>();
    player->SetSprite(sprite);
    _impl->player = player;
}

const std::shared_ptr<Resource>& Cursor::GetSprite() const
{
    return _impl->sprite;
}

bool Cursor::IsVisible() const
{
    return _impl->visible;
}

std::shared_ptr<AnimationPlayer> Cursor::GetPlayer() const
{
    return _impl->player;
}

void Cursor::Show()
{
    _impl->visible = true;
}

void Cursor::Hide()
{
    _impl->visible = false;
}

// The player itself skips the step while stopped or without sprite and animation.
void Cursor::Update(float dt)
{
    if (_impl->visible && _impl->player && _impl->animation)
        _impl->player->Update(dt, false);
}

void Cursor::Play()
{
    if (_impl->player)
        _impl->player->Play();
}

void Cursor::Pause()
{
    if (_impl->player)
        _impl->player->Pause();
}

void Cursor::Stop()
{
    if (_impl->player)
        _impl->player->Stop();
}

void Cursor::SetAnimationSpeed(float speed)
{
    if (_impl->player)
        _impl->player->SetAnimationSpeed(speed);
}

void Cursor::SetStartAnimationFrame(unsigned frame)
{
    if (_impl->player)
        _impl->player->SetStartAnimationFrame(frame);
}

void Cursor::SetNumAnimatedFrames(unsigned count)
{
    if (!_impl->sprite || !_impl->player)
        ThrowEngineError(kSource, 139, "Cursor::SetNumAnimatedFrames call before sprite initializing.");
    if (count <= 1)
        return;

    const std::string name = std::string("AnimatedCursors.") + _impl->sprite->GetName() + ".Animation";
    auto animation = std::make_shared<Animation>();
    // The count comes from a script: the reservation is bounded, not the keys.
    animation->Reserve(static_cast<int>(count > 65536u ? 65536u : count));
    const float last = static_cast<float>(count - 1);
    for (unsigned i = 0; i < count; ++i) {
        AnimationKey key;
        key.SetAnimationFrame(static_cast<int>(i));
        animation->AddAnimationKey(key, static_cast<float>(i) / last);
    }
    _impl->animation = animation;
    ResourceManager::Instance().AddResource(name, animation);

    AnimationPlayer& player = *_impl->player;
    player.SetAnimation(animation);
    player.SetStartAnimationFrame(0);
    player.SetNumAnimatedFrames(count);
    player.SetAnimationType(AnimationPlayer::AT_LOOP);
}

}  // namespace EngineCore
