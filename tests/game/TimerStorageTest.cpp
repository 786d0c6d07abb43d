#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "game/Logic/GameLogic.h"
#include "game/Logic/Timer.h"
#include "game/Logic/TimerStorage.h"

using namespace GameCore;

namespace {

struct Countdown {
    float setup;
    std::vector<float> steps;
    int firesAfterStep;  // 1-based, 0 = never
};

}  // namespace

TEST(Timer, FiresOnceOnTheStepItRunsOut)
{
    const Countdown cases[] = {
        {1.0f, {0.4f, 0.4f, 0.4f, 0.4f}, 3},
        {0.5f, {2.0f, 2.0f}, 1},
        {1.0f, {0.5f, 0.5f, 0.5f}, 2},  // lands exactly on 0
        {0.0f, {0.1f, 0.1f}, 0},
        {-1.0f, {0.1f}, 0},
    };
    for (const Countdown& c : cases) {
        TimerStorage storage;
        std::shared_ptr<Timer> timer = storage.CreateTimer();
        int fired = 0;
        int firedAt = 0;
        int step = 0;
        void* seen = nullptr;
        int user = 0;
        timer->SetupAction([&](void* u) { ++fired; firedAt = step; seen = u; }, &user);
        timer->SetupTime(c.setup);
        for (float dt : c.steps) {
            ++step;
            storage.Update(dt);
        }
        EXPECT_EQ(fired, c.firesAfterStep ? 1 : 0) << c.setup;
        EXPECT_EQ(firedAt, c.firesAfterStep) << c.setup;
        if (fired) {
            EXPECT_EQ(seen, &user);
        }
        EXPECT_TRUE(timer->IsStoped());
    }
}

TEST(Timer, PauseKeepsTimeAndStopEndsSilently)
{
    TimerStorage storage;
    std::shared_ptr<Timer> timer = storage.CreateTimer();
    int fired = 0;
    timer->SetupAction([&](void*) { ++fired; }, nullptr);
    timer->SetupTime(1.0f);
    timer->Pause();
    for (int i = 0; i < 10; ++i)
        storage.Update(0.5f);
    EXPECT_FALSE(timer->IsStoped());
    timer->Resume();
    storage.Update(0.6f);
    EXPECT_EQ(fired, 0);
    storage.Update(0.6f);
    EXPECT_EQ(fired, 1);

    timer->SetupTime(1.0f);
    timer->Stop();
    storage.Update(2.0f);
    EXPECT_EQ(fired, 1);
}

TEST(TimerStorage, FreedSlotsAreReusedAndActionsMayDropTimers)
{
    TimerStorage storage;
    std::vector<std::shared_ptr<Timer>> timers;
    for (int i = 0; i < 3; ++i)
        timers.push_back(storage.CreateTimer());

    // The first timer's action drops every timer, itself included, the way a script
    // that lets go of its timer objects does.
    int fired = 0;
    timers[0]->SetupAction([&](void*) { ++fired; timers.clear(); }, nullptr);
    timers[0]->SetupTime(0.1f);
    timers[2]->SetupAction([&](void*) { ++fired; }, nullptr);
    timers[2]->SetupTime(0.1f);
    storage.Update(1.0f);
    EXPECT_EQ(fired, 1);

    // Every slot is free again: a new timer takes slot 0, and further ones follow in order.
    std::shared_ptr<Timer> a = storage.CreateTimer();
    int aFired = 0;
    a->SetupAction([&](void*) { ++aFired; }, nullptr);
    a->SetupTime(0.1f);
    storage.Update(1.0f);
    EXPECT_EQ(aFired, 1);
}

TEST(TimerStorage, TimersCreatedByAnActionWaitForTheNextUpdate)
{
    TimerStorage storage;
    std::shared_ptr<Timer> first = storage.CreateTimer();
    std::shared_ptr<Timer> created;
    int createdFired = 0;
    first->SetupAction(
        [&](void*) {
            created = storage.CreateTimer();
            created->SetupAction([&](void*) { ++createdFired; }, nullptr);
            created->SetupTime(0.1f);
        },
        nullptr);
    first->SetupTime(0.1f);
    storage.Update(1.0f);
    EXPECT_EQ(createdFired, 0);
    storage.Update(1.0f);
    EXPECT_EQ(createdFired, 1);
}

TEST(TimerStorage, TimersOutlivingTheirStorageAreDetached)
{
    std::shared_ptr<Timer> survivor;
    {
        GameLogic logic;
        survivor = logic.GetTimerStorage().CreateTimer();
        survivor->SetupTime(1.0f);
    }
    // Destroying the timer must not touch the storage that is gone.
    survivor->Update(0.5f);
    EXPECT_FALSE(survivor->IsStoped());
    survivor.reset();
}

TEST(Timer, ACopyDoesNotFreeTheOriginalsSlot)
{
    TimerStorage storage;
    std::shared_ptr<Timer> original = storage.CreateTimer();
    int fired = 0;
    original->SetupAction([&](void*) { ++fired; }, nullptr);
    original->SetupTime(0.1f);
    { Timer copy(*original); }
    storage.Update(1.0f);
    EXPECT_EQ(fired, 1);
}
