#pragma once
// The textured quad that every back-end drawable is drawn with (sprites, video, cursor,
// particles). It keeps its quad between frames: a draw rewrites only the corner positions,
// and texture coordinates change only with the texture, its size, the rectangle or a flip.

#include <cstdint>

#include "platform/hge/hge.h"

namespace MobrixCore {

class hgeSprite {
public:
    // A zero handle means no texture; the texture size is then taken as 1 x 1.
    hgeSprite(HTEXTURE texture, float x, float y, float width, float height);
    hgeSprite(const hgeSprite& other);
    hgeSprite& operator=(const hgeSprite& other);
    ~hgeSprite();

    // Draws with the hot spot at (x, y), unscaled and unrotated.
    void Render(float x, float y);
    // Draws scaled and rotated (radians) about the hot spot; a vertical scale of 0 takes
    // the horizontal one.
    void RenderEx(float x, float y, float rotation, float hscale = 1.0f, float vscale = 0.0f);

    void SetTexture(HTEXTURE texture);
    void SetTextureRect(float x, float y, float width, float height, bool adjustSize = true);
    // With follow set, a flipped axis measures the hot spot from the opposite edge.
    void SetFlip(bool flipX, bool flipY, bool hotSpotFollows = false);
    // index -1 sets all four corners; otherwise 0..3 = top-left, top-right, bottom-right, bottom-left.
    void SetColor(uint32_t argb, int index = -1);
    void SetHotSpot(float x, float y)
    {
        _hotX = x;
        _hotY = y;
    }
    void SetBlendMode(int blend) { _quad.blend = blend; }

    HTEXTURE GetTexture() const { return _quad.tex; }
    void GetTextureRect(float* x, float* y, float* width, float* height) const;
    uint32_t GetColor(int index = 0) const { return _quad.v[index].col; }
    void GetHotSpot(float* x, float* y) const;
    void GetFlip(bool* flipX, bool* flipY) const;
    int GetBlendMode() const { return _quad.blend; }
    float GetWidth() const { return _width; }
    float GetHeight() const { return _height; }
    const hgeQuad& GetQuad() const { return _quad; }

private:
    void SetCornerCoordinates(float u1, float v1, float u2, float v2);
    // Screen corners of an unrotated quad, clockwise from (x1, y1).
    void SetCornerPositions(float x1, float y1, float x2, float y2);
    static void ReadTextureSize(HTEXTURE texture, float& width, float& height);

    hgeQuad _quad;
    float _texX, _texY, _width, _height;  // texture rectangle, texels
    float _texWidth, _texHeight;          // surface size of the texture
    float _hotX, _hotY;
    bool _flipX, _flipY, _hotSpotFollows;
};

}  // namespace MobrixCore
