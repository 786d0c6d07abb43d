#pragma once
#include "engine/Math/D3DXQUATERNION.h"
#include "engine/Math/D3DXVECTOR2.h"
#include "engine/Math/D3DXVECTOR3.h"

namespace EngineCore {

// Stateless helpers shared by animation, the cursor and the scripts.
class MathSystem {
public:
    static MathSystem& Instance();

    // Euler angles (radians) of a rotation quaternion; always true. Every
    // intermediate is single precision.
    bool ConvertQuaternionToEuler(const D3DXQUATERNION& q, D3DXVECTOR3& e) const;

    // Uniform Catmull-Rom point between p1 (t = 0) and p2 (t = 1); t is not clamped.
    void InterpolateCatmullRom(const D3DXVECTOR2& p0, const D3DXVECTOR2& p1, const D3DXVECTOR2& p2,
                               const D3DXVECTOR2& p3, float t, D3DXVECTOR2& out) const;

    float Sqrt(float value) const;

    MathSystem(const MathSystem&) = delete;
    MathSystem& operator=(const MathSystem&) = delete;

private:
    MathSystem() = default;
};

}  // namespace EngineCore
