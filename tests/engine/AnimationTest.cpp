#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/Animation/Animation.h"

using namespace EngineCore;

namespace {

AnimationKey ScaleKey(float x)
{
    AnimationKey key;
    key.SetScale(D3DXVECTOR3{x, 0, 0});
    return key;
}

// Keys at 0 and 1 whose scale x equals 10 × their time, so a sample's scale x
// tells the blended time.
Animation TwoKeys()
{
    Animation a;
    a.AddAnimationKey(ScaleKey(0), 0.0f);
    a.AddAnimationKey(ScaleKey(10), 1.0f);
    return a;
}

}  // namespace

TEST(Animation, NewAnimation)
{
    Animation a;
    EXPECT_EQ(9, static_cast<int>(a.GetType()));
    EXPECT_FALSE(a.IsValid());
    EXPECT_EQ(0.0f, a.GetLength());
    EXPECT_EQ(0.0f, a.GetFrameTime(0));  // no keys: no time to read
    AnimationKey::KeyValue out;
    out.opacity = 7;
    EXPECT_FALSE(a.Sample(0.0f, false, out));
    EXPECT_EQ(7.0f, out.opacity);
}

TEST(Animation, OneKeyAnswersEveryTime)
{
    Animation a;
    a.AddAnimationKey(ScaleKey(3), 2.0f);
    for (float t : {0.0f, 2.0f, 9.0f, -1.0f}) {
        for (bool loop : {false, true}) {
            AnimationKey::KeyValue out;
            ASSERT_TRUE(a.Sample(t, loop, out)) << t << " " << loop;
            EXPECT_EQ(3.0f, out.scale.x);
        }
    }
}

TEST(Animation, SamplingTable)
{
    const Animation a = TwoKeys();
    struct Case {
        float time;
        bool loop;
        bool found;
        float scaleX;
    } cases[] = {
        {-0.5f, false, false, -1},  // before the first key: nothing
        {-0.5f, true, false, -1},
        {0.0f, false, true, 0},
        {0.25f, false, true, 2.5f},
        {1.0f, false, true, 10},   // exactly the second key
        {1.25f, false, true, 10},  // past the end without looping: the last key
        {1.25f, true, true, 2.5f}, // looping wraps to 0.25
        {2.25f, true, true, 2.5f},
        {2.0f, true, true, 10},    // a whole number of lengths lands on the length
    };
    for (const Case& c : cases) {
        AnimationKey::KeyValue out;
        out.scale.x = -1;
        EXPECT_EQ(c.found, a.Sample(c.time, c.loop, out)) << c.time << " " << c.loop;
        EXPECT_FLOAT_EQ(c.scaleX, out.scale.x) << c.time << " " << c.loop;
    }
}

TEST(Animation, LoopingEndsForAnyTimeAndLength)
{
    // Every key at time 0 or earlier: the length stays 0 and must not be looped by.
    Animation flat;
    flat.AddAnimationKey(ScaleKey(1), -1.0f);
    flat.AddAnimationKey(ScaleKey(2), 0.0f);
    AnimationKey::KeyValue out;
    EXPECT_TRUE(flat.Sample(5.0f, true, out));
    EXPECT_EQ(2.0f, out.scale.x);

    const Animation a = TwoKeys();
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        float time;
        bool loop;
        bool found;
    } cases[] = {{1e9f, true, true}, {3.0e38f, true, true}, {inf, true, false},
                 {nan, true, false}, {inf, false, true},    {nan, false, false}};
    for (const Case& c : cases) {
        AnimationKey::KeyValue value;
        EXPECT_EQ(c.found, a.Sample(c.time, c.loop, value)) << c.time << " " << c.loop;
        EXPECT_TRUE(std::isfinite(value.scale.x));
    }
    AnimationKey::KeyValue value;
    a.Sample(1e9f + 0.5f, true, value);  // 1e9 + 0.5 rounds to 1e9: one whole length
    EXPECT_EQ(10.0f, value.scale.x);
}

TEST(Animation, KeysKeepInsertionOrderAndLengthIsLargestTime)
{
    Animation a;
    a.AddAnimationKey(ScaleKey(1), 0.5f);
    a.AddAnimationKey(ScaleKey(2), 0.2f);
    EXPECT_EQ(0.5f, a.GetLength());
    EXPECT_EQ(0.5f, a.GetFrameTime(0));
    EXPECT_EQ(0.2f, a.GetFrameTime(1));
    EXPECT_EQ(0.2f, a.GetFrameTime(7));  // past the end: the last key's time
    AnimationKey::KeyValue out;
    // No ascending pair holds 0.3; the descending pair is not searched.
    EXPECT_FALSE(a.Sample(0.3f, false, out));
    EXPECT_TRUE(a.Sample(0.5f, false, out));
    EXPECT_EQ(1.0f, out.scale.x);
}

TEST(Animation, ClearEmptiesThroughRelease)
{
    struct Counting : Animation {
        int releases = 0;
        void Release() override
        {
            ++releases;
            Animation::Release();
        }
    } a;
    a.AddAnimationKey(ScaleKey(1), 3.0f);
    a.Clear();
    EXPECT_EQ(1, a.releases);
    EXPECT_EQ(0.0f, a.GetLength());
    EXPECT_EQ(0.0f, a.GetFrameTime(0));
    AnimationKey::KeyValue out;
    EXPECT_FALSE(a.Sample(0.0f, false, out));
}

