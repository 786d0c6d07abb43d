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
const unsigned kMaxFrames = 65536;

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
    // One key per frame: a count from a script beyond any texture's cells (-1 reads as
    // four billion) would take all memory, so it changes nothing, as 0 and 1 do.
    if (count <= 1 || count > kMaxFrames)
        return;

    const std::string name = std::string("AnimatedCursors.") + _impl->sprite->GetName() + ".Animation";
    auto animation = std::make_shared<Animation>();
    animation->Reserve(static_cast<int>(count));
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
