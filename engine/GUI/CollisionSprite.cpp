#include "engine/GUI/CollisionSprite.h"

#include <algorithm>

#include "engine/GUI/Control.h"
#include "engine/Renderer/Sprite.h"

namespace EngineCore {

struct CollisionSprite::Link {
    Control* control;
};

CollisionSprite::CollisionSprite(Control& owner) : _owner(&owner) {}

CollisionSprite::~CollisionSprite() = default;

void CollisionSprite::Follow(Control& control, const Sprite& sprite)
{
    control.SetPosition(CPoint{TruncateToInt32(sprite.GetPositionX() - sprite.GetHotSpotX()),
                               TruncateToInt32(sprite.GetPositionY() - sprite.GetHotSpotY())});
    float x, y, width, height;
    sprite.GetTextureRect(x, y, width, height);
    const int32_t side = TruncateToInt32(std::max(width, height));
    control.SetSize(CSize{side, side});
}

void CollisionSprite::Set(const std::shared_ptr<Resource>& sprite)
{
    // Whatever hook the previous sprite still has of ours goes dead with the link.
    _link.reset();
    _sprite = nullptr;
    _share = sprite;
    if (!sprite)
        return;
    _sprite = dynamic_cast<Sprite*>(sprite.get());
    if (!_sprite)
        return;
    _link = std::make_shared<Link>(Link{_owner});
    const std::weak_ptr<Link> weak = _link;
    _sprite->SetOnCanvasChangedFunction([weak](Sprite* changed) {
        if (const std::shared_ptr<Link> link = weak.lock())
            Follow(*link->control, *changed);
    });
    Follow(*_owner, *_sprite);
}

bool CollisionSprite::Hits(const CPoint& point) const
{
    if (!_share)
        return true;
    return _sprite && _sprite->IsAlphaCollided(static_cast<float>(point.x), static_cast<float>(point.y));
}

}  // namespace EngineCore
