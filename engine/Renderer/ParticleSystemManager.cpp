#include "engine/Renderer/ParticleSystemManager.h"

#include <atomic>
#include <mutex>
#include <set>
#include <vector>

#include "engine/Renderer/ParticleSystem.h"

namespace EngineCore {

namespace {

std::atomic<bool> g_alive{false};

}  // namespace

// Recursive and held across a pass: the loader thread makes and frees particle
// systems while the main thread updates and draws them, and a step may free
// systems on the same thread.
struct ParticleSystemManager::Impl {
    std::recursive_mutex lock;
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
    std::lock_guard<std::recursive_mutex> guard(_impl->lock);
    _impl->particleSystems.insert(particleSystem);
}

void ParticleSystemManager::UnregisterParticleSystem(ParticleSystem* particleSystem)
{
    std::lock_guard<std::recursive_mutex> guard(_impl->lock);
    _impl->particleSystems.erase(particleSystem);
}

template <typename Step>
void ParticleSystemManager::ForEach(Step step)
{
    // A particle system's update may run script text that frees others: walk a
    // snapshot and skip those no longer registered.
    std::lock_guard<std::recursive_mutex> guard(_impl->lock);
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
