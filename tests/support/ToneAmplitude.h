#pragma once
// Measures how loud one frequency is in a block of rendered samples.
#include <algorithm>
#include <cmath>
#include <vector>

namespace TestSupport {

// Amplitude of `hz` in a block sampled at `rate` (Goertzel), scaled so that a sine of
// peak p gives p.
inline double ToneAmplitude(const std::vector<float>& block, double hz, int rate)
{
    const double w = 2.0 * M_PI * hz / rate;
    const double c = 2.0 * std::cos(w);
    double s1 = 0.0, s2 = 0.0;
    for (float x : block) {
        const double s0 = x + c * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    const double power = s1 * s1 + s2 * s2 - c * s1 * s2;
    return 2.0 * std::sqrt(std::max(power, 0.0)) / static_cast<double>(block.size());
}

}  // namespace TestSupport
