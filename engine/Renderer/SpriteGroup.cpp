#include "engine/Renderer/SpriteGroup.h"

#include <vector>

#include "engine/Renderer/SpriteGroupManager.h"

namespace EngineCore {

namespace {

// The member's value relative to the group's; a group value of 0 has wiped the
// member's own, so the member takes the group's next value as it is.
float Relative(float memberValue, float groupValue)
{
    return groupValue == 0.0f ? 1.0f : memberValue / groupValue;
}

}  // namespace

SpriteGroup::SpriteGroup()
{
    SetType(RT_SPRITE_GROUP);
}

SpriteGroup::~SpriteGroup()
{
    if (SpriteGroupManager::IsAlive()) {
        SpriteGroupManager::Instance().UnregisterSpriteGroup(this);
    }
    _sprites.clear();
}

template <typename Step>
void SpriteGroup::ForEachMember(Step step)
{
    // Shares held by the snapshot keep members alive through the pass; a member
    // that a setter removed from the group is skipped.
    const std::vector<std::shared_ptr<Resource>> snapshot(_sprites.begin(), _sprites.end());
    for (const std::shared_ptr<Resource>& member : snapshot) {
        if (_sprites.count(member) == 0) {
            continue;
        }
        if (Sprite* sprite = dynamic_cast<Sprite*>(member.get())) {
            step(*sprite);
        }
    }
}

bool SpriteGroup::Contains(const Sprite* sprite) const
{
    if (sprite == this) {
        return true;
    }
    for (const std::shared_ptr<Resource>& member : _sprites) {
        if (member.get() == sprite) {
            return true;
        }
        const SpriteGroup* group = dynamic_cast<const SpriteGroup*>(member.get());
        if (group != nullptr && group->Contains(sprite)) {
            return true;
        }
    }
    return false;
}

bool SpriteGroup::AddSprite(const std::shared_ptr<Resource>& sprite)
{
    if (!sprite) {
        return false;
    }
    Sprite* member = dynamic_cast<Sprite*>(sprite.get());
    if (member == nullptr) {
        return false;
    }
    const SpriteGroup* group = dynamic_cast<const SpriteGroup*>(member);
    if (member == this || (group != nullptr && group->Contains(this))) {
        return false;
    }
    _sprites.insert(sprite);
    return true;
}

bool SpriteGroup::RemoveSprite(const std::shared_ptr<Resource>& sprite)
{
    if (!sprite) {
        return false;
    }
    _sprites.erase(sprite);
    return true;
}

void SpriteGroup::EnableOpacityModifier()
{
    if (_opacityModifier) {
        return;
    }
    _opacityModifier = true;
    const float groupAlpha = GetColorFloat().w;
    ForEachMember([groupAlpha](Sprite& s) {
        D3DXVECTOR4 c = s.GetColorFloat();
        c.w = Relative(c.w, groupAlpha);
        s.SetColorFloat(c);
    });
}

void SpriteGroup::DisableOpacityModifier()
{
    if (!_opacityModifier) {
        return;
    }
    _opacityModifier = false;
    const float groupAlpha = GetColorFloat().w;
    ForEachMember([groupAlpha](Sprite& s) {
        D3DXVECTOR4 c = s.GetColorFloat();
        c.w = c.w * groupAlpha;
        s.SetColorFloat(c);
    });
}

void SpriteGroup::EnablePriorityModifier()
{
    if (_priorityModifier) {
        return;
    }
    _priorityModifier = true;
    const float groupPriority = GetPriority();
    ForEachMember([groupPriority](Sprite& s) { s.SetPriority(groupPriority + s.GetPriority()); });
}

void SpriteGroup::DisablePriorityModifier()
{
    if (!_priorityModifier) {
        return;
    }
    _priorityModifier = false;
    const float groupPriority = GetPriority();
    ForEachMember([groupPriority](Sprite& s) { s.SetPriority(s.GetPriority() - groupPriority); });
}

void SpriteGroup::EnableTransformationsModifier()
{
    if (_transformationsModifier) {
        return;
    }
    _transformationsModifier = true;
    const float x = GetPositionX();
    const float y = GetPositionY();
    const float v = GetVerticalScale();
    const float h = GetHorizontalScale();
    const float r = GetRotation();
    ForEachMember([=](Sprite& s) {
        s.SetPosition(s.GetPositionX() - x, s.GetPositionY() - y);
        s.SetRotation(r + s.GetRotation());
        s.SetVerticalScale(Relative(s.GetVerticalScale(), v));
        s.SetHorizontalScale(Relative(s.GetHorizontalScale(), h));
    });
}

void SpriteGroup::DisableTransformationsModifier()
{
    if (!_transformationsModifier) {
        return;
    }
    _transformationsModifier = false;
    const float x = GetPositionX();
    const float y = GetPositionY();
    const float v = GetVerticalScale();
    const float h = GetHorizontalScale();
    const float r = GetRotation();
    ForEachMember([=](Sprite& s) {
        s.SetPosition(x + s.GetPositionX(), y + s.GetPositionY());
        s.SetRotation(s.GetRotation() - r);
        s.SetVerticalScale(v * s.GetVerticalScale());
        s.SetHorizontalScale(h * s.GetHorizontalScale());
    });
}

void SpriteGroup::FlipOpacityModifier()
{
    _opacityModifier ? DisableOpacityModifier() : EnableOpacityModifier();
}

void SpriteGroup::FlipPriorityModifier()
{
    _priorityModifier ? DisablePriorityModifier() : EnablePriorityModifier();
}

void SpriteGroup::FlipTransformationsModifier()
{
    _transformationsModifier ? DisableTransformationsModifier() : EnableTransformationsModifier();
}

void SpriteGroup::SetColor(uint32_t argb)
{
    FlipOpacityModifier();
    Sprite::SetColor(argb);
    FlipOpacityModifier();
}

void SpriteGroup::SetPriority(float priority)
{
    FlipPriorityModifier();
    Sprite::SetPriority(priority);
    FlipPriorityModifier();
}

void SpriteGroup::SetPosition(float x, float y)
{
    FlipTransformationsModifier();
    Sprite::SetPosition(x, y);
    FlipTransformationsModifier();
}

void SpriteGroup::SetRotation(float rotation)
{
    FlipTransformationsModifier();
    Sprite::SetRotation(rotation);
    FlipTransformationsModifier();
}

void SpriteGroup::SetVerticalScale(float scale)
{
    FlipTransformationsModifier();
    Sprite::SetVerticalScale(scale);
    FlipTransformationsModifier();
}

void SpriteGroup::SetHorizontalScale(float scale)
{
    FlipTransformationsModifier();
    Sprite::SetHorizontalScale(scale);
    FlipTransformationsModifier();
}

void SpriteGroup::Update(float) {}

void SpriteGroup::Render() {}

void SpriteGroup::SetVisible(bool) {}

bool SpriteGroup::SetTexture(const std::shared_ptr<Resource>&)
{
    return true;
}

}  // namespace EngineCore
