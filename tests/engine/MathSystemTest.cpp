#include <gtest/gtest.h>

#include <cmath>

#include "engine/Math/MathSystem.h"

using namespace EngineCore;

namespace {

const float kHalfPi = 1.5707964f;
const float kS = 0.70710677f;  // sin and cos of 45 degrees, one value for both

}  // namespace

TEST(MathSystem, QuaternionToEuler)
{
    struct Case {
        const char* name;
        D3DXQUATERNION q;
        float x, y, z;
    } cases[] = {
        {"identity", {0.0f, 0.0f, 0.0f, 1.0f}, 0.0f, 0.0f, 0.0f},
        {"90 about x", {kS, 0.0f, 0.0f, kS}, kHalfPi, 0.0f, 0.0f},
        {"90 about y", {0.0f, kS, 0.0f, kS}, 0.0f, kHalfPi, 0.0f},
        {"90 about z", {0.0f, 0.0f, kS, kS}, 0.0f, 0.0f, kHalfPi},
        // Not unit length: the asin argument is 1.28 and must not give NaN.
        {"long, about y", {0.0f, 0.8f, 0.0f, 0.8f}, 0.0f, kHalfPi, 0.0f},
        {"long, against y", {0.0f, -0.8f, 0.0f, 0.8f}, 0.0f, -kHalfPi, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        D3DXVECTOR3 e{9.0f, 9.0f, 9.0f};
        EXPECT_TRUE(MathSystem::Instance().ConvertQuaternionToEuler(c.q, e));
        EXPECT_NEAR(c.x, e.x, 1e-3f);
        EXPECT_NEAR(c.y, e.y, 1e-3f);
        EXPECT_NEAR(c.z, e.z, 1e-3f);
    }
}

TEST(MathSystem, CatmullRom)
{
    const MathSystem& math = MathSystem::Instance();
    const D3DXVECTOR2 line[4] = {{0.0f, 0.0f}, {1.0f, 2.0f}, {2.0f, 4.0f}, {3.0f, 6.0f}};
    const D3DXVECTOR2 curve[4] = {{-1.5f, 7.0f}, {0.25f, -3.0f}, {4.75f, 1.5f}, {2.0f, 10.0f}};
    struct Case {
        const D3DXVECTOR2* p;
        float t;
        float x, y;
    } cases[] = {
        {line, 0.0f, 1.0f, 2.0f},   {line, 1.0f, 2.0f, 4.0f},     {line, 0.5f, 1.5f, 3.0f},
        {curve, 0.0f, 0.25f, -3.0f}, {curve, 1.0f, 4.75f, 1.5f},
        // t is not clamped: a straight line goes on past its ends.
        {line, 2.0f, 3.0f, 6.0f},   {line, -1.0f, 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.t);
        D3DXVECTOR2 out;
        math.InterpolateCatmullRom(c.p[0], c.p[1], c.p[2], c.p[3], c.t, out);
        EXPECT_FLOAT_EQ(c.x, out.x);
        EXPECT_FLOAT_EQ(c.y, out.y);
    }
}

TEST(MathSystem, Sqrt)
{
    EXPECT_FLOAT_EQ(3.0f, MathSystem::Instance().Sqrt(9.0f));
    EXPECT_FLOAT_EQ(0.5f, MathSystem::Instance().Sqrt(0.25f));
}
