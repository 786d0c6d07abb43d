#include "backend/Helpers/hgeVector.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace MobrixCore {

float InvSqrt(float v)
{
    int32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    bits = 0x5F3759DF - (bits >> 1);
    float g;
    std::memcpy(&g, &bits, sizeof g);
    return g * (1.5f - 0.4999f * v * g * g);
}

hgeVector* hgeVector::Normalize()
{
    const float r = InvSqrt(x * x + y * y);
    x *= r;
    y *= r;
    return this;
}

float hgeVector::Angle(const hgeVector* v) const
{
    if (!v)
        return std::atan2(y, x);
    hgeVector a = *this;
    hgeVector b = *v;
    a.Normalize();
    b.Normalize();
    // The estimate in InvSqrt can leave a normalised vector slightly longer than 1, so
    // the dot of two parallel vectors may exceed 1; clamp it so acos stays defined.
    float d = a.Dot(b);
    if (d > 1.0f)
        d = 1.0f;
    else if (d < -1.0f)
        d = -1.0f;
    return std::acos(d);
}

}  // namespace MobrixCore
