#include "engine/Animation/AnimationSystem.h"

#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "engine/Animation/ActionTrackManager.h"
#include "engine/Animation/AnimationPlayer.h"
#include "engine/Renderer/GameStateScope.h"
#include "engine/Renderer/RenderSystem.h"
#include "engine/System/EngineError.h"

namespace EngineCore {

namespace {
const char* const kSource = "Animation\\AnimationSystem.cpp";
}

typedef std::map<std::string, std::weak_ptr<AnimationPlayer>> PlayerTable;

// The tables are locked because a game state's entry scripts create players on
// the loader thread; players themselves are updated outside the lock.
struct AnimationSystem::Impl {
    mutable std::mutex lock;
    mutable std::map<std::string, PlayerTable> states;
};

AnimationSystem::AnimationSystem() : _impl(new Impl) {}
AnimationSystem::~AnimationSystem() = default;

AnimationSystem& AnimationSystem::Instance()
{
    static AnimationSystem instance;
    return instance;
}

bool AnimationSystem::CreateAnimationPlayer(const std::string& name,
                                            std::shared_ptr<AnimationPlayer>& player) const
{
    const std::string state = GameStateScope::Owner();
    if (state.empty())
        ThrowEngineError(kSource, 82, "Internal error.");
    player = std::make_shared<AnimationPlayer>();
    std::lock_guard<std::mutex> guard(_impl->lock);
    _impl->states[state][name] = player;
    return true;
}

bool AnimationSystem::GetAnimationPlayer(const std::string& name,
                                         std::shared_ptr<AnimationPlayer>& player) const
{
    const std::string state = GameStateScope::Owner();
    if (state.empty())
        ThrowEngineError(kSource, 56, "Internal error.");
    std::lock_guard<std::mutex> guard(_impl->lock);
    const auto table = _impl->states.find(state);
    if (table == _impl->states.end())
        return false;
    const auto entry = table->second.find(name);
    if (entry == table->second.end())
        return false;
    player = entry->second.lock();
    return true;
}

void AnimationSystem::Clear()
{
    std::map<std::string, PlayerTable> dropped;
    std::lock_guard<std::mutex> guard(_impl->lock);
    dropped.swap(_impl->states);
}

void AnimationSystem::Update(float dt)
{
    const std::string state = RenderSystem::Instance().GetCurrentGameState();
    if (state.empty())
        return;

    // End callbacks run scripts that may create, replace or free players: work on
    // a snapshot, and update an entry only while the table still holds it.
    std::vector<std::pair<std::string, std::weak_ptr<AnimationPlayer>>> snapshot;
    {
        std::lock_guard<std::mutex> guard(_impl->lock);
        const auto table = _impl->states.find(state);
        if (table == _impl->states.end())
            return;
        snapshot.assign(table->second.begin(), table->second.end());
    }

    std::vector<std::string> dead;
    for (const auto& entry : snapshot) {
        const std::shared_ptr<AnimationPlayer> player = entry.second.lock();
        if (!player) {
            dead.push_back(entry.first);
            continue;
        }
        bool current = false;
        {
            std::lock_guard<std::mutex> guard(_impl->lock);
            const PlayerTable& table = _impl->states[state];
            const auto found = table.find(entry.first);
            current = found != table.end() && found->second.lock() == player;
        }
        if (current)
            player->Update(dt, false);
    }

    {
        std::lock_guard<std::mutex> guard(_impl->lock);
        PlayerTable& table = _impl->states[state];
        for (const std::string& name : dead) {
            const auto found = table.find(name);
            if (found != table.end() && found->second.expired())
                table.erase(found);
        }
    }
    // Only a state that has made a named player steps its action tracks.
    ActionTrackManager::Instance().Update(dt);
}

}  // namespace EngineCore
