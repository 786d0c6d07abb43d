#include "game/Character/CharacterAnimationState.h"

#include <climits>
#include <cmath>
#include <utility>

#include "engine/System/EngineError.h"

namespace GameCore {

namespace {
const char* const kSource = "Character\\CharacterAnimationState.cpp";

// The frame a position stands on. Positions are kept at 0 or above; a position
// too large for an int stands past every frame.
int FrameAt(float position)
{
    if (!(position < static_cast<float>(INT_MAX)))
        return INT_MAX;
    return static_cast<int>(position);
}
}  // namespace

void CharacterAnimationState::SetMoveOffset(float x, float y)
{
    _moveOffsetX = x;
    _moveOffsetY = y;
}

void CharacterAnimationState::GetMoveOffset(float& x, float& y) const
{
    x = _moveOffsetX;
    y = _moveOffsetY;
}

void CharacterAnimationState::SetMoveEndOffset(float x, float y)
{
    _moveEndOffsetX = x;
    _moveEndOffsetY = y;
}

void CharacterAnimationState::GetMoveEndOffset(float& x, float& y) const
{
    x = _moveEndOffsetX;
    y = _moveEndOffsetY;
}

void CharacterAnimationState::SetMoveStartOffset(float x, float y)
{
    _moveStartOffsetX = x;
    _moveStartOffsetY = y;
}

void CharacterAnimationState::GetMoveStartOffset(float& x, float& y) const
{
    x = _moveStartOffsetX;
    y = _moveStartOffsetY;
}

void CharacterAnimationState::Play(bool loop)
{
    _loop = loop;
    _paused = false;
}

void CharacterAnimationState::Stop()
{
    _paused = true;
    _position = 0;
    _currentFrame = 0;
}

void CharacterAnimationState::Update(float dt)
{
    if (_paused)
        return;
    const int previous = _currentFrame;
    _currentFrame = FrameAt(_position);
    UpdateFrameCallback(static_cast<unsigned int>(previous), static_cast<unsigned int>(_currentFrame));

    const int count = static_cast<int>(_frames.size());
    if (_currentFrame < count) {
        // speed x dt x fps, in this order and in single precision.
        _position += _speed * dt * _fps;
        // A negative speed stops at the first frame; so does a step that is not a number.
        if (!(_position >= 0))
            _position = 0;
        return;
    }
    if (_loop) {
        // The remainder of a whole number of runs: the same as one subtraction for
        // an ordinary step, and still inside the frames after a long stall.
        if (count > 0)
            _position = std::fmod(_position, static_cast<float>(count));
        _currentFrame = FrameAt(_position);
        return;
    }
    _paused = true;
    _currentFrame = count - 1;
    _position = static_cast<float>(count - 1);
    CallDelegateList();
}

bool CharacterAnimationState::FindFrames(AnimationFrame& frame, AnimationFrame& shadow) const
{
    if (_currentFrame < 0 || static_cast<size_t>(_currentFrame) >= _frames.size())
        return false;
    frame = _frames[_currentFrame];
    const size_t shadowIndex =
        static_cast<size_t>(_currentFrame) < _shadowFrames.size() ? _currentFrame : _shadowFrames.size() - 1;
    shadow = _shadowFrames[shadowIndex];
    return true;
}

bool CharacterAnimationState::GetCurrentAnimationFrame(AnimationFrame& frame, AnimationFrame& shadow, float& moveX,
                                                       float& moveY) const
{
    if (_currentFrame < 0 || static_cast<size_t>(_currentFrame) >= _frames.size())
        return false;
    if (_shadowFrames.empty())
        EngineCore::ThrowEngineError(
            kSource, 236,
            "Error: CharacterAnimationState::GetCurrentAnimationFrame() - storage of shadow frames is empty.");
    FindFrames(frame, shadow);
    const float ratio = static_cast<float>(_currentFrame) / static_cast<float>(_frames.size());
    moveX = _moveOffsetX * ratio;
    moveY = _moveOffsetY * ratio;
    return true;
}

bool CharacterAnimationState::GetEndAnimationFrame(AnimationFrame& frame, AnimationFrame& shadow, float& moveX,
                                                   float& moveY) const
{
    if (_currentFrame < 0 || static_cast<size_t>(_currentFrame) >= _frames.size())
        return false;
    if (_shadowFrames.empty())
        EngineCore::ThrowEngineError(
            kSource, 262, "Error: CharacterAnimationState::GetEndAnimationFrame() - storage of shadow frames is empty.");
    FindFrames(frame, shadow);
    moveX = _moveOffsetX;
    moveY = _moveOffsetY;
    return true;
}

void CharacterAnimationState::operator+=(const CallbackType& callback)
{
    _endCallbacks.push_back(callback);
}

void CharacterAnimationState::operator-=(const CallbackType& callback)
{
    for (auto it = _endCallbacks.begin(); it != _endCallbacks.end(); ++it) {
        if (it->user == callback.user && it->fn.target_type() == callback.fn.target_type()) {
            _endCallbacks.erase(it);
            return;
        }
    }
}

void CharacterAnimationState::SetFrameCallback(unsigned int frame, const CallbackType& callback)
{
    // Without frames there is no frame to reduce the index to.
    if (_frames.empty())
        return;
    frame %= static_cast<unsigned int>(_frames.size());
    if (!callback.fn) {
        _frameCallbacks.erase(frame);
        return;
    }
    _frameCallbacks[frame] = callback;
}

bool CharacterAnimationState::HasFrameCallback(unsigned int frame) const
{
    return _frameCallbacks.count(frame) != 0;
}

void CharacterAnimationState::CallDelegateList()
{
    // Callbacks run script code that may add or remove callbacks: call copies.
    const std::list<CallbackType> callbacks = _endCallbacks;
    for (const CallbackType& callback : callbacks)
        callback();
}

void CharacterAnimationState::UpdateFrameCallback(unsigned int from, unsigned int to)
{
    const bool wrap = from > to;
    std::vector<CallbackType> due;
    for (const auto& entry : _frameCallbacks) {
        const unsigned int k = entry.first;
        if ((!wrap && from <= k && k < to) || (wrap && (k >= from || k < to)))
            due.push_back(entry.second);
    }
    for (const CallbackType& callback : due)
        callback();
}

}  // namespace GameCore
