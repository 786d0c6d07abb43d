#pragma once

namespace EngineCore {

class ParticleSystem;

// Every live particle system, whatever game state is current; it does not own them.
class ParticleSystemManager {
public:
    static ParticleSystemManager& Instance();

    void Init();
    void Release();

    // Update(dt) and Render() on every registered particle system, in address order.
    void Update(float dt);
    void Render();

    ParticleSystemManager(const ParticleSystemManager&) = delete;
    ParticleSystemManager& operator=(const ParticleSystemManager&) = delete;

protected:
    friend class ParticleSystem;

    void RegisterParticleSystem(ParticleSystem* particleSystem);
    void UnregisterParticleSystem(ParticleSystem* particleSystem);
    static bool IsAlive();

private:
    ParticleSystemManager();
    ~ParticleSystemManager();

    template <typename Step>
    void ForEach(Step step);

    struct Impl;
    Impl* _impl;
};

}  // namespace EngineCore
