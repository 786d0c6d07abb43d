#include "engine/Renderer/SpriteGroupManager.h"

#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "engine/Renderer/GameStateScope.h"
#include "engine/Renderer/RenderSystem.h"
#include "engine/Renderer/SpriteGroup.h"

namespace EngineCore {

namespace {

std::atomic<bool> g_alive{false};

}  // namespace

// Recursive and held across a pass: the loader thread files and drops groups while
// the main thread runs passes, and a group's setter run by a pass may free groups on
// the same thread.
struct SpriteGroupManager::Impl {
    std::recursive_mutex lock;
    std::map<std::string, std::set<SpriteGroup*>> groups;
};

SpriteGroupManager& SpriteGroupManager::Instance()
{
    static SpriteGroupManager instance;
    return instance;
}

bool SpriteGroupManager::IsAlive()
{
    return g_alive.load();
}

SpriteGroupManager::SpriteGroupManager() : _impl(new Impl)
{
    g_alive.store(true);
}

SpriteGroupManager::~SpriteGroupManager()
{
    g_alive.store(false);
    delete _impl;
    _impl = nullptr;
}

void SpriteGroupManager::RegisterSpriteGroup(SpriteGroup* group)
{
    RenderSystem::Instance().ResortSprites();
    const std::string state = GameStateScope::Owner();
    std::lock_guard<std::recursive_mutex> guard(_impl->lock);
    _impl->groups[state].insert(group);
}

void SpriteGroupManager::UnregisterSpriteGroup(SpriteGroup* group)
{
    {
        std::lock_guard<std::recursive_mutex> guard(_impl->lock);
        for (auto& entry : _impl->groups) {
            entry.second.erase(group);
        }
    }
    RenderSystem::Instance().ResortSprites();
}

template <typename Pass>
void SpriteGroupManager::RunPass(Pass pass)
{
    const std::string current = RenderSystem::Instance().GetCurrentGameState();
    std::lock_guard<std::recursive_mutex> guard(_impl->lock);
    const auto found = _impl->groups.find(current);
    if (found == _impl->groups.end()) {
        return;
    }
    // A member's setter may free a group: walk a snapshot and skip groups that
    // have left the set since.
    const std::string state = found->first;
    const std::vector<SpriteGroup*> snapshot(found->second.begin(), found->second.end());
    for (SpriteGroup* group : snapshot) {
        const auto current = _impl->groups.find(state);
        if (current == _impl->groups.end()) {
            return;
        }
        if (current->second.count(group) != 0) {
            (group->*pass)();
        }
    }
}

void SpriteGroupManager::EnablePriorityModifier()
{
    RunPass(&SpriteGroup::EnablePriorityModifier);
}

void SpriteGroupManager::DisablePriorityModifier()
{
    RunPass(&SpriteGroup::DisablePriorityModifier);
}

void SpriteGroupManager::EnableTransformationsModifier()
{
    RunPass(&SpriteGroup::EnableTransformationsModifier);
}

void SpriteGroupManager::DisableTransformationsModifier()
{
    RunPass(&SpriteGroup::DisableTransformationsModifier);
}

}  // namespace EngineCore
