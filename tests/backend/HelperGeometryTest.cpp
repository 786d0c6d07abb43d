#include <gtest/gtest.h>

#include <cmath>

#include "backend/Helpers/hgeRect.h"
#include "backend/Helpers/hgeVector.h"

using MobrixCore::hgeRect;
using MobrixCore::hgeVector;

namespace {
const float kPi = 3.14159265f;
}

TEST(HelperVector, InverseSquareRootIsCloseToExact)
{
    for (float v : {0.01f, 0.25f, 1.0f, 2.0f, 4.0f, 100.0f, 12345.0f}) {
        const float exact = 1.0f / std::sqrt(v);
        EXPECT_NEAR(MobrixCore::InvSqrt(v), exact, exact * 2e-3f) << v;
    }
}

TEST(HelperVector, NormalizeGivesUnitLengthAndReturnsItself)
{
    for (hgeVector v : {hgeVector(3, 4), hgeVector(-0.001f, 0.002f), hgeVector(1000, -1)}) {
        hgeVector copy = v;
        EXPECT_EQ(&copy, copy.Normalize());
        EXPECT_NEAR(std::sqrt(copy.x * copy.x + copy.y * copy.y), 1.0f, 2e-3f);
        EXPECT_NEAR(std::atan2(copy.y, copy.x), std::atan2(v.y, v.x), 1e-5f);
    }
}

TEST(HelperVector, AngleOfDirection)
{
    struct Case {
        hgeVector v;
        float angle;
    } cases[] = {
        {{1, 0}, 0.0f}, {{0, 1}, kPi / 2}, {{-1, 0}, kPi}, {{0, -1}, -kPi / 2}, {{2, 2}, kPi / 4},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(c.v.Angle(), c.angle, 1e-6f) << c.v.x << "," << c.v.y;
}

TEST(HelperVector, AngleBetweenVectorsIsDefinedForParallelOnes)
{
    struct Case {
        hgeVector a;
        hgeVector b;
        float angle;
        float tolerance;
    } cases[] = {
        // The approximate normalisation is off by up to ~0.2%, which acos turns into
        // up to ~0.08 rad near 0 and pi; for (1.08, 0) it makes the length exceed 1, so
        // the dot of the vector with itself is above 1 and must be clamped.
        {{1.08f, 0}, {1.08f, 0}, 0.0f, 0.0f},
        {{1, 0}, {5, 0}, 0.0f, 0.1f},
        {{3, 4}, {6, 8}, 0.0f, 0.1f},
        {{0.3f, 0.7f}, {30, 70}, 0.0f, 0.1f},
        {{1, 0}, {-2, 0}, kPi, 0.1f},
        {{1, 0}, {0, 3}, kPi / 2, 1e-3f},
    };
    for (const Case& c : cases) {
        const float angle = c.a.Angle(&c.b);
        EXPECT_FALSE(std::isnan(angle));
        EXPECT_NEAR(angle, c.angle, c.tolerance);
    }
    for (int i = 1; i < 200; ++i) {
        const hgeVector a(static_cast<float>(i) * 0.37f, static_cast<float>(i % 7) + 0.5f);
        const hgeVector b(a.x * 3.0f, a.y * 3.0f);
        EXPECT_FALSE(std::isnan(a.Angle(&b))) << i;
    }
}

TEST(HelperRect, TestPointIsHalfOpen)
{
    const hgeRect r(10, 20, 30, 40);
    struct Case {
        float x, y;
        bool inside;
    } cases[] = {
        {10, 20, true},  {29.99f, 39.99f, true}, {30, 40, false}, {30, 25, false},
        {15, 40, false}, {9.99f, 25, false},     {15, 19.99f, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(r.TestPoint(c.x, c.y), c.inside) << c.x << "," << c.y;
    EXPECT_TRUE(hgeRect().clean);
    EXPECT_FALSE(r.clean);
}
