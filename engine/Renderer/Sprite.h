#pragma once
#include <cstdint>
#include <functional>
#include <memory>

#include "engine/Math/D3DXVECTOR4.h"
#include "engine/Resources/Resource.h"

namespace EngineCore {

class Texture;

// The abstract base of everything the render system draws. It carries every
// drawing attribute as plain data and is filed with the render system, under the
// game state current at construction, for its whole life. Colours are ARGB with
// alpha in the top byte.
class Sprite : public Resource {
public:
    // Handed to the back-end's blend flags unchanged.
    typedef int BlendMode;

    // Registers with the render system; throws "Internal error." when no game
    // state is current, and the sprite is not made.
    Sprite();
    // A copy carries every attribute but is not registered.
    Sprite(const Sprite& other);
    Sprite& operator=(const Sprite& other);
    ~Sprite() override;

    bool IsValid() const override;

    virtual void SetPriority(float priority);
    virtual void SetColor(uint32_t argb);
    // Stores the floats, then calls SetColor with them as bytes; a non-finite
    // channel gives 0.
    virtual void SetColorFloat(D3DXVECTOR4 color);
    virtual void Update(float dt);
    virtual void Render() = 0;
    virtual void SetVisible(bool visible);
    virtual bool SetTexture(const std::shared_ptr<Resource>& texture);
    virtual void SetVerticalScale(float scale);
    virtual void SetHorizontalScale(float scale);
    virtual void SetRotation(float rotation);
    virtual void SetHotSpot(float x, float y);
    virtual void SetPosition(float x, float y);
    virtual void SetTextureRect(float x, float y, float width, float height);
    virtual void SetBlendMode(BlendMode mode);
    virtual void SetFlipVertical(bool flip);
    virtual void SetFlipHorizontal(bool flip);

    // Video operations; only the video sprite gives them a body.
    virtual void SetVideoFile(const char* path);
    virtual void VideoPause();
    virtual void VideoPlay();
    virtual void VideoReset();
    virtual bool IsVideoPause() const;
    virtual void SetVideoLoop(bool loop);
    virtual bool IsVideoLoop() const;
    virtual void SetVideoFullScreenMode(bool fullScreen);
    virtual bool GetVideoFullScreenMode() const;

    float GetPriority() const { return _priority; }
    void GetTextureRect(float& x, float& y, float& width, float& height) const;
    float GetVerticalScale() const { return _verticalScale; }
    float GetHorizontalScale() const { return _horizontalScale; }
    bool IsFlipVertical() const { return _flipVertical; }
    bool IsFlipHorizontal() const { return _flipHorizontal; }
    uint32_t GetColor() const { return _color; }
    const D3DXVECTOR4& GetColorFloat() const { return _colorFloat; }
    float GetHotSpotX() const { return _hotSpotX; }
    float GetHotSpotY() const { return _hotSpotY; }
    bool IsVisible() const { return _visible; }
    BlendMode GetBlendMode() const { return _blendMode; }
    float GetPositionX() const { return _positionX; }
    float GetPositionY() const { return _positionY; }
    const std::shared_ptr<Resource>& GetTexture() const { return _texture; }
    // The texture as a Texture, null when there is none or it is of another kind;
    // worked out once when the texture is set, for callers that ask often (hit tests).
    Texture* GetTextureObject() const { return _textureObject; }
    float GetRotation() const { return _rotation; }

    // The collision function's answer; false without one.
    bool IsAlphaCollided(float x, float y) const;
    // An empty function removes the hook.
    void SetCollisionFunction(const std::function<bool(float, float)>& fn);
    void SetOnCanvasChangedFunction(const std::function<void(Sprite*)>& fn);

protected:
    void Release() override;
    void OnCanvasChanged();

private:
    bool _visible = false;
    bool _flipVertical = false;
    bool _flipHorizontal = false;
    float _hotSpotX = 0.0f;
    float _hotSpotY = 0.0f;
    float _positionX = 0.0f;
    float _positionY = 0.0f;
    float _priority = 0.0f;
    float _textureRectX = 0.0f;
    float _textureRectY = 0.0f;
    float _textureRectWidth = 0.0f;
    float _textureRectHeight = 0.0f;
    float _rotation = 0.0f;
    float _verticalScale = 1.0f;
    float _horizontalScale = 1.0f;
    uint32_t _color = 0xFFFFFFFFu;
    D3DXVECTOR4 _colorFloat{1.0f, 1.0f, 1.0f, 1.0f};
    BlendMode _blendMode = 2;
    std::shared_ptr<Resource> _texture;
    Texture* _textureObject = nullptr;
    std::function<bool(float, float)> _collisionFunction;
    std::function<void(Sprite*)> _onCanvasChangedFunction;
};

}  // namespace EngineCore
