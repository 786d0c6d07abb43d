#pragma once
#include <cmath>
#include <cstdint>

namespace EngineCore {

// Plain integer geometry of the GUI. A rectangle holds a point when
// left <= x < right and top <= y < bottom.
struct CPoint {
    int32_t x = 0;
    int32_t y = 0;
};

struct CSize {
    int32_t cx = 0;
    int32_t cy = 0;
};

struct CRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    bool PtInRect(const CPoint& p) const { return left <= p.x && p.x < right && top <= p.y && p.y < bottom; }
};

// A float truncated toward zero, clamped to the int32 range; NaN gives 0.
inline int32_t TruncateToInt32(float value)
{
    if (!std::isfinite(value))
        return 0;
    if (value >= 2147483647.0f)
        return INT32_MAX;
    if (value <= -2147483648.0f)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

inline bool operator==(const CPoint& a, const CPoint& b)
{
    return a.x == b.x && a.y == b.y;
}

}  // namespace EngineCore
