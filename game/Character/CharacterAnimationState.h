#pragma once
#include <functional>
#include <list>
#include <map>
#include <string>
#include <vector>

namespace GameCore {

class CharacterAnimation;

// One named clip of an animated character: frames with matching shadow frames,
// played at 30 frames per second times a speed, once or looping, with a move of
// the character per complete run and callbacks on chosen frames and at the end
// of a run. The state draws nothing; a frame names its texture by the index the
// owning character animation gave it.
//
// The frame shown by an update is the one the position had reached before the
// update's advance. A looping state stays inside its frames however long a step is.
class CharacterAnimationState {
public:
    struct AnimationFrame {
        float hotSpotX = 0;
        float hotSpotY = 0;
        int textureIndex = 0;
        float offsetX = 0;
        float offsetY = 0;
        float rectX = 0;
        float rectY = 0;
        float rectWidth = 0;
        float rectHeight = 0;
    };

    // A function with its user pointer; an empty function does nothing when called.
    struct CallbackType {
        CallbackType() = default;
        CallbackType(const std::function<void(void*)>& function, void* userData) : user(userData), fn(function) {}
        void operator()() const
        {
            if (fn)
                fn(user);
        }
        void* user = nullptr;
        std::function<void(void*)> fn;
    };

    CharacterAnimationState() = default;

    void AddFrame(const AnimationFrame& frame) { _frames.push_back(frame); }
    void AddFrameShadow(const AnimationFrame& frame) { _shadowFrames.push_back(frame); }
    size_t GetNumFrames() const { return _frames.size(); }
    size_t GetNumShadowFrames() const { return _shadowFrames.size(); }

    void SetMoveOffset(float x, float y);
    void GetMoveOffset(float& x, float& y) const;
    void SetMoveEndOffset(float x, float y);
    void GetMoveEndOffset(float& x, float& y) const;
    void SetMoveStartOffset(float x, float y);
    void GetMoveStartOffset(float& x, float& y) const;
    void SetAnimationSpeed(float speed) { _speed = speed; }
    float GetAnimationSpeed() const { return _speed; }

    // Runs from where the state stands.
    void Play(bool loop);
    // Paused and rewound to frame 0.
    void Stop();
    void Pause() { _paused = true; }
    void Resume() { _paused = false; }
    bool IsPaused() const { return _paused; }
    bool IsLooping() const { return _loop; }
    float GetPosition() const { return _position; }
    int GetCurrentFrame() const { return _currentFrame; }

    void Update(float dt);

    // The frame and shadow frame to draw now and the share of the move offset
    // reached so far. False when the current frame lies outside the frames; throws
    // when there is a frame but no shadow frame.
    bool GetCurrentAnimationFrame(AnimationFrame& frame, AnimationFrame& shadow, float& moveX, float& moveY) const;
    // The same frames with the whole move offset.
    bool GetEndAnimationFrame(AnimationFrame& frame, AnimationFrame& shadow, float& moveX, float& moveY) const;

    // End callbacks, called in order when a run that does not loop ends.
    void operator+=(const CallbackType& callback);
    // Removes the first end callback with the same user pointer and the same kind
    // of callable (the bound object is not compared).
    void operator-=(const CallbackType& callback);
    // Frames past the count are taken modulo the count; an empty function removes
    // the frame's callback. Ignored on a state without frames.
    void SetFrameCallback(unsigned int frame, const CallbackType& callback);
    bool HasFrameCallback(unsigned int frame) const;

    const char* GetName() const { return _name.c_str(); }

protected:
    friend class CharacterAnimation;
    void SetName(const char* name) { _name = name ? name : ""; }
    // The owner starts, stops and rewinds its current state through these.
    void SetLoop(bool loop) { _loop = loop; }
    void SetPaused(bool paused) { _paused = paused; }

private:
    bool FindFrames(AnimationFrame& frame, AnimationFrame& shadow) const;
    void CallDelegateList();
    void UpdateFrameCallback(unsigned int from, unsigned int to);

    bool _loop = false;
    bool _paused = true;
    float _fps = 30.0f;
    float _position = 0;
    float _speed = 1.0f;
    float _moveOffsetX = 0;
    float _moveOffsetY = 0;
    float _moveEndOffsetX = 0;
    float _moveEndOffsetY = 0;
    float _moveStartOffsetX = 0;
    float _moveStartOffsetY = 0;
    int _currentFrame = 0;
    std::string _name;
    std::list<CallbackType> _endCallbacks;
    std::map<unsigned int, CallbackType> _frameCallbacks;
    std::vector<AnimationFrame> _frames;
    std::vector<AnimationFrame> _shadowFrames;
};

}  // namespace GameCore
