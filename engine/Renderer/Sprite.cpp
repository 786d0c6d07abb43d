#include "engine/Renderer/Sprite.h"

#include <cmath>

#include "engine/Renderer/RenderSystem.h"
#include "engine/Renderer/Texture.h"

namespace EngineCore {

namespace {

// Channel in 0..1 to a byte, rounded to nearest; out of range clamps, and a
// value that is not finite (float-to-int of it is undefined) gives 0.
uint32_t ChannelToByte(float value)
{
    if (!std::isfinite(value)) {
        return 0;
    }
    const float scaled = value * 255.0f + 0.5f;
    if (scaled <= 0.0f) {
        return 0;
    }
    if (scaled >= 255.0f) {
        return 255;
    }
    return static_cast<uint32_t>(scaled);
}

}  // namespace

Sprite::Sprite()
{
    SetType(RT_SPRITE);
    RenderSystem::Instance().RegisterSprite(this);
}

Sprite::Sprite(const Sprite& other) = default;

Sprite& Sprite::operator=(const Sprite& other) = default;

Sprite::~Sprite()
{
    if (RenderSystem::IsAlive()) {
        RenderSystem::Instance().UnregisterSprite(this);
    }
}

bool Sprite::IsValid() const
{
    return true;
}

void Sprite::Release()
{
    _texture.reset();
    _textureObject = nullptr;
}

// Only a new value asks for a resort: animated sprites store the same priority and
// visibility frame after frame, and each resort re-sorts the whole state.
void Sprite::SetPriority(float priority)
{
    // "!=" is true for NaN, so an unordered value counts as a change.
    const bool changed = priority != _priority;
    _priority = priority;
    // A sprite that outlives the render system at exit (a text's character hidden by
    // its text's destructor) has no render list to resort.
    if (changed && RenderSystem::IsAlive()) {
        RenderSystem::Instance().ResortSprites();
    }
}

void Sprite::SetColor(uint32_t argb)
{
    _color = argb;
    _colorFloat.x = static_cast<float>((argb >> 16) & 0xFFu) / 255.0f;
    _colorFloat.y = static_cast<float>((argb >> 8) & 0xFFu) / 255.0f;
    _colorFloat.z = static_cast<float>(argb & 0xFFu) / 255.0f;
    _colorFloat.w = static_cast<float>((argb >> 24) & 0xFFu) / 255.0f;
}

void Sprite::SetColorFloat(D3DXVECTOR4 color)
{
    _colorFloat = color;
    const uint32_t argb = ChannelToByte(color.w) << 24 | ChannelToByte(color.x) << 16 |
                          ChannelToByte(color.y) << 8 | ChannelToByte(color.z);
    SetColor(argb);
}

void Sprite::Update(float) {}

void Sprite::SetVisible(bool visible)
{
    const bool changed = visible != _visible;
    _visible = visible;
    if (changed && RenderSystem::IsAlive()) {
        RenderSystem::Instance().ResortSprites();
    }
}

bool Sprite::SetTexture(const std::shared_ptr<Resource>& texture)
{
    _texture = texture;
    _textureObject = dynamic_cast<Texture*>(texture.get());
    return true;
}

void Sprite::SetVerticalScale(float scale)
{
    _verticalScale = scale;
}

void Sprite::SetHorizontalScale(float scale)
{
    _horizontalScale = scale;
}

void Sprite::SetRotation(float rotation)
{
    _rotation = rotation;
}

void Sprite::SetHotSpot(float x, float y)
{
    // "!=" is true for NaN, so an unordered value counts as a change.
    const bool changed = x != _hotSpotX || y != _hotSpotY;
    _hotSpotX = x;
    _hotSpotY = y;
    if (changed) {
        OnCanvasChanged();
    }
}

void Sprite::SetPosition(float x, float y)
{
    const bool changed = x != _positionX || y != _positionY;
    _positionX = x;
    _positionY = y;
    if (changed) {
        OnCanvasChanged();
    }
}

void Sprite::SetTextureRect(float x, float y, float width, float height)
{
    _textureRectX = x;
    _textureRectY = y;
    _textureRectWidth = width;
    _textureRectHeight = height;
    OnCanvasChanged();
}

void Sprite::SetBlendMode(BlendMode mode)
{
    _blendMode = mode;
}

void Sprite::SetFlipVertical(bool flip)
{
    _flipVertical = flip;
}

void Sprite::SetFlipHorizontal(bool flip)
{
    _flipHorizontal = flip;
}

void Sprite::SetVideoFile(const char*) {}

void Sprite::VideoPause() {}

void Sprite::VideoPlay() {}

void Sprite::VideoReset() {}

bool Sprite::IsVideoPause() const
{
    return false;
}

void Sprite::SetVideoLoop(bool) {}

bool Sprite::IsVideoLoop() const
{
    return false;
}

void Sprite::SetVideoFullScreenMode(bool) {}

bool Sprite::GetVideoFullScreenMode() const
{
    return false;
}

void Sprite::GetTextureRect(float& x, float& y, float& width, float& height) const
{
    x = _textureRectX;
    y = _textureRectY;
    width = _textureRectWidth;
    height = _textureRectHeight;
}

bool Sprite::IsAlphaCollided(float x, float y) const
{
    // A copy: the function may replace the hook while it runs.
    const std::function<bool(float, float)> fn = _collisionFunction;
    return fn ? fn(x, y) : false;
}

void Sprite::SetCollisionFunction(const std::function<bool(float, float)>& fn)
{
    _collisionFunction = fn;
}

void Sprite::SetOnCanvasChangedFunction(const std::function<void(Sprite*)>& fn)
{
    _onCanvasChangedFunction = fn;
}

void Sprite::OnCanvasChanged()
{
    const std::function<void(Sprite*)> fn = _onCanvasChangedFunction;
    if (fn) {
        fn(this);
    }
}

}  // namespace EngineCore
