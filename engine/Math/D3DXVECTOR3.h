#pragma once

namespace EngineCore {

// Plain three-float record (layout only; no vector arithmetic is offered).
struct D3DXVECTOR3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

}  // namespace EngineCore
