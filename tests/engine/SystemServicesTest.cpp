#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

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

// The logger is process-wide and keeps lines only until its first writer, so each case
// runs in a process of its own, started afresh.
class SystemLoggerTest : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }

    // Ends the child: status 0 when `seen` is `expected`, else 1 with both on stderr.
    static void ExitWith(const std::vector<std::string>& seen, const std::vector<std::string>& expected)
    {
        if (seen == expected)
            std::exit(0);
        for (const std::string& line : seen)
            std::fprintf(stderr, "seen: %s\n", line.c_str());
        for (const std::string& line : expected)
            std::fprintf(stderr, "expected: %s\n", line.c_str());
        std::exit(1);
    }
};

// The first writer gets what was logged before it, once and in order, then every line as
// it comes (the same pointer: log text is handed on, never read as anything). Once a writer
// has been installed, lines logged while none is are not kept.
TEST_F(SystemLoggerTest, LinesBeforeTheFirstWriterReachItOnceInOrder)
{
    EXPECT_EXIT(
        {
            SystemLogger& logger = SystemLogger::Instance();
            logger.Log("first");
            logger.Log("second");
            std::vector<std::string> seen;
            const char* last = nullptr;
            logger.SetLogger([&](const char* text) {
                seen.emplace_back(text);
                last = text;
            });
            const char* line = "100% done";
            logger.Log(line);
            if (last != line)
                seen.emplace_back("(another pointer)");
            logger.SetLogger(nullptr);
            logger.Log("nobody hears this");
            if (!logger.TakeKeptLines().empty())
                seen.emplace_back("(kept after the first writer)");
            logger.SetLogger([&](const char* text) { seen.emplace_back(text); });
            logger.Log("third");
            logger.SetLogger(nullptr);
            ExitWith(seen, {"first", "second", "100% done", "third"});
        },
        ::testing::ExitedWithCode(0), "");
}

// A start-up that logs more than is kept keeps the latest lines, after one that counts the
// dropped ones; a run that ends before any writer takes them, and keeps nothing after that.
TEST_F(SystemLoggerTest, KeptLinesAreBoundedAndTakenOnce)
{
    EXPECT_EXIT(
        {
            SystemLogger& logger = SystemLogger::Instance();
            const size_t extra = 10;
            for (size_t i = 0; i < SystemLogger::kMaxKeptLines + extra; ++i)
                logger.Log(("line " + std::to_string(i)).c_str());
            std::vector<std::string> seen = logger.TakeKeptLines();
            std::vector<std::string> expected{"10 earlier lines, logged before the log was open, were dropped."};
            for (size_t i = extra; i < SystemLogger::kMaxKeptLines + extra; ++i)
                expected.push_back("line " + std::to_string(i));
            logger.Log("after");
            for (const std::string& late : logger.TakeKeptLines())
                seen.push_back("(taken again) " + late);
            logger.SetLogger([&](const char* text) { seen.push_back(std::string("(written) ") + text); });
            ExitWith(seen, expected);
        },
        ::testing::ExitedWithCode(0), "");
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