TEST(AnimationKey, SettersSetFlagsAndResetKeepsThem)
{
    AnimationKey key;
    EXPECT_EQ(0u, static_cast<uint32_t>(key.GetType()));
    EXPECT_EQ(1.0f, key.GetRotation().w);
    key.SetScale(D3DXVECTOR3{2, 3, 4});
    key.SetRotation(D3DXQUATERNION{0, 0, 1, 0});
    key.SetTranslation(D3DXVECTOR3{1, 1, 1});
    key.SetOpacity(0.5f);
    key.SetDiffuseColor(D3DXVECTOR3{1, 1, 1});
    key.SetAnimationFrame(4);
    key.SetVertexData({1, 2, 3});
    EXPECT_EQ(0x7Fu, static_cast<uint32_t>(key.GetType()));

    key.Reset();
    EXPECT_EQ(0x7Fu, static_cast<uint32_t>(key.GetType()));
    EXPECT_EQ(0.0f, key.GetScale().x);  // reset scale is 0, not 1
    EXPECT_EQ(0.0f, key.GetScale().y);
    EXPECT_EQ(0.0f, key.GetRotation().z);
    EXPECT_EQ(1.0f, key.GetRotation().w);
    EXPECT_EQ(0.0f, key.GetOpacity());
    EXPECT_EQ(0, key.GetAnimationFrame());
    EXPECT_EQ(3u, key.GetVertexData().size());  // vertex data survives a reset
}

TEST(AnimationKey, OnlyEarlierKeysFlagsBlend)
{
    AnimationKey first;
    first.SetScale(D3DXVECTOR3{1, 1, 1});
    AnimationKey second;
    second.SetOpacity(1.0f);
    AnimationKey::KeyValue out;
    out.opacity = 0.75f;
    first.Interpolate(second, 0.5f, out);
    EXPECT_EQ(0.5f, out.scale.x);  // towards the later key's unset (zero) scale
    EXPECT_EQ(0.75f, out.opacity); // the later key's opacity is not written
}

TEST(AnimationKey, FractionIsClamped)
{
    AnimationKey a;
    a.SetTranslation(D3DXVECTOR3{0, 0, 0});
    AnimationKey b;
    b.SetTranslation(D3DXVECTOR3{4, 8, 0});
    for (auto [f, x] : {std::pair<float, float>{-1.0f, 0.0f}, {2.0f, 4.0f}, {0.25f, 1.0f}}) {
        AnimationKey::KeyValue out;
        a.Interpolate(b, f, out);
        EXPECT_EQ(x, out.translation.x) << f;
    }
}

TEST(AnimationKey, FrameSteps)
{
    AnimationKey a;
    a.SetAnimationFrame(2);
    AnimationKey b;
    b.SetAnimationFrame(5);
    for (float f : {0.0f, 0.5f, 0.999f}) {
        AnimationKey::KeyValue out;
        a.Interpolate(b, f, out);
        EXPECT_EQ(2, out.frame) << f;
    }
    AnimationKey::KeyValue out;
    a.Interpolate(b, 1.0f, out);
    EXPECT_EQ(5, out.frame);
}

TEST(AnimationKey, RotationBlends)
{
    const float pi = 3.14159265f;
    struct Case {
        const char* name;
        D3DXQUATERNION q0, q1;
        float f;
        D3DXQUATERNION expected;
    } cases[] = {
        // 90 degrees apart about z: halfway is 45 degrees, still unit length.
        {"slerp", {0, 0, 0, 1}, {0, 0, std::sin(pi / 4), std::cos(pi / 4)}, 0.5f,
         {0, 0, std::sin(pi / 8), std::cos(pi / 8)}},
        // Dot 0.9995: plain linear blend, not normalised.
        {"linear", {0, 0, 0, 1}, {0, 0, 0, 0.9995f}, 0.5f, {0, 0, 0, 0.99975f}},
        // Dot -0.5: blends towards the negated second rotation.
        {"negated", {0, 0, 0, 1}, {0, 0, std::sin(2 * pi / 3), -0.5f}, 1.0f,
         {0, 0, -std::sin(2 * pi / 3), 0.5f}},
    };
    for (const Case& c : cases) {
        AnimationKey a;
        a.SetRotation(c.q0);
        AnimationKey b;
        b.SetRotation(c.q1);
        AnimationKey::KeyValue out;
        a.Interpolate(b, c.f, out);
        EXPECT_NEAR(c.expected.x, out.rotation.x, 1e-5f) << c.name;
        EXPECT_NEAR(c.expected.y, out.rotation.y, 1e-5f) << c.name;
        EXPECT_NEAR(c.expected.z, out.rotation.z, 1e-5f) << c.name;
        EXPECT_NEAR(c.expected.w, out.rotation.w, 1e-5f) << c.name;
    }
}

TEST(AnimationKey, VertexDataFollowsEarlierKeysCount)
{
    AnimationKey a;
    a.SetVertexData({0, 10, 20});
    AnimationKey shorter;
    shorter.SetVertexData({4});
    AnimationKey longer;
    longer.SetVertexData({2, 12, 22, 99});
    AnimationKey::KeyValue out;
    a.Interpolate(shorter, 0.5f, out);
    EXPECT_EQ((std::vector<float>{2, 10, 20}), out.vertexData);  // missing values hold
    a.Interpolate(longer, 0.5f, out);
    EXPECT_EQ((std::vector<float>{1, 11, 21}), out.vertexData);
}
