#pragma once
#include <memory>

#include "engine/GUI/GuiGeometry.h"

namespace EngineCore {

class Control;
class Resource;
class Sprite;

// The sprite a button or draggable image follows: the control's rectangle is
// kept on the sprite (corner at the hot-spot-corrected position, a square of the
// larger texture-rectangle side) through the sprite's canvas-changed hook, and
// the sprite's collision function decides hits.
//
// The hook holds only a weak link to this object: a hook left on a sprite after
// the control let go of it, or after the control died, does nothing. Letting go
// never touches the sprite's hook, so a second control that took the same sprite
// since keeps following it.
class CollisionSprite {
public:
    explicit CollisionSprite(Control& owner);
    ~CollisionSprite();
    CollisionSprite(const CollisionSprite&) = delete;
    CollisionSprite& operator=(const CollisionSprite&) = delete;

    // An empty pointer lets go; the control keeps its last rectangle. A resource
    // that is not a sprite is held but never followed and never hit.
    void Set(const std::shared_ptr<Resource>& sprite);
    const std::shared_ptr<Resource>& Get() const { return _share; }
    // No sprite: every point hits. A sprite without a collision function: none does.
    bool Hits(const CPoint& point) const;

private:
    struct Link;
    static void Follow(Control& control, const Sprite& sprite);

    Control* _owner;
    std::shared_ptr<Resource> _share;
    Sprite* _sprite = nullptr;
    std::shared_ptr<Link> _link;
};

}  // namespace EngineCore
