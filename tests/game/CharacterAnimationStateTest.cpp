#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "game/Character/CharacterAnimationState.h"

using GameCore::CharacterAnimationState;
using testing::EndsWith;

namespace {

typedef CharacterAnimationState::CallbackType Callback;
typedef CharacterAnimationState::AnimationFrame Frame;

Frame FrameOn(int texture, float offsetX = 0, float offsetY = 0)
{
    Frame f;
    f.textureIndex = texture;
    f.offsetX = offsetX;
    f.offsetY = offsetY;
    return f;
}

// A state of `frames` frames (texture index = frame number) and `shadows` shadow frames,
// whose frame callbacks and end callbacks write into `log`.
struct Clip {
    Clip(int frames, int shadows)
    {
        for (int i = 0; i < frames; ++i)
            state.AddFrame(FrameOn(i));
        for (int i = 0; i < shadows; ++i)
            state.AddFrameShadow(FrameOn(100 + i));
    }
    void RecordFrames()
    {
        for (unsigned k = 0; k < state.GetNumFrames(); ++k)
            state.SetFrameCallback(k, Callback([this, k](void*) { log += std::to_string(k); }, nullptr));
        state += Callback([this](void*) { log += "E"; }, nullptr);
    }
    CharacterAnimationState state;
    std::string log;
};

struct Step {
    int frame;
    float position;
    std::string log;
};

}  // namespace

