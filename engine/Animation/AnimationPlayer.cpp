#include "engine/Animation/AnimationPlayer.h"

#include <algorithm>
#include <cmath>

#include "engine/Animation/Animation.h"
#include "engine/Math/MathSystem.h"
#include "engine/Renderer/DistortionMesh.h"
#include "engine/Renderer/Sprite.h"
#include "engine/Renderer/Texture.h"

namespace EngineCore {

namespace {

const float kForcedStep = 0.0001f;
const int kDistortionMeshType = 5;

float AngleAboutZ(const D3DXQUATERNION& q)
{
    D3DXVECTOR3 euler;
    MathSystem::Instance().ConvertQuaternionToEuler(q, euler);
    return euler.z;
}

// A colour byte plus a sampled offset: int(offset × 255 + 0.5), truncated toward
// zero (so -254.5 adds -254), the sum clamped to a byte. A non-finite offset adds nothing.
uint32_t OffsetByte(uint32_t base, float offset)
{
    const float scaled = offset * 255.0f + 0.5f;
    double sum = static_cast<double>(base);
    if (std::isfinite(scaled))
        sum += std::trunc(static_cast<double>(scaled));
    return static_cast<uint32_t>(std::clamp(sum, 0.0, 255.0));
}

// Moves a rectangle edge back into the texture by whole texture sizes, as many as
// needed at once: while pos + size > limit, pos -= limit. A zero limit or a
// non-finite size leaves the position as it is.
int64_t WrapInto(int64_t pos, float size, unsigned int limit)
{
    if (limit == 0 || !std::isfinite(size))
        return pos;
    const float flimit = static_cast<float>(limit);
    if (!(static_cast<float>(pos) + size > flimit))
        return pos;
    const double over = static_cast<double>(pos) + size - flimit;
    int64_t steps = static_cast<int64_t>(std::ceil(over / flimit));
    if (steps < 1)
        steps = 1;
    pos -= steps * static_cast<int64_t>(limit);
    // The float comparison decides; settle a rounding difference at the boundary.
    for (int i = 0; i < 2 && static_cast<float>(pos) + size > flimit; ++i)
        pos -= limit;
    return pos;
}

int64_t IntegerPart(float value)
{
    if (!std::isfinite(value))
        return 0;
    return static_cast<int64_t>(std::clamp(value, -2147483648.0f, 2147483520.0f));
}

}  // namespace

AnimationPlayer::AnimationPlayer() = default;

void AnimationPlayer::SetSprite(const std::shared_ptr<Resource>& sprite)
{
    HeldResource<Sprite> next;
    if (!next.Hold(sprite))
        return;
    if (_sprite && _animation) {
        _position = _animation->GetFrameTime(0);
        Update(kForcedStep, true);
    }
    _sprite = next;
    if (!_sprite)
        return;
    _baseVerticalScale = _sprite->GetVerticalScale();
    _baseHorizontalScale = _sprite->GetHorizontalScale();
    _baseRotation = _sprite->GetRotation();
    _basePositionX = _sprite->GetPositionX();
    _basePositionY = _sprite->GetPositionY();
    _basePriority = _sprite->GetPriority();
    _baseColor = _sprite->GetColor();
    _sprite->GetTextureRect(_baseRectX, _baseRectY, _baseRectWidth, _baseRectHeight);
    if (const Texture* texture = dynamic_cast<const Texture*>(_sprite->GetTexture().get())) {
        _textureWidth = texture->GetWidth();
        _textureHeight = texture->GetHeight();
    }
}

void AnimationPlayer::SetAnimation(const std::shared_ptr<Resource>& animation)
{
    HeldResource<const Animation> next;
    if (next.Hold(animation))
        _animation = next;
}

void AnimationPlayer::Play()
{
    _stopped = false;
}

void AnimationPlayer::Pause()
{
    _stopped = true;
}

void AnimationPlayer::Stop()
{
    _position = 0;
    _stopped = true;
    Update(kForcedStep, true);
}

void AnimationPlayer::SetPosition(float position)
{
    _callbackPending = false;
    _position = position < 0 ? 0 : position;
}

void AnimationPlayer::SetPositionOffset(float x, float y)
{
    _offsetX = x;
    _offsetY = y;
}

void AnimationPlayer::SetAnimationFrame(unsigned int index)
{
    if (!_animation)
        return;
    _position = _animation->GetFrameTime(index);
    Update(kForcedStep, true);
}

float AnimationPlayer::GetAnimationLength() const
{
    return _animation ? _animation->GetLength() : 0.0f;
}

void AnimationPlayer::SetEndAnimationCallback(const std::function<void(void*)>& callback, void* user)
{
    _callback = callback;
    _callbackUser = user;
}

void AnimationPlayer::UpdateCallback()
{
    if (!_callbackPending)
        return;
    _callbackPending = false;
    ReportEnd();
}

// The callback may run script code that frees this player or its sprite: the
// player stays alive for the call, and the call goes through a copy.
void AnimationPlayer::ReportEnd()
{
    if (!_callback)
        return;
    const std::shared_ptr<AnimationPlayer> self = weak_from_this().lock();
    const std::function<void(void*)> callback = _callback;
    callback(_callbackUser);
}

void AnimationPlayer::Update(float dt, bool forced)
{
    if (_stopped && !forced)
        return;
    if (!_sprite || !_animation)
        return;

    Apply();
    if (forced)
        return;

    const float length = _animation->GetLength();
    const float old = _position;
    _position = old + _speed * dt;
    if (!(_position > length))
        return;
    if (_type == AT_LOOP && length > 0) {
        _position -= length;
        // A step of several lengths must not leave the position drifting away.
        if (_position > length) {
            _position = std::fmod(_position, length);
            if (_position == 0.0f)
                _position = length;
        }
    } else {
        _position = length;
        if (old >= length) {
            _stopped = true;
            _position = 0;
        }
    }
    if (old >= length && _callback) {
        if (_externalCallbackControl)
            _callbackPending = true;
        else
            ReportEnd();
    }
}

void AnimationPlayer::Apply()
{
    AnimationKey::KeyValue sample;
    // A miss leaves the zero sample, which puts the sprite at its base values.
    _animation->Sample(_position, _type == AT_LOOP, sample);

    _sprite->SetVerticalScale(_baseVerticalScale + sample.scale.y);
    _sprite->SetHorizontalScale(_baseHorizontalScale + sample.scale.x);
    _sprite->SetRotation(_baseRotation - AngleAboutZ(sample.rotation));
    _sprite->SetPosition(_basePositionX + sample.translation.x + _offsetX,
                         _basePositionY + sample.translation.y + _offsetY);
    if (sample.translation.z != 0.0f)
        _priorityAnimated = true;
    if (_priorityAnimated)
        _sprite->SetPriority(_basePriority + sample.translation.z);

    const uint32_t red = OffsetByte((_baseColor >> 16) & 0xFF, sample.diffuseColor.x);
    const uint32_t green = OffsetByte((_baseColor >> 8) & 0xFF, sample.diffuseColor.y);
    const uint32_t blue = OffsetByte(_baseColor & 0xFF, sample.diffuseColor.z);
    const uint32_t alpha = OffsetByte(_baseColor >> 24, sample.opacity);
    _sprite->SetColor(alpha << 24 | red << 16 | green << 8 | blue);

    ApplyTextureRect(sample.frame);

    if (sample.vertexData.empty() || static_cast<int>(_sprite->GetType()) != kDistortionMeshType)
        return;
    DistortionMesh* mesh = dynamic_cast<DistortionMesh*>(_sprite.Get());
    if (!mesh)
        return;
    const int columns = mesh->GetNumColumns();
    const int rows = mesh->GetNumRows();
    if (columns <= 0 || rows <= 0)
        return;
    // Nodes start at the bottom row; data for nodes the mesh does not have is dropped.
    const size_t nodes = std::min(sample.vertexData.size() / 3, static_cast<size_t>(columns) * rows);
    for (size_t i = 0; i < nodes; ++i) {
        const int column = static_cast<int>(i % columns);
        const int row = rows - 1 - static_cast<int>(i / columns);
        mesh->SetDisplacement(column, row, sample.vertexData[3 * i], sample.vertexData[3 * i + 1], 0);
    }
}

// Frames lie on the texture in columns, running down a column first; the frame
// size and the first frame's corner are the base texture rectangle.
void AnimationPlayer::ApplyTextureRect(int frame)
{
    const int64_t frameWidth = IntegerPart(_baseRectWidth);
    const int64_t frameHeight = IntegerPart(_baseRectHeight);
    const int64_t rows = frameHeight > 0 ? static_cast<int64_t>(_textureHeight) / frameHeight : 0;

    // Frame numbers are 32-bit and compared signed: a start frame of 2^32 - 1 is -1.
    int64_t index = static_cast<int32_t>(_startFrame + static_cast<uint32_t>(frame));
    const int64_t count = static_cast<int32_t>(_numFrames);
    if (index != 0 && count > 0 && index >= count)
        index %= count;

    int64_t column = 0;
    int64_t row = 0;
    if (rows != 0) {
        column = std::max<int64_t>(index / rows, 0);
        row = std::max<int64_t>(index % rows, 0);
    }
    int64_t x = frameWidth * column + IntegerPart(_baseRectX);
    int64_t y = frameHeight * row + IntegerPart(_baseRectY);
    x = WrapInto(x, _baseRectWidth, _textureWidth);
    y = WrapInto(y, _baseRectHeight, _textureHeight);
    _sprite->SetTextureRect(static_cast<float>(x), static_cast<float>(y), _baseRectWidth, _baseRectHeight);
}

}  // namespace EngineCore
