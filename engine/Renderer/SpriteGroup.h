#pragma once
#include <memory>
#include <set>

#include "engine/Renderer/Sprite.h"

namespace EngineCore {

// A sprite that draws nothing and passes its colour, priority, position,
// rotation and scales on to its member sprites, which it shares.
//
// Each setter switches the matching modifier on (which takes the group's old
// value out of every member), stores the new value, and switches it off again
// (which puts the new value in). Members therefore follow the group's change in
// alpha, position and scales; rotation and priority turn against it, members
// changing by (old - new). Game scripts are written against that sense, so it
// is kept. Where the group's old alpha or scale is 0 the members' own value
// cannot be recovered; they take the group's new value instead.
class SpriteGroup : public Sprite {
public:
    SpriteGroup();
    ~SpriteGroup() override;

    void SetPriority(float priority) override;
    void SetColor(uint32_t argb) override;
    void Update(float dt) override;
    void Render() override;
    // A group is never visible itself.
    void SetVisible(bool visible) override;
    // A group has no texture; reports success and stores nothing.
    bool SetTexture(const std::shared_ptr<Resource>& texture) override;
    void SetVerticalScale(float scale) override;
    void SetHorizontalScale(float scale) override;
    void SetRotation(float rotation) override;
    void SetPosition(float x, float y) override;

    // Refuses empty pointers, resources that are not sprites, the group itself
    // and any group that contains this one (which would make setters recurse
    // without end). A member already present stays once.
    virtual bool AddSprite(const std::shared_ptr<Resource>& sprite);
    // False only for an empty pointer.
    virtual bool RemoveSprite(const std::shared_ptr<Resource>& sprite);
    virtual void EnableOpacityModifier();
    virtual void DisableOpacityModifier();
    virtual void EnablePriorityModifier();
    virtual void DisablePriorityModifier();
    virtual void EnableTransformationsModifier();
    virtual void DisableTransformationsModifier();

private:
    SpriteGroup(const SpriteGroup&) = delete;
    SpriteGroup& operator=(const SpriteGroup&) = delete;

    // True when the sprite is this group or a member at any depth.
    bool Contains(const Sprite* sprite) const;

    template <typename Step>
    void ForEachMember(Step step);

    // Setters flip the matching modifier before and after the group's own change,
    // so that the members follow the change.
    void FlipOpacityModifier();
    void FlipPriorityModifier();
    void FlipTransformationsModifier();

    bool _opacityModifier = false;
    bool _priorityModifier = false;
    bool _transformationsModifier = false;
    std::set<std::shared_ptr<Resource>> _sprites;
};

}  // namespace EngineCore