TEST(CharacterAnimationState, UpdatesShowTheFrameReachedBeforeTheStep)
{
    struct Case {
        const char* name;
        bool loop;
        float speed;
        std::vector<Step> steps;  // after each update of 0.1 s
        bool pausedAtEnd;
    } cases[] = {
        {"once", false, 1.0f, {{0, 3.0f, ""}, {3, 6.0f, "012"}, {3, 3.0f, "0123E"}, {3, 3.0f, "0123E"}}, true},
        {"loop", true, 1.0f, {{0, 3.0f, ""}, {3, 6.0f, "012"}, {2, 2.0f, "0123"}, {2, 5.0f, "0123"}}, false},
        {"twice as fast", false, 2.0f, {{0, 6.0f, ""}, {3, 3.0f, "0123E"}}, true},
        // A step of two and a half runs wraps into the frames, not past them.
        {"long stall", true, 25.0f, {{0, 75.0f, ""}, {3, 3.0f, "0123"}, {3, 78.0f, "0123"}}, false},
        // A negative speed stops at the first frame.
        {"backwards", false, -1.0f, {{0, 0.0f, ""}, {0, 0.0f, ""}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Clip clip(4, 1);
        clip.RecordFrames();
        clip.state.SetAnimationSpeed(c.speed);
        clip.state.Play(c.loop);
        for (size_t i = 0; i < c.steps.size(); ++i) {
            clip.state.Update(0.1f);
            EXPECT_EQ(c.steps[i].frame, clip.state.GetCurrentFrame()) << "step " << i;
            EXPECT_FLOAT_EQ(c.steps[i].position, clip.state.GetPosition()) << "step " << i;
            EXPECT_EQ(c.steps[i].log, clip.log) << "step " << i;
            EXPECT_LT(clip.state.GetCurrentFrame(), 4);
        }
        EXPECT_EQ(c.pausedAtEnd, clip.state.IsPaused());
    }
}

TEST(CharacterAnimationState, PlayStopPauseAndResume)
{
    Clip clip(4, 1);
    clip.state.Update(0.1f);
    EXPECT_EQ(0.0f, clip.state.GetPosition()) << "a new state is paused";
    clip.state.Play(false);
    clip.state.Update(0.1f);
    clip.state.Pause();
    clip.state.Update(0.1f);
    EXPECT_EQ(3.0f, clip.state.GetPosition());
    clip.state.Play(true);
    clip.state.Update(0.1f);
    EXPECT_EQ(3, clip.state.GetCurrentFrame()) << "play goes on from the paused position";
    clip.state.Stop();
    EXPECT_EQ(0, clip.state.GetCurrentFrame());
    EXPECT_EQ(0.0f, clip.state.GetPosition());
    EXPECT_TRUE(clip.state.IsPaused());
    clip.state.Resume();
    EXPECT_FALSE(clip.state.IsPaused());

    // A finished run played again shows its last frame once more and ends again.
    Clip ended(2, 1);
    ended.RecordFrames();
    ended.state.Play(false);
    for (int i = 0; i < 3; ++i)
        ended.state.Update(0.1f);
    EXPECT_EQ("01E", ended.log);
    ended.state.Play(false);
    ended.state.Update(0.1f);
    ended.state.Update(0.1f);
    EXPECT_EQ(1, ended.state.GetCurrentFrame());
    EXPECT_EQ("01E1E", ended.log);
}

TEST(CharacterAnimationState, FrameCallbacksBySteppedRange)
{
    // A frame past the count is taken modulo the count: 9 of 4 is frame 1.
    Clip ninth(4, 1);
    ninth.state.SetFrameCallback(9, Callback([&ninth](void*) { ninth.log += "9"; }, nullptr));
    EXPECT_TRUE(ninth.state.HasFrameCallback(1));
    ninth.state.Play(false);
    ninth.state.Update(0.1f);
    EXPECT_EQ("", ninth.log);
    ninth.state.Update(0.1f);
    EXPECT_EQ("9", ninth.log);

    // An empty function removes the frame's callback.
    Clip removed(4, 1);
    removed.state.SetFrameCallback(1, Callback([&removed](void*) { removed.log += "1"; }, nullptr));
    removed.state.SetFrameCallback(5, Callback());
    EXPECT_FALSE(removed.state.HasFrameCallback(1));
    removed.state.Play(false);
    for (int i = 0; i < 3; ++i)
        removed.state.Update(0.1f);
    EXPECT_EQ("", removed.log);

    // A step back from 3 to 1 wraps: it calls 3 and then 0, in ascending order.
    Clip wrap(4, 1);
    wrap.RecordFrames();
    wrap.state.Play(true);
    wrap.state.Update(0.1f);  // shows 0, position 3
    wrap.state.Update(0.0f);  // shows 3
    wrap.log.clear();
    wrap.state.SetAnimationSpeed(-2.0f / 3.0f);
    wrap.state.Update(0.1f);  // position 1
    wrap.state.Update(0.0f);  // shows 1
    EXPECT_EQ(1, wrap.state.GetCurrentFrame());
    EXPECT_EQ("03", wrap.log);

    // Without frames there is no frame to land on: nothing is kept.
    CharacterAnimationState none;
    none.SetFrameCallback(5, Callback([](void*) {}, nullptr));
    EXPECT_FALSE(none.HasFrameCallback(5));
    EXPECT_FALSE(none.HasFrameCallback(0));
}

TEST(CharacterAnimationState, FramesShadowsAndTheMoveShare)
{
    Clip clip(5, 2);
    clip.state.SetMoveOffset(40, -10);
    clip.state.Play(false);
    clip.state.SetAnimationSpeed(1.0f / 3.0f);
    const int shadows[] = {100, 101, 101, 101, 101};
    for (int frame = 0; frame < 5; ++frame) {
        clip.state.Update(0.1f);
        ASSERT_EQ(frame, clip.state.GetCurrentFrame());
        Frame f;
        Frame s;
        float mx = -1;
        float my = -1;
        ASSERT_TRUE(clip.state.GetCurrentAnimationFrame(f, s, mx, my));
        EXPECT_EQ(frame, f.textureIndex);
        EXPECT_EQ(shadows[frame], s.textureIndex);
        EXPECT_FLOAT_EQ(40.0f * frame / 5.0f, mx);
        EXPECT_FLOAT_EQ(-10.0f * frame / 5.0f, my);
        ASSERT_TRUE(clip.state.GetEndAnimationFrame(f, s, mx, my));
        EXPECT_EQ(40.0f, mx);
        EXPECT_EQ(-10.0f, my);
    }

    CharacterAnimationState noShadow;
    noShadow.AddFrame(FrameOn(0));
    Frame f;
    Frame s;
    float mx = 0;
    float my = 0;
    try {
        noShadow.GetCurrentAnimationFrame(f, s, mx, my);
        ADD_FAILURE() << "no failure";
    } catch (const std::runtime_error& e) {
        EXPECT_THAT(e.what(), EndsWith("Error: Error: CharacterAnimationState::GetCurrentAnimationFrame() - storage "
                                       "of shadow frames is empty."));
    }
    EXPECT_THROW(noShadow.GetEndAnimationFrame(f, s, mx, my), std::runtime_error);

    // A state without frames ends on its first update, outside its frames.
    Clip empty(0, 0);
    empty.RecordFrames();
    empty.state.Play(false);
    empty.state.Update(0.1f);
    EXPECT_EQ(-1, empty.state.GetCurrentFrame());
    EXPECT_EQ(-1.0f, empty.state.GetPosition());
    EXPECT_EQ("E", empty.log);
    EXPECT_FALSE(empty.state.GetCurrentAnimationFrame(f, s, mx, my));
    EXPECT_FALSE(empty.state.GetEndAnimationFrame(f, s, mx, my));
}

TEST(CharacterAnimationState, EndCallbacksAreAddedAndRemovedOneAtATime)
{
    Clip clip(1, 1);
    int a = 0;
    int b = 0;
    struct Target {
        int* count;
        void operator()(void*) const { ++*count; }
    };
    int user = 0;
    const Callback first(Target{&a}, &user);
    clip.state += first;
    clip.state += first;
    clip.state += Callback(Target{&b}, nullptr);
    // Same user and same kind of callable: the bound counter is not compared.
    clip.state -= Callback(Target{&b}, &user);
    // Another kind of callable with the same user matches nothing.
    clip.state -= Callback([](void*) {}, &user);
    clip.state.Play(false);
    clip.state.Update(0.1f);
    clip.state.Update(0.1f);
    EXPECT_EQ(1, a);
    EXPECT_EQ(1, b);
}
