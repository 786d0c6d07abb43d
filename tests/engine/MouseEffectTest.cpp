#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/GUI/GUISystem.h"
#include "engine/Input/ActionManager.h"
#include "engine/Input/InputEvent.h"
#include "engine/Input/MouseActionManager.h"
#include "tests/support/FakeInputDevices.h"

using namespace EngineCore;
using TestSupport::FakeMouse;

namespace {

// A mouse manager on a fake mouse, with a clock the test sets.
struct EffectRig {
    float now = 0.0f;
    std::shared_ptr<FakeMouse> mouse = std::make_shared<FakeMouse>();
    TestSupport::InputSystemMouse installed{mouse};
    MouseActionManager manager;

    EffectRig()
    {
        manager.SetClock([this] { return now; });
        manager.SetDevice(mouse);
    }
    void ClickAt(float t)
    {
        now = t;
        manager.AddClick();
    }
    // One update with one pointer move, at time t.
    void UpdateAt(float t)
    {
        now = t;
        mouse->Axis(MouseDevice::kAllAxis);
        manager.Update();
    }
};

}  // namespace

TEST(MouseEffect, ABurstOfClicksWithinTheSpanStartsAThrow)
{
    const struct {
        std::vector<float> clicks;
        bool throws;
    } cases[] = {
        {{0.0f, 0.4f, 0.9f}, true},
        {{0.0f, 0.4f, 1.0f}, true},  // a span equal to the limit counts
        {{0.0f, 0.6f, 1.2f}, false},
        {{0.0f, 0.6f, 1.2f, 1.5f}, true},  // the newest three span 0.9
        {{0.0f, 0.4f}, false},
        {{0.0f, 1.1f, 2.2f, 3.3f}, false},
    };
    for (const auto& c : cases) {
        EffectRig rig;
        rig.manager.StartMouseEffect(1.0f, 3, 1.0f);
        for (float t : c.clicks)
            rig.ClickAt(t);
        EXPECT_EQ(rig.manager.IsThrowRunning(), c.throws) << c.clicks.size() << " clicks, last " << c.clicks.back();
    }
}

TEST(MouseEffect, ClicksCountOnlyWhileArmed)
{
    EffectRig rig;
    rig.ClickAt(0.0f);
    rig.ClickAt(0.1f);
    rig.manager.StartMouseEffect(1.0f, 3, 1.0f);
    rig.ClickAt(0.2f);
    rig.ClickAt(0.3f);
    EXPECT_FALSE(rig.manager.IsThrowRunning());  // clicks before arming were not kept
    rig.manager.StopMouseEffect();
    rig.ClickAt(0.4f);
    EXPECT_FALSE(rig.manager.IsThrowRunning());
    // Arming again forgets the clicks of before.
    rig.manager.StartMouseEffect(1.0f, 3, 1.0f);
    rig.ClickAt(0.5f);
    rig.ClickAt(0.6f);
    EXPECT_FALSE(rig.manager.IsThrowRunning());
    rig.ClickAt(0.7f);
    EXPECT_TRUE(rig.manager.IsThrowRunning());
    // Disarming does not stop a running throw.
    rig.manager.StopMouseEffect();
    EXPECT_TRUE(rig.manager.IsThrowRunning());
}

