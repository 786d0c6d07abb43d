#pragma once
#include <algorithm>
#include <cstdint>

namespace GameCore {

// A screen rectangle, right and bottom exclusive.
struct CRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// True when the two share an area: rectangles that only touch, and empty ones, do not.
inline bool Intersects(const CRect& a, const CRect& b)
{
    return std::max(a.left, b.left) < std::min(a.right, b.right) &&
           std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

}  // namespace GameCore
