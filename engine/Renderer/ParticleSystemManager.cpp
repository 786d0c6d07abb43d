#include "engine/Renderer/ParticleSystemManager.h"

#include <atomic>
#include <set>
#include <vector>

#include "engine/Renderer/ParticleSystem.h"

namespace EngineCore {

namespace {

std::atomic<bool> g_alive{false};

}  // namespace

struct ParticleSystemManager::Impl {
    std::set<ParticleSystem*> particleSystems;
};

ParticleSystemManager& ParticleSystemManager::Instance()
{
    static ParticleSystemManager instance;
    return instance;
}

bool ParticleSystemManager::IsAlive()
{
    return g_alive.load();
}

ParticleSystemManager::ParticleSystemManager() : _impl(new Impl)
{
    g_alive.store(true);
}

ParticleSystemManager::~ParticleSystemManager()
{
    g_alive.store(false);
    delete _impl;
    _impl = nullptr;
}

void ParticleSystemManager::Init() {}

void ParticleSystemManager::Release() {}

void ParticleSystemManager::RegisterParticleSystem(ParticleSystem* particleSystem)
{
    _impl->particleSystems.insert(particleSystem);
}

void ParticleSystemManager::UnregisterParticleSystem(ParticleSystem* particleSystem)
{
    _impl->particleSystems.erase(particleSystem);
}

template <typename Step>
void ParticleSystemManager::ForEach(Step step)
{
    // A particle system's update may run script text that frees others: walk a
    // snapshot and skip those no longer registered.
    const std::vector<ParticleSystem*> snapshot(_impl->particleSystems.begin(), _impl->particleSystems.end());
    for (ParticleSystem* particleSystem : snapshot) {
        if (_impl->particleSystems.count(particleSystem) != 0) {
            step(*particleSystem);
        }
    }
}

void ParticleSystemManager::Update(float dt)
{
    ForEach([dt](ParticleSystem& p) { p.Update(dt); });
}

void ParticleSystemManager::Render()
{
    ForEach([](ParticleSystem& p) { p.Render(); });
}

}  // namespace EngineCore
