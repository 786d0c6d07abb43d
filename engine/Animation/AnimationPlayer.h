#pragma once
#include <cstdint>
#include <functional>
#include <memory>

#include "engine/Resources/HeldResource.h"
#include "engine/Resources/Resource.h"

namespace EngineCore {

class Animation;
class Sprite;

// Plays one animation on one sprite. Each update samples the animation at the
// playback position and writes the result onto the sprite as offsets from the
// values the sprite had when it was bound, then advances the position.
class AnimationPlayer : public std::enable_shared_from_this<AnimationPlayer> {
public:
    // 1 loops; every other value plays once.
    enum AnimationType : int { AT_ONCE = 0, AT_LOOP = 1 };

    AnimationPlayer();

    // Rewinds the previous sprite to the first key, then binds `sprite` and takes
    // its current values as the base. A resource that is not a sprite is ignored.
    void SetSprite(const std::shared_ptr<Resource>& sprite);
    const std::shared_ptr<Resource>& GetSprite() const { return _sprite.Shared(); }
    // A resource that is not an animation is ignored.
    void SetAnimation(const std::shared_ptr<Resource>& animation);

    void Play();
    void Pause();
    // Rewinds to 0 and shows the animation there.
    void Stop();

    // Drops a pending end report; negative positions become 0.
    void SetPosition(float position);
    float GetAnimationTime() const { return _position; }
    void SetAnimationSpeed(float speed) { _speed = speed; }
    float GetAnimationSpeed() const { return _speed; }
    void SetPositionOffset(float x, float y);
    void SetAnimationType(AnimationType type) { _type = type; }
    AnimationType GetAnimationType() const { return _type; }
    void SetStartAnimationFrame(unsigned int frame) { _startFrame = frame; }
    unsigned int GetStartAnimationFrame() const { return _startFrame; }
    void SetNumAnimatedFrames(unsigned int count) { _numFrames = count; }
    unsigned int GetNumAnimatedFrames() const { return _numFrames; }
    // Moves to the time of key `index` and shows it; nothing without an animation.
    void SetAnimationFrame(unsigned int index);
    float GetAnimationLength() const;

    // Called, with `user`, when a non-looping animation has played to its end.
    void SetEndAnimationCallback(const std::function<void(void*)>& callback, void* user);

    // Applies the animation at the current position; unless forced, then advances.
    void Update(float dt, bool forced);

protected:
    friend class ActionTrack;
    // When set, reaching the end only marks the callback pending for UpdateCallback.
    void SetExternalCallbackControl(bool external) { _externalCallbackControl = external; }
    void UpdateCallback();

private:
    void Apply();
    void ApplyTextureRect(int frame);
    void ReportEnd();

    bool _stopped = true;
    bool _callbackPending = false;
    bool _priorityAnimated = false;
    bool _externalCallbackControl = false;
    float _position = 0;
    float _speed = 1.0f;
    float _offsetX = 0;
    float _offsetY = 0;
    float _baseVerticalScale = 1.0f;
    float _baseHorizontalScale = 1.0f;
    float _baseRotation = 0;
    float _basePositionX = 0;
    float _basePositionY = 0;
    float _basePriority = 0;
    unsigned int _textureWidth = 0;
    unsigned int _textureHeight = 0;
    unsigned int _startFrame = 0;
    unsigned int _numFrames = 0;
    float _baseRectX = 0;
    float _baseRectY = 0;
    float _baseRectWidth = 0;
    float _baseRectHeight = 0;
    uint32_t _baseColor = 0xFFFFFFFFu;
    HeldResource<Sprite> _sprite;
    HeldResource<const Animation> _animation;
    AnimationType _type = AT_ONCE;
    void* _callbackUser = nullptr;
    std::function<void(void*)> _callback;
};

}  // namespace EngineCore
