#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/Renderer/Sprite.h"
#include "game/Character/CharacterAnimationState.h"

namespace GameCore {

class CharacterAnimationStorage;

// An animated character: a sprite that owns named states, plays the current one,
// moves itself by the states' offsets, chains states from a queue of names and
// draws the current frame and its shadow through one back-end sprite per texture
// its frames use. It draws nothing itself.
//
// It is updated twice a frame while its game state is current: by the state's
// logic step and by the render system's sprite pass; each update advances the
// current state. Its callbacks run script code that may free it: an update keeps
// the animation alive until it returns, and a destroyed animation hides its
// per-texture sprites at once.
class CharacterAnimation : public EngineCore::Sprite, public std::enable_shared_from_this<CharacterAnimation> {
public:
    ~CharacterAnimation() override;

    void Update(float dt) override;
    void Render() override {}
    // Hiding hides every per-texture sprite too.
    void SetVisible(bool visible) override;

    // Play, Stop, Pause and Resume move the animation's flags and its current
    // state's together; without a state only the animation's own flags change.
    void Play(bool loop);
    void Stop();
    void Pause();
    void Resume();

    // Files the state under `name` (replacing one of that name), names it, adds this
    // animation's end handler to it, and makes it current when none is.
    void AddState(const char* name, const std::shared_ptr<CharacterAnimationState>& state);
    bool GetState(const char* name, std::shared_ptr<CharacterAnimationState>& out) const;
    // Stops the current state and makes the named one current without starting it.
    bool SetCurrentAnimationState(const char* name);
    bool GetCurrentAnimationState(std::shared_ptr<CharacterAnimationState>& out) const;
    // Null when there is no current state.
    const char* GetCurrentAnimationStateName() const;

    // The texture's index in this animation; a new texture gets a sprite named
    // "CharacterAnimation.Sprite.<n>", n counting across the whole process.
    int AddTexture(const std::shared_ptr<EngineCore::Resource>& texture);
    bool GetTexture(int index, std::shared_ptr<EngineCore::Resource>& out) const;

    void AddExecuteState(const char* name);
    void ClearExecuteStates();
    // False, `out` untouched, when the queue is empty.
    bool GetExecuteStates(std::vector<std::string>& out) const;

    // Called with the move share of the current state on every drawn update.
    void SetOnMoveCallback(const std::function<void(float, float, void*)>& fn, void* user);
    // Called when a run ends with an empty queue.
    void SetEndAnimationCallback(const std::function<void(void*)>& fn, void* user);
    void SetShadowPriority(float priority);
    float GetShadowPriority() const;
    // The base position the states' offsets are added to; also the sprite position.
    void SetOriginalPosition(float x, float y);

protected:
    friend class CharacterAnimationStorage;
    CharacterAnimation();

    void UpdateExecuteBuffer();
    void EndAnimationCallback(void* user);
    int GetStorageIndex() const;
    void SetStorageIndex(int index);
    void SetCharacterAnimationStorage(CharacterAnimationStorage* storage);

private:
    void HideSprites();
    void MoveBase(float dx, float dy);

    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace GameCore
