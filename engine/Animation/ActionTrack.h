#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/Animation/ActionTrackKey.h"
#include "engine/Animation/AnimationPlayer.h"

namespace EngineCore {

// A timeline of script keys read from an action-track file. While it plays, each
// key whose time the position passes runs once; the key run last is never run
// twice in a row. The track belongs to the game state current when it was made
// and is stepped by the action-track manager while that state is current.
// Attached players hand their end callbacks over to the track, which flushes
// them at the end of each of its updates.
//
// Held through std::shared_ptr whenever a key may drop the last reference: the
// manager then keeps the track alive for the whole of its update.
class ActionTrack : public std::enable_shared_from_this<ActionTrack> {
public:
    // Registers with the manager under the current game state; throws
    // "Internal error." when no game state is current.
    ActionTrack();
    virtual ~ActionTrack();
    ActionTrack(const ActionTrack&) = delete;
    ActionTrack& operator=(const ActionTrack&) = delete;

    // Reads the file through the virtual file system; failures throw the
    // resource messages. Drops the attached players once the header is sound.
    bool Load(const std::string& name);

    void Play();
    void Resume();
    // Stopped, position 0, no key counts as run.
    void Stop();
    // Stopped, pulled back to the key run last, players set to the position.
    void Pause();
    // Negative positions become 0; the memory of the key run last stays.
    void SetPosition(float position);
    // Moves to the time of key `index` (0 without one) so that it runs next.
    void SetAnimationFrame(unsigned int index);
    void SetAnimationSpeed(float speed) { _speed = speed; }
    void SetAnimationType(AnimationPlayer::AnimationType type) { _type = type; }
    // Attaches the player and hands its end callback over to the track.
    void AddAnimationPlayer(const std::shared_ptr<AnimationPlayer>& player);

    // Runs a key's text; true when the text was taken. Without a runner the text
    // goes to the current script engine.
    void SetScriptRunner(const std::function<bool(const std::string&)>& runner) { _runner = runner; }

    bool IsStopped() const { return _stopped; }
    float GetPosition() const { return _position; }
    float GetLength() const { return _length; }
    size_t GetNumKeys() const { return _keys.size(); }
    const ActionTrackKey& GetKey(size_t index) const { return _keys[index]; }
    size_t GetNumAnimationPlayers() const { return _players.size(); }

protected:
    friend class ActionTrackManager;
    void Update(float dt);

private:
    void RunAction(int index);
    float GetFrameTime(unsigned int index) const;
    // Runs the keys in [previous, position]; false when a key stopped the track.
    bool ScanKeys(float previous);
    void UpdateAnimationPlayerCallbacks();

    bool _stopped = true;
    float _position = 0;
    float _speed = 1.0f;
    float _length = 0;
    float _lastKeyTime = 0;
    int _lastKeyIndex = -1;
    std::vector<float> _keyTimes;
    std::vector<ActionTrackKey> _keys;
    std::vector<std::shared_ptr<AnimationPlayer>> _players;
    AnimationPlayer::AnimationType _type = AnimationPlayer::AT_ONCE;
    std::function<bool(const std::string&)> _runner;
};

}  // namespace EngineCore
