#pragma once
#include <memory>

#include "engine/Resources/Resource.h"

namespace EngineCore {

class Sprite;

// An emitter with a position, a particle sprite and an optional link to a sprite
// whose position it follows; the back-end simulates and draws the particles.
// Registered with the ParticleSystemManager from construction to destruction.
class ParticleSystem : public Resource {
public:
    ParticleSystem();
    ~ParticleSystem() override;

    // True when a particle sprite is set.
    bool IsValid() const override;

    virtual void Show();
    virtual void Hide();
    virtual void Render();
    // Follows the linked sprite, when there is one.
    virtual void Update(float dt);
    virtual void MoveTo(float x, float y);
    virtual void SetSprite(const std::shared_ptr<Resource>& sprite);
    virtual void SetEmission(int emission);
    virtual void BreakLink();
    // Shares the sprite and moves to it at once; an empty pointer unlinks.
    virtual void LinkToSprite(const std::shared_ptr<Resource>& sprite);
    virtual std::shared_ptr<Resource> Clone() const = 0;

    bool IsVisible() const { return _visible; }
    float GetPositionX() const { return _positionX; }
    float GetPositionY() const { return _positionY; }

protected:
    const std::shared_ptr<Resource>& GetSprite() const { return _sprite; }

private:
    ParticleSystem(const ParticleSystem&) = delete;
    ParticleSystem& operator=(const ParticleSystem&) = delete;

    bool _visible = false;
    float _positionX = 0.0f;
    float _positionY = 0.0f;
    std::shared_ptr<Resource> _sprite;
    Sprite* _linkedSprite = nullptr;
    std::shared_ptr<Resource> _linkedSpriteShare;
};

}  // namespace EngineCore
