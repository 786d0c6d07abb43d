#include "engine/Math/MathSystem.h"

#include <cmath>

namespace EngineCore {

MathSystem& MathSystem::Instance()
{
    static MathSystem instance;
    return instance;
}

bool MathSystem::ConvertQuaternionToEuler(const D3DXQUATERNION& q, D3DXVECTOR3& e) const
{
    const float xx = q.x * q.x;
    const float yy = q.y * q.y;
    const float zz = q.z * q.z;
    const float ww = q.w * q.w;

    const float xNum = 2.0f * (q.x * q.w + q.y * q.z);
    const float xDen = ww - xx - yy + zz;
    e.x = std::atan2(xNum, xDen);

    // Rounding (or a quaternion that is not quite unit length) can push the
    // argument just past ±1, where asin has no real value.
    float s = -2.0f * (q.x * q.z - q.y * q.w);
    if (s > 1.0f) {
        s = 1.0f;
    } else if (s < -1.0f) {
        s = -1.0f;
    }
    e.y = std::asin(s);

    const float zNum = 2.0f * (q.x * q.y + q.z * q.w);
    const float zDen = ww + xx - yy - zz;
    e.z = std::atan2(zNum, zDen);
    return true;
}

namespace {

float CatmullRom(float p0, float p1, float p2, float p3, float t)
{
    const float t2 = t * t;
    const float t3 = t2 * t;
    return 0.5f * (2.0f * p1 + (p2 - p0) * t + (2.0f * p0 - 5.0f * p1 + 4.0f * p2 - p3) * t2 +
                   (3.0f * p1 - p0 - 3.0f * p2 + p3) * t3);
}

}  // namespace

void MathSystem::InterpolateCatmullRom(const D3DXVECTOR2& p0, const D3DXVECTOR2& p1, const D3DXVECTOR2& p2,
                                       const D3DXVECTOR2& p3, float t, D3DXVECTOR2& out) const
{
    out.x = CatmullRom(p0.x, p1.x, p2.x, p3.x, t);
    out.y = CatmullRom(p0.y, p1.y, p2.y, p3.y, t);
}

float MathSystem::Sqrt(float value) const
{
    return std::sqrt(value);
}

}  // namespace EngineCore
