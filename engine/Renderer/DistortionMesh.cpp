#include "engine/Renderer/DistortionMesh.h"

namespace EngineCore {

DistortionMesh::DistortionMesh()
{
    SetType(RT_DISTORTION_MESH);
}

DistortionMesh::~DistortionMesh() = default;

void DistortionMesh::SetColor(uint32_t argb)
{
    Sprite::SetColor(argb);
}

void DistortionMesh::SetColorFloat(D3DXVECTOR4 color)
{
    Sprite::SetColorFloat(color);
}

void DistortionMesh::SetHotSpot(float x, float y)
{
    Sprite::SetHotSpot(x, y);
}

void DistortionMesh::SetTextureRect(float x, float y, float width, float height)
{
    Sprite::SetTextureRect(x, y, width, height);
}

void DistortionMesh::SetupMesh(int columns, int rows)
{
    _columns = columns;
    _rows = rows;
}

}  // namespace EngineCore
