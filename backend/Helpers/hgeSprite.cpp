#include "backend/Helpers/hgeSprite.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <utility>

namespace MobrixCore {

namespace {

// The interface every helper sprite shares. Each object holds one counted reference;
// hgeCreate hands out the same object every time, so the stored value never changes.
std::atomic<HGE*> g_hge{nullptr};

HGE* TakeInterface()
{
    HGE* hge = hgeCreate(HGE_VERSION);
    g_hge.store(hge);
    return hge;
}

void GiveInterfaceBack()
{
    if (HGE* hge = g_hge.load())
        hge->Release();
}

}  // namespace

void hgeSprite::ReadTextureSize(HTEXTURE texture, float& width, float& height)
{
    HGE* hge = g_hge.load();
    if (texture && hge) {
        // A size that reads 0 (a stale or failed texture) counts as 1, like no
        // texture: texture coordinates are divided by it.
        width = static_cast<float>(std::max(hge->Texture_GetWidth(texture, false), 1));
        height = static_cast<float>(std::max(hge->Texture_GetHeight(texture, false), 1));
    } else {
        width = 1.0f;
        height = 1.0f;
    }
}

hgeSprite::hgeSprite(HTEXTURE texture, float x, float y, float width, float height)
    : _texX(x), _texY(y), _width(width), _height(height), _hotX(0.0f), _hotY(0.0f),
      _flipX(false), _flipY(false), _hotSpotFollows(false)
{
    TakeInterface();
    ReadTextureSize(texture, _texWidth, _texHeight);
    _quad.tex = texture;
    _quad.blend = 2;
    SetCornerCoordinates(x / _texWidth, y / _texHeight, (x + width) / _texWidth,
                         (y + height) / _texHeight);
    for (hgeVertex& v : _quad.v) {
        v.x = 0.0f;
        v.y = 0.0f;
        v.z = 0.5f;
        v.col = 0xFFFFFFFFu;
    }
}

hgeSprite::hgeSprite(const hgeSprite& other)
    : _quad(other._quad), _texX(other._texX), _texY(other._texY), _width(other._width),
      _height(other._height), _texWidth(other._texWidth), _texHeight(other._texHeight),
      _hotX(other._hotX), _hotY(other._hotY), _flipX(other._flipX), _flipY(other._flipY),
      _hotSpotFollows(other._hotSpotFollows)
{
    TakeInterface();
}

hgeSprite& hgeSprite::operator=(const hgeSprite& other)
{
    // The interface reference stays with the object; only the drawing state is copied.
    _quad = other._quad;
    _texX = other._texX;
    _texY = other._texY;
    _width = other._width;
    _height = other._height;
    _texWidth = other._texWidth;
    _texHeight = other._texHeight;
    _hotX = other._hotX;
    _hotY = other._hotY;
    _flipX = other._flipX;
    _flipY = other._flipY;
    _hotSpotFollows = other._hotSpotFollows;
    return *this;
}

hgeSprite::~hgeSprite()
{
    GiveInterfaceBack();
}

void hgeSprite::SetCornerCoordinates(float u1, float v1, float u2, float v2)
{
    _quad.v[0].tx = u1;
    _quad.v[0].ty = v1;
    _quad.v[1].tx = u2;
    _quad.v[1].ty = v1;
    _quad.v[2].tx = u2;
    _quad.v[2].ty = v2;
    _quad.v[3].tx = u1;
    _quad.v[3].ty = v2;
}

void hgeSprite::SetCornerPositions(float x1, float y1, float x2, float y2)
{
    _quad.v[0].x = x1;
    _quad.v[0].y = y1;
    _quad.v[1].x = x2;
    _quad.v[1].y = y1;
    _quad.v[2].x = x2;
    _quad.v[2].y = y2;
    _quad.v[3].x = x1;
    _quad.v[3].y = y2;
}

void hgeSprite::Render(float x, float y)
{
    SetCornerPositions(x - _hotX, y - _hotY, x + _width - _hotX, y + _height - _hotY);
    if (HGE* hge = g_hge.load())
        hge->Gfx_RenderQuad(&_quad);
}

void hgeSprite::RenderEx(float x, float y, float rotation, float hscale, float vscale)
{
    if (vscale == 0.0f)
        vscale = hscale;
    const float a1 = -_hotX * hscale;
    const float b1 = -_hotY * vscale;
    const float a2 = (_width - _hotX) * hscale;
    const float b2 = (_height - _hotY) * vscale;
    if (rotation != 0.0f) {
        const float c = static_cast<float>(std::cos(static_cast<double>(rotation)));
        const float s = static_cast<float>(std::sin(static_cast<double>(rotation)));
        _quad.v[0].x = a1 * c - b1 * s + x;
        _quad.v[0].y = a1 * s + b1 * c + y;
        _quad.v[1].x = a2 * c - b1 * s + x;
        _quad.v[1].y = a2 * s + b1 * c + y;
        _quad.v[2].x = a2 * c - b2 * s + x;
        _quad.v[2].y = a2 * s + b2 * c + y;
        _quad.v[3].x = a1 * c - b2 * s + x;
        _quad.v[3].y = a1 * s + b2 * c + y;
    } else {
        SetCornerPositions(a1 + x, b1 + y, a2 + x, b2 + y);
    }
    if (HGE* hge = g_hge.load())
        hge->Gfx_RenderQuad(&_quad);
}

void hgeSprite::SetTexture(HTEXTURE texture)
{
    _quad.tex = texture;
    float tw;
    float th;
    ReadTextureSize(texture, tw, th);
    if (tw != _texWidth || th != _texHeight) {
        // Top-left and bottom-right carry the flip, so a flipped sprite stays flipped.
        const float u1 = _quad.v[0].tx * _texWidth / tw;
        const float v1 = _quad.v[0].ty * _texHeight / th;
        const float u2 = _quad.v[2].tx * _texWidth / tw;
        const float v2 = _quad.v[2].ty * _texHeight / th;
        _texWidth = tw;
        _texHeight = th;
        SetCornerCoordinates(u1, v1, u2, v2);
    }
}

void hgeSprite::SetTextureRect(float x, float y, float width, float height, bool adjustSize)
{
    _texX = x;
    _texY = y;
    if (adjustSize) {
        _width = width;
        _height = height;
    }
    SetCornerCoordinates(x / _texWidth, y / _texHeight, (x + width) / _texWidth,
                         (y + height) / _texHeight);
    // The new coordinates are unflipped: re-apply the flips the sprite had.
    const bool flipX = _flipX;
    const bool flipY = _flipY;
    const bool follows = _hotSpotFollows;
    _flipX = false;
    _flipY = false;
    SetFlip(flipX, flipY, follows);
}

void hgeSprite::SetFlip(bool flipX, bool flipY, bool hotSpotFollows)
{
    if (_hotSpotFollows && _flipX)
        _hotX = _width - _hotX;
    if (_hotSpotFollows && _flipY)
        _hotY = _height - _hotY;
    _hotSpotFollows = hotSpotFollows;
    if (_hotSpotFollows && _flipX)
        _hotX = _width - _hotX;
    if (_hotSpotFollows && _flipY)
        _hotY = _height - _hotY;

    if (flipX != _flipX) {
        std::swap(_quad.v[0].tx, _quad.v[1].tx);
        std::swap(_quad.v[0].ty, _quad.v[1].ty);
        std::swap(_quad.v[3].tx, _quad.v[2].tx);
        std::swap(_quad.v[3].ty, _quad.v[2].ty);
        _flipX = !_flipX;
    }
    if (flipY != _flipY) {
        std::swap(_quad.v[0].tx, _quad.v[3].tx);
        std::swap(_quad.v[0].ty, _quad.v[3].ty);
        std::swap(_quad.v[1].tx, _quad.v[2].tx);
        std::swap(_quad.v[1].ty, _quad.v[2].ty);
        _flipY = !_flipY;
    }
}

void hgeSprite::SetColor(uint32_t argb, int index)
{
    if (index == -1) {
        for (hgeVertex& v : _quad.v)
            v.col = argb;
    } else if (index >= 0 && index < 4) {
        _quad.v[index].col = argb;
    }
}

void hgeSprite::GetTextureRect(float* x, float* y, float* width, float* height) const
{
    *x = _texX;
    *y = _texY;
    *width = _width;
    *height = _height;
}

void hgeSprite::GetHotSpot(float* x, float* y) const
{
    *x = _hotX;
    *y = _hotY;
}

void hgeSprite::GetFlip(bool* flipX, bool* flipY) const
{
    *flipX = _flipX;
    *flipY = _flipY;
}

}  // namespace MobrixCore
