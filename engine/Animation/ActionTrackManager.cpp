#include "engine/Animation/ActionTrackManager.h"

#include <map>
#include <mutex>
#include <cstdint>
#include <utility>
#include <string>
#include <vector>

#include "engine/Animation/ActionTrack.h"
#include "engine/Renderer/GameStateScope.h"
#include "engine/Renderer/RenderSystem.h"
#include "engine/System/EngineError.h"

namespace EngineCore {

namespace {
const char* const kSource = "Animation\\ActionTrackManager.cpp";

// True when the track was never handed to a std::shared_ptr (it cannot be freed by
// a script then); false for a shared track, alive or on its way out.
bool NeverShared(const std::weak_ptr<ActionTrack>& weak)
{
    const std::weak_ptr<ActionTrack> none;
    return !weak.owner_before(none) && !none.owner_before(weak);
}
}  // namespace

// Locked because a game state's entry scripts make tracks on the loader thread
// while the main thread steps the current state's tracks.
// Each filing carries a serial number: a track made during a walk may take the
// address of one freed during it, and must not be mistaken for it.
struct ActionTrackManager::Impl {
    std::mutex lock;
    uint64_t nextSerial = 0;
    std::map<std::string, std::map<ActionTrack*, uint64_t>> states;

    bool Holds(const std::string& state, const std::pair<ActionTrack*, uint64_t>& entry)
    {
        std::lock_guard<std::mutex> guard(lock);
        const auto found = states.find(state);
        if (found == states.end())
            return false;
        const auto track = found->second.find(entry.first);
        return track != found->second.end() && track->second == entry.second;
    }
};

ActionTrackManager::ActionTrackManager() : _impl(new Impl) {}
ActionTrackManager::~ActionTrackManager() = default;

ActionTrackManager& ActionTrackManager::Instance()
{
    static ActionTrackManager instance;
    return instance;
}

void ActionTrackManager::RegisterActionTrack(ActionTrack* track)
{
    const std::string state = GameStateScope::Owner();
    if (state.empty())
        ThrowEngineError(kSource, 51, "Internal error.");
    std::lock_guard<std::mutex> guard(_impl->lock);
    _impl->states[state][track] = _impl->nextSerial++;
}

void ActionTrackManager::UnregisterActionTrack(ActionTrack* track)
{
    std::lock_guard<std::mutex> guard(_impl->lock);
    for (auto& entry : _impl->states)
        entry.second.erase(track);
}

// Walks a snapshot of the current state's set and calls `step` only on tracks
// still filed, each kept alive for the call: a key may free any track.
template <class Step>
void ActionTrackManager::ForEachCurrent(int line, Step step)
{
    const std::string state = RenderSystem::Instance().GetCurrentGameState();
    if (state.empty())
        ThrowEngineError(kSource, line, "Internal error.");
    std::vector<std::pair<ActionTrack*, uint64_t>> snapshot;
    {
        std::lock_guard<std::mutex> guard(_impl->lock);
        const auto found = _impl->states.find(state);
        if (found == _impl->states.end())
            return;
        snapshot.assign(found->second.begin(), found->second.end());
    }
    for (const auto& entry : snapshot) {
        if (!_impl->Holds(state, entry))
            continue;
        ActionTrack* const track = entry.first;
        const std::weak_ptr<ActionTrack> weak = track->weak_from_this();
        const std::shared_ptr<ActionTrack> keep = weak.lock();
        if (!keep && !NeverShared(weak))
            continue;
        step(*track);
    }
}

void ActionTrackManager::Play()
{
    ForEachCurrent(96, [](ActionTrack& track) { track.Play(); });
}

void ActionTrackManager::Stop()
{
    ForEachCurrent(115, [](ActionTrack& track) { track.Stop(); });
}

void ActionTrackManager::Pause()
{
    ForEachCurrent(134, [](ActionTrack& track) { track.Pause(); });
}

void ActionTrackManager::Resume()
{
    ForEachCurrent(153, [](ActionTrack& track) { track.Resume(); });
}

void ActionTrackManager::Update(float dt)
{
    ForEachCurrent(172, [dt](ActionTrack& track) { track.Update(dt); });
}

}  // namespace EngineCore
