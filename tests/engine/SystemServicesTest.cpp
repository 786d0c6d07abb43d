#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "engine/System/EngineError.h"
#include "engine/System/Event.h"
#include "engine/System/Mutex.h"
#include "engine/System/MutexLocker.h"
#include "engine/System/ScriptEngine.h"
#include "engine/System/ScriptEngineHelper.h"
#include "engine/System/SystemLogger.h"
#include "engine/System/SystemTimer.h"
#include "engine/System/Thread.h"
#include "tests/support/ThreadState.h"

using namespace EngineCore;

TEST(EngineError, TextIsExact)
{
    struct Case {
        const char* source;
        int line;
        std::string message;
        const char* expected;
    } cases[] = {
        {"PathFinding\\AStarPathFinder.cpp", 178, "Internal error.",
         "File: \"PathFinding\\AStarPathFinder.cpp\"\nLine: 178\n\nError: Internal error."},
        {"Renderer\\RenderSystem.cpp", 265, FormatText("Resource (%s) data error.", "a%s.png"),
         "File: \"Renderer\\RenderSystem.cpp\"\nLine: 265\n\nError: Resource (a%s.png) data error."},
        {"", 0, "", "File: \"\"\nLine: 0\n\nError: "},
    };
    for (const Case& c : cases) {
        try {
            ThrowEngineError(c.source, c.line, c.message);
            FAIL() << "no throw";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(c.expected, e.what());
        }
    }
    try {
        ThrowEngineErrorF("GUI\\Button.cpp", 56, "Value %d of (%s).", 7, "x");
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ("File: \"GUI\\Button.cpp\"\nLine: 56\n\nError: Value 7 of (x).", e.what());
    }
}

TEST(Thread, NeverStartedIsBusyAndWaitFails)
{
    Thread t;
    EXPECT_TRUE(t.IsBusy());
    EXPECT_FALSE(t.Wait());
    t.CloseThread();
}

TEST(Thread, RunsFunctionWithDataAndWaits)
{
    Thread t;
    std::atomic<int> value{0};
    t.Start([](void* p) { static_cast<std::atomic<int>*>(p)->store(42); }, &value);
    EXPECT_TRUE(t.Wait());
    EXPECT_EQ(42, value.load());
    EXPECT_FALSE(t.IsBusy());
    EXPECT_TRUE(t.Wait());
}

TEST(Thread, EmptyFunctionEndsAndStartTwiceJoinsFirst)
{
    Thread t;
    t.Start(nullptr, nullptr);
    EXPECT_TRUE(t.Wait());
    std::atomic<int> runs{0};
    auto slow = [](void* p) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ++*static_cast<std::atomic<int>*>(p);
    };
    t.Start(slow, &runs);
    t.Start(slow, &runs);  // the first run finishes before the second starts
    EXPECT_TRUE(t.Wait());
    EXPECT_EQ(2, runs.load());
}

TEST(Mutex, RecursiveOnOneThreadExclusiveAcrossThreads)
{
    Mutex m;
    std::atomic<bool> otherGotIt{false};
    std::atomic<pid_t> locking{0};
    std::thread other;
    {
        MutexLocker a(m);
        MutexLocker b(m);
        other = std::thread([&] {
            locking = TestSupport::KernelThreadId();
            MutexLocker c(m);
            otherGotIt = true;
        });
        EXPECT_TRUE(TestSupport::AwaitAsleep(locking)) << "the other thread never waited for the lock";
        EXPECT_FALSE(otherGotIt.load());
    }
    other.join();  // leaving both scopes let the other thread in
    EXPECT_TRUE(otherGotIt.load());
}

TEST(Event, AutoReset)
{
    Event e;
    EXPECT_FALSE(e.Wait(0));
    e.Signal();
    EXPECT_TRUE(e.Wait(0));
    EXPECT_FALSE(e.Wait(0));
    e.Signal();
    e.Reset();
    EXPECT_FALSE(e.Wait(10));
}

TEST(SystemLogger, SilentUntilInstalledThenPassesSamePointer)
{
    SystemLogger::Instance().SetLogger(nullptr);
    SystemLogger::Instance().Log("nobody hears this");
    const char* seen = nullptr;
    SystemLogger::Instance().SetLogger([&](const char* text) { seen = text; });
    const char* line = "100% done";
    SystemLogger::Instance().Log(line);
    EXPECT_EQ(line, seen);
    SystemLogger::Instance().SetLogger(nullptr);
}

TEST(SystemTimer, MonotonicAndFine)
{
    const float a = SystemTimer::Instance().GetTime();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    const float b = SystemTimer::Instance().GetTime();
    EXPECT_GE(a, 0.0f);
    EXPECT_GT(b - a, 0.0015f);
    EXPECT_LT(b - a, 1.0f);
}

TEST(ScriptEngine, BaseSucceedsAndHelperStartsEmpty)
{
    EXPECT_FALSE(ScriptEngineHelper::Instance().GetCurrentScriptEngine());
    auto engine = std::make_shared<ScriptEngine>();
    EXPECT_TRUE(engine->Open());
    EXPECT_TRUE(engine->RunFile("x.lua"));
    EXPECT_TRUE(engine->RunString("x", 0));
    EXPECT_TRUE(engine->Close());
    ScriptEngineHelper::Instance().SetCurrentScriptEngine(engine);
    EXPECT_EQ(engine, ScriptEngineHelper::Instance().GetCurrentScriptEngine());
    ScriptEngineHelper::Instance().SetCurrentScriptEngine(nullptr);
}
