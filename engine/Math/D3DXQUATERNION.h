#pragma once

namespace EngineCore {

// Plain quaternion record (x, y, z, w); a default one is the identity.
struct D3DXQUATERNION {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;
};

}  // namespace EngineCore
