#pragma once
// Stand-in until the drawing branch lands.
#include <cstdint>
#include <memory>

#include "engine/Resources/Resource.h"

namespace EngineCore {

class Sprite : public Resource {
public:
    Sprite() { SetType(static_cast<ResourceType>(2)); }
    bool IsValid() const override { return true; }
    virtual void SetPriority(float v) { _priority = v; }
    virtual void SetColor(uint32_t argb) { _color = argb; }
    virtual void Render() = 0;
    virtual void SetVerticalScale(float v) { _verticalScale = v; }
    virtual void SetHorizontalScale(float v) { _horizontalScale = v; }
    virtual void SetRotation(float v) { _rotation = v; }
    virtual void SetPosition(float x, float y) { _x = x; _y = y; }
    virtual void SetTextureRect(float x, float y, float w, float h) { _rx = x; _ry = y; _rw = w; _rh = h; }
    virtual bool SetTexture(const std::shared_ptr<Resource>& t) { _texture = t; return true; }
    float GetPriority() const { return _priority; }
    void GetTextureRect(float& x, float& y, float& w, float& h) const { x = _rx; y = _ry; w = _rw; h = _rh; }
    float GetVerticalScale() const { return _verticalScale; }
    float GetHorizontalScale() const { return _horizontalScale; }
    uint32_t GetColor() const { return _color; }
    float GetPositionX() const { return _x; }
    float GetPositionY() const { return _y; }
    const std::shared_ptr<Resource>& GetTexture() const { return _texture; }
    float GetRotation() const { return _rotation; }
private:
    float _x = 0, _y = 0, _priority = 0, _rx = 0, _ry = 0, _rw = 0, _rh = 0, _rotation = 0;
    float _verticalScale = 1, _horizontalScale = 1;
    uint32_t _color = 0xFFFFFFFFu;
    std::shared_ptr<Resource> _texture;
};

}  // namespace EngineCore
