#pragma once
#include <memory>

namespace EngineCore {

class ActionTrack;

// The action tracks of each game state, filed under the state that owns what the
// calling thread makes (GameStateScope::Owner) when they are made; play, stop,
// pause, resume and update walk the current state's. The manager never owns a
// track; a track leaves every state's set when it is destroyed. Operations without
// a state throw "Internal error.".
class ActionTrackManager {
public:
    static ActionTrackManager& Instance();

    void RegisterActionTrack(ActionTrack* track);
    void UnregisterActionTrack(ActionTrack* track);

    void Play();
    void Stop();
    void Pause();
    void Resume();
    // Steps every track of the current game state. Keys may make or free tracks:
    // a track made meanwhile waits for the next call, a freed one is skipped.
    void Update(float dt);

    ~ActionTrackManager();
    ActionTrackManager(const ActionTrackManager&) = delete;
    ActionTrackManager& operator=(const ActionTrackManager&) = delete;

private:
    ActionTrackManager();
    template <class Step>
    void ForEachCurrent(int line, Step step);
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace EngineCore
