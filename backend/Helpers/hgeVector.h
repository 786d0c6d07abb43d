#pragma once
// Two-component vector of the drawing helpers (particles, GUI).

namespace MobrixCore {

// 1/sqrt(v) by the bit-level estimate and one Newton step. The step uses 0.4999 rather
// than 0.5; particle motion was tuned with this exact value, so it must not be "fixed".
float InvSqrt(float v);

struct hgeVector {
    float x;
    float y;

    hgeVector() : x(0.0f), y(0.0f) {}
    hgeVector(float vx, float vy) : x(vx), y(vy) {}

    float Dot(const hgeVector& v) const { return x * v.x + y * v.y; }
    // Scales to unit length (approximately: see InvSqrt) and returns *this.
    hgeVector* Normalize();
    // Without an argument: the direction of this vector, atan2(y, x). With one: the angle
    // between the two directions, from the dot product of normalised copies.
    float Angle(const hgeVector* v = nullptr) const;
};

}  // namespace MobrixCore
