#pragma once
#include <cstdint>

#include "engine/Math/D3DXVECTOR4.h"
#include "engine/Renderer/Sprite.h"

namespace EngineCore {

// A sprite drawn as a grid of columns × rows whose nodes can be coloured and
// displaced. The engine keeps the grid size; the back-end builds and draws the mesh.
class DistortionMesh : public Sprite {
public:
    // What a displacement is measured from: 0 the node's rest position, 1 the
    // mesh's corner, 2 the mesh's centre.
    typedef int ReferencePoint;

    DistortionMesh();
    ~DistortionMesh() override;

    void SetColor(uint32_t argb) override;
    void SetColorFloat(D3DXVECTOR4 color) override;
    void SetHotSpot(float x, float y) override;
    void SetTextureRect(float x, float y, float width, float height) override;

    virtual uint32_t GetColor(int column, int row) const = 0;
    virtual void SetColor(int column, int row, uint32_t argb) = 0;
    virtual void SetupMesh(int columns, int rows);
    virtual void SetTextureAspects(float horizontal, float vertical) = 0;
    virtual void SetDisplacement(int column, int row, float dx, float dy, ReferencePoint reference) = 0;
    virtual void GetDisplacement(int column, int row, ReferencePoint reference, float& dx, float& dy) = 0;

    int GetNumRows() const { return _rows; }
    int GetNumColumns() const { return _columns; }
    using Sprite::GetColor;

private:
    int _rows = 0;
    int _columns = 0;
};

}  // namespace EngineCore
