#pragma once

namespace EngineCore {

// Plain two-float record (layout only; no vector arithmetic is offered).
struct D3DXVECTOR2 {
    float x = 0.0f;
    float y = 0.0f;
};

}  // namespace EngineCore
