#include "engine/Renderer/ParticleSystem.h"

#include "engine/Renderer/ParticleSystemManager.h"
#include "engine/Renderer/Sprite.h"

namespace EngineCore {

ParticleSystem::ParticleSystem()
{
    SetType(RT_PARTICLE_SYSTEM);
    ParticleSystemManager::Instance().RegisterParticleSystem(this);
}

ParticleSystem::~ParticleSystem()
{
    if (ParticleSystemManager::IsAlive()) {
        ParticleSystemManager::Instance().UnregisterParticleSystem(this);
    }
}

bool ParticleSystem::IsValid() const
{
    return static_cast<bool>(_sprite);
}

void ParticleSystem::Show()
{
    _visible = true;
}

void ParticleSystem::Hide()
{
    _visible = false;
}

void ParticleSystem::Render() {}

void ParticleSystem::Update(float)
{
    if (_linkedSprite != nullptr) {
        MoveTo(_linkedSprite->GetPositionX(), _linkedSprite->GetPositionY());
    }
}

void ParticleSystem::MoveTo(float x, float y)
{
    _positionX = x;
    _positionY = y;
}

void ParticleSystem::SetSprite(const std::shared_ptr<Resource>& sprite)
{
    _sprite = sprite;
}

void ParticleSystem::SetEmission(int) {}

void ParticleSystem::BreakLink()
{
    _linkedSprite = nullptr;
    _linkedSpriteShare.reset();
}

void ParticleSystem::LinkToSprite(const std::shared_ptr<Resource>& sprite)
{
    // Only a sprite has a position to follow; anything else unlinks.
    _linkedSpriteShare = sprite;
    _linkedSprite = dynamic_cast<Sprite*>(sprite.get());
    if (_linkedSprite == nullptr) {
        _linkedSpriteShare.reset();
        return;
    }
    MoveTo(_linkedSprite->GetPositionX(), _linkedSprite->GetPositionY());
}

}  // namespace EngineCore
