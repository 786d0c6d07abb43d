#pragma once
#include <memory>
#include <string>

namespace EngineCore {

class AnimationPlayer;

// The named players of each game state. The system never owns a player: it keeps
// weak references, filed under the game state that owns what the calling thread
// makes (GameStateScope::Owner),
// and drops a name once its player has died. Update plays the current state's.
class AnimationSystem {
public:
    static AnimationSystem& Instance();

    // Makes a new player into `player` and files it under `name` in the calling
    // state, replacing an older entry of that name. Throws "Internal error." when
    // there is no such state.
    bool CreateAnimationPlayer(const std::string& name, std::shared_ptr<AnimationPlayer>& player) const;
    // True when the calling state holds the name; `player` is then the live player
    // or empty if it has died. Throws "Internal error." when there is no such state.
    bool GetAnimationPlayer(const std::string& name, std::shared_ptr<AnimationPlayer>& player) const;

    // Updates every live player of the current game state in name order.
    void Update(float dt);
    // Forgets every state's players and which states made any; their owners keep them.
    void Clear();

    ~AnimationSystem();
    AnimationSystem(const AnimationSystem&) = delete;
    AnimationSystem& operator=(const AnimationSystem&) = delete;

private:
    AnimationSystem();
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace EngineCore
