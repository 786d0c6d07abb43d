#include "backend/Helpers/hgeDistortionMesh.h"

namespace MobrixCore {

hgeDistortionMesh::hgeDistortionMesh(int columns, int rows)
    : _hge(nullptr), _rows(rows), _columns(columns)
{
    hgeVertex rest{};
    rest.z = 0.5f;
    rest.col = 0xFFFFFFFFu;
    _nodes.assign(static_cast<size_t>(rows) * static_cast<size_t>(columns), rest);
    // Taken only once the grid exists: a grid too large to make holds no reference.
    _hge = hgeCreate(HGE_VERSION);
    _quad = hgeQuad{};
    _quad.tex = 0;
    _quad.blend = BLEND_COLORMUL | BLEND_ALPHABLEND | BLEND_ZWRITE;
}

hgeDistortionMesh::~hgeDistortionMesh()
{
    if (_hge)
        _hge->Release();
}

void hgeDistortionMesh::SetTextureRect(float x, float y, float width, float height)
{
    _textureX = x;
    _textureY = y;
    _textureWidth = width;
    _textureHeight = height;

    float tw = width;
    float th = height;
    if (_quad.tex && _hge) {
        tw = static_cast<float>(_hge->Texture_GetWidth(_quad.tex, false));
        th = static_cast<float>(_hge->Texture_GetHeight(_quad.tex, false));
    }
    _cellWidth = width / static_cast<float>(_columns - 1);
    _cellHeight = height / static_cast<float>(_rows - 1);
    const float uScale = tw * _horizontalAspect;
    const float vScale = th * _verticalAspect;
    for (int j = 0; j < _rows; ++j) {
        for (int i = 0; i < _columns; ++i) {
            hgeVertex& node = _nodes[static_cast<size_t>(j * _columns + i)];
            const float nx = static_cast<float>(i) * _cellWidth;
            const float ny = static_cast<float>(j) * _cellHeight;
            node.tx = (x + nx) / uScale;
            node.ty = (y + ny) / vScale;
            node.x = nx;
            node.y = ny;
        }
    }
}

void hgeDistortionMesh::ReferenceOrigin(int column, int row, int reference, float& x, float& y) const
{
    switch (reference) {
    case kTopLeft:
        x = 0.0f;
        y = 0.0f;
        break;
    case kCentre:
        x = _cellWidth * static_cast<float>(_columns - 1) * 0.5f;
        y = _cellHeight * static_cast<float>(_rows - 1) * 0.5f;
        break;
    default:
        x = static_cast<float>(column) * _cellWidth;
        y = static_cast<float>(row) * _cellHeight;
        break;
    }
}

void hgeDistortionMesh::SetDisplacement(int column, int row, float dx, float dy, int reference)
{
    float ox;
    float oy;
    ReferenceOrigin(column, row, reference, ox, oy);
    hgeVertex& node = _nodes[static_cast<size_t>(row * _columns + column)];
    node.x = dx + ox;
    node.y = dy + oy;
}

void hgeDistortionMesh::GetDisplacement(int column, int row, int reference, float& dx, float& dy) const
{
    float ox;
    float oy;
    ReferenceOrigin(column, row, reference, ox, oy);
    const hgeVertex& node = GetNode(column, row);
    dx = node.x - ox;
    dy = node.y - oy;
}

void hgeDistortionMesh::Render(float x, float y)
{
    if (!_hge)
        return;
    static const int kCorner[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int j = 0; j < _rows - 1; ++j) {
        for (int i = 0; i < _columns - 1; ++i) {
            for (int k = 0; k < 4; ++k) {
                const hgeVertex& node = _nodes[static_cast<size_t>((j + kCorner[k][1]) * _columns + i + kCorner[k][0])];
                hgeVertex& v = _quad.v[k];
                v.tx = node.tx;
                v.ty = node.ty;
                v.z = node.z;
                v.col = node.col;
                v.x = x + node.x;
                v.y = y + node.y;
            }
            _hge->Gfx_RenderQuad(&_quad);
        }
    }
}

}  // namespace MobrixCore