TEST(MouseEffect, TheThrowRunsFromThePointerToItsTargetOverTheDuration)
{
    const struct {
        float x, y;
        float targetX, targetY;
    } cases[] = {{600, 100, 300, 450}, {100, 700, 450, 400}, {511, 383, 861, 733}, {512, 384, 212, 84}};
    for (const auto& c : cases) {
        EffectRig rig;
        rig.mouse->x = c.x;
        rig.mouse->y = c.y;
        rig.manager.StartMouseEffect(1.0f, 1, 2.0f);
        rig.UpdateAt(10.0f);  // the first update only starts the clock
        rig.ClickAt(10.0f);
        ASSERT_TRUE(rig.manager.IsThrowRunning());

        rig.UpdateAt(10.0f);  // t = 0: the start point
        ASSERT_EQ(rig.mouse->moves.size(), 1u);
        EXPECT_FLOAT_EQ(rig.mouse->moves.back().first, c.x);
        EXPECT_FLOAT_EQ(rig.mouse->moves.back().second, c.y);

        rig.UpdateAt(11.0f);  // half way: somewhere else
        EXPECT_TRUE(rig.manager.IsThrowRunning());
        rig.UpdateAt(13.0f);  // past the end: the target, and the throw is over
        EXPECT_FALSE(rig.manager.IsThrowRunning());
        EXPECT_NEAR(rig.mouse->moves.back().first, c.targetX, 1e-3) << c.x << "," << c.y;
        EXPECT_NEAR(rig.mouse->moves.back().second, c.targetY, 1e-3) << c.x << "," << c.y;
        const size_t moves = rig.mouse->moves.size();
        rig.UpdateAt(14.0f);
        EXPECT_EQ(rig.mouse->moves.size(), moves);
    }
}

TEST(MouseEffect, AThrowAdvancesOncePerUpdateWithEventsAndFiresNoAction)
{
    GUISystem::Instance().Enable();
    EffectRig rig;
    int ons = 0, offs = 0;
    ActionInfo info;
    info.on = [&](void*, const std::shared_ptr<InputEvent>&) { ++ons; };
    info.off = [&](void*, const std::shared_ptr<InputEvent>&) { ++offs; };
    rig.manager.RegisterKeyAction(MouseDevice::kLeftButton, info);
    rig.manager.RegisterAxisAction(MouseDevice::kAllAxis, info);

    rig.manager.StartMouseEffect(1.0f, 1, 4.0f);
    rig.UpdateAt(0.0f);
    ons = 0;
    // The button goes down and the burst (here one click) starts the throw.
    rig.mouse->Button(MouseDevice::kLeftButton, InputEvent::kStatePressed);
    rig.manager.Update();
    EXPECT_EQ(ons, 1);
    rig.ClickAt(0.0f);

    rig.now = 1.0f;
    rig.mouse->Button(MouseDevice::kLeftButton, InputEvent::kStatePressed);
    rig.mouse->Axis(MouseDevice::kAllAxis);
    rig.mouse->Axis(MouseDevice::kAllAxis);
    rig.manager.Update();
    EXPECT_EQ(rig.mouse->moves.size(), 1u);  // three events, one step
    EXPECT_EQ(ons, 1);
    // The release of the button that was down still turns it off.
    rig.mouse->Button(MouseDevice::kLeftButton, InputEvent::kStateReleased);
    rig.now = 2.0f;
    rig.manager.Update();
    EXPECT_EQ(offs, 1);
    EXPECT_FALSE(rig.manager.GetKeyActions().IsActionOn(MouseDevice::kLeftButton));

    // Updates without events lose their time: the throw still runs after 2 more seconds.
    rig.now = 3.9f;
    rig.manager.Update();
    rig.UpdateAt(3.95f);
    EXPECT_TRUE(rig.manager.IsThrowRunning());
}

// A throw whose duration is not positive ends at its target on its first step, instead
// of holding every mouse action back for ever.
TEST(MouseEffect, AThrowWithoutAPositiveDurationEndsAtOnce)
{
    for (float duration : {0.0f, -1.0f}) {
        EffectRig rig;
        rig.mouse->x = 600;
        rig.mouse->y = 100;
        rig.manager.StartMouseEffect(1.0f, 1, duration);
        rig.UpdateAt(0.0f);
        rig.ClickAt(0.0f);
        ASSERT_TRUE(rig.manager.IsThrowRunning());
        rig.UpdateAt(0.5f);
        EXPECT_FALSE(rig.manager.IsThrowRunning()) << duration;
        ASSERT_FALSE(rig.mouse->moves.empty());
        EXPECT_NEAR(rig.mouse->moves.back().first, 300.0f, 1e-3) << duration;
        EXPECT_NEAR(rig.mouse->moves.back().second, 450.0f, 1e-3) << duration;
    }
}
