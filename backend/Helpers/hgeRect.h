#pragma once
// Axis-aligned rectangle of the drawing helpers (particles, GUI).

namespace MobrixCore {

struct hgeRect {
    float x1;
    float y1;
    float x2;
    float y2;
    bool clean;  // true: the rectangle holds nothing yet

    hgeRect() : x1(0.0f), y1(0.0f), x2(0.0f), y2(0.0f), clean(true) {}
    hgeRect(float ax1, float ay1, float ax2, float ay2)
        : x1(ax1), y1(ay1), x2(ax2), y2(ay2), clean(false)
    {
    }

    // Half-open: the left and top edges are inside, the right and bottom edges are not.
    bool TestPoint(float x, float y) const { return x >= x1 && x < x2 && y >= y1 && y < y2; }
};

}  // namespace MobrixCore
