#pragma once

namespace EngineCore {

// Plain four-float record (layout only). Sprites keep their float colour in it
// as red, green, blue, alpha in x, y, z, w.
struct D3DXVECTOR4 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 0.0f;
};

}  // namespace EngineCore
