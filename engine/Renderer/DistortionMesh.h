#pragma once
// Stand-in until the drawing branch lands.
#include "engine/Renderer/Sprite.h"

namespace EngineCore {

class DistortionMesh : public Sprite {
public:
    typedef int ReferencePoint;
    DistortionMesh() { SetType(static_cast<ResourceType>(5)); }
    virtual void SetupMesh(int columns, int rows) { _columns = columns; _rows = rows; }
    virtual void SetDisplacement(int column, int row, float dx, float dy, ReferencePoint ref) = 0;
    int GetNumRows() const { return _rows; }
    int GetNumColumns() const { return _columns; }
private:
    int _rows = 0, _columns = 0;
};

}  // namespace EngineCore
