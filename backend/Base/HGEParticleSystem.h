#pragma once
// The engine's particle system simulated and drawn over HGE through a helper emitter
// (hgeParticleSystem). The description is read when the particle sprite is set, from
// the file named after this particle system. Particles are drawn with the particle
// sprite's helper quad, fetched at each draw, so a sprite released or re-initialised
// meanwhile is never reached through a stale pointer.
//
// A position, emission or link given before any description is loaded is kept and
// applied when the particles are built.

#include <memory>

#include "engine/Renderer/ParticleSystem.h"

namespace MobrixCore {

class HGEResourceFactory;
class hgeParticleSystem;

class HGEParticleSystem : public EngineCore::ParticleSystem {
public:
    HGEParticleSystem();
    ~HGEParticleSystem() override;

    // Fires anew at the current position.
    void Show() override;
    // Stops and removes the live particles.
    void Hide() override;
    void Render() override;
    void Update(float dt) override;
    void MoveTo(float x, float y) override;
    // Loads the description and fires; a failed load keeps the particles there were.
    void SetSprite(const std::shared_ptr<EngineCore::Resource>& sprite) override;
    // Lasts until the next description is loaded.
    void SetEmission(int emission) override;
    // Same name and particle sprite, description read afresh; hidden, at (0, 0), unlinked.
    std::shared_ptr<EngineCore::Resource> Clone() const override;

    // The helper emitter, null until a description is loaded.
    hgeParticleSystem* GetData() const { return _helper; }

protected:
    friend class HGEResourceFactory;
    static std::shared_ptr<EngineCore::Resource> Create();

    void Init() override;
    void Release() override;

private:
    hgeParticleSystem* _helper = nullptr;
    bool _pendingEmission = false;
    int _emission = 0;
};

}  // namespace MobrixCore
