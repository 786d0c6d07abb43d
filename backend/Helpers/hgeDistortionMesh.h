#pragma once
// A texture drawn through a grid of nodes that can be moved one by one (water, flags).
// Node positions are relative to the mesh's top-left corner and absolute within it: a
// displacement replaces the node's position, it does not add to it.

#include <cstddef>
#include <vector>

#include "platform/hge/hge.h"

namespace MobrixCore {

class hgeDistortionMesh {
public:
    // What a displacement is measured from.
    enum Reference { kNode = 0, kTopLeft = 1, kCentre = 2 };

    // At least 2 columns and 2 rows (the caller checks): nodes at the origin, white,
    // blend mode 6, no texture, both aspects 1.
    hgeDistortionMesh(int columns, int rows);
    ~hgeDistortionMesh();
    hgeDistortionMesh(const hgeDistortionMesh&) = delete;
    hgeDistortionMesh& operator=(const hgeDistortionMesh&) = delete;

    // (columns − 1) · (rows − 1) quads with the mesh's top-left at (x, y).
    void Render(float x, float y);

    // Texture coordinates follow at the next SetTextureRect.
    void SetTexture(HTEXTURE texture) { _quad.tex = texture; }
    HTEXTURE GetTexture() const { return _quad.tex; }
    void SetBlendMode(int blend) { _quad.blend = blend; }
    int GetBlendMode() const { return _quad.blend; }
    // Divisors of the texture's width and height; they act at the next SetTextureRect.
    void SetTextureAspects(float horizontal, float vertical)
    {
        _horizontalAspect = horizontal;
        _verticalAspect = vertical;
    }

    // Spreads the nodes evenly over a width × height rectangle (back at rest) and maps
    // them onto that part of the texture.
    void SetTextureRect(float x, float y, float width, float height);
    // Column and row must lie in the grid (the caller checks).
    void SetDisplacement(int column, int row, float dx, float dy, int reference);
    // The inverse of SetDisplacement: the node's offset from the reference.
    void GetDisplacement(int column, int row, int reference, float& dx, float& dy) const;

    int GetColumns() const { return _columns; }
    int GetRows() const { return _rows; }
    const hgeVertex& GetNode(int column, int row) const { return _nodes[static_cast<size_t>(row * _columns + column)]; }

private:
    // The point a displacement of the node is measured from.
    void ReferenceOrigin(int column, int row, int reference, float& x, float& y) const;

    HGE* _hge;
    std::vector<hgeVertex> _nodes;
    int _rows;
    int _columns;
    float _cellWidth = 0.0f;
    float _cellHeight = 0.0f;
    float _textureX = 0.0f;
    float _textureY = 0.0f;
    float _textureWidth = 0.0f;
    float _textureHeight = 0.0f;
    hgeQuad _quad;
    float _verticalAspect = 1.0f;
    float _horizontalAspect = 1.0f;
};

}  // namespace MobrixCore
