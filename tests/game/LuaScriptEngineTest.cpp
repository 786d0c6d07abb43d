#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/game/ScriptEngineFixture.h"
#include "engine/System/EngineError.h"
#include "game/ScriptEngine/LuaScriptEngine/LuaStateContext.h"

using GameLuaScriptImpl::LuaHelper;
using GameLuaScriptImpl::LuaScriptEngine;
using TestScripts::A;
using TestScripts::CodedError;
using TestScripts::Fail;
using TestScripts::GlobalNumber;
using TestScripts::ScopeProbe;
using testing::HasSubstr;

namespace {

const char* const kSource = "ScriptEngine\\LuaScriptEngine\\LuaScriptEngine.cpp";

class LuaScriptEngineTest : public TestScripts::ScriptEngineFixture {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(ScriptEngineFixture::SetUp());
        LuaHelper<Fail>::Register(L);
        A::constructed = A::destroyed = 0;
        ScopeProbe::destroyed = 0;
    }
};

TEST_F(LuaScriptEngineTest, RunsTextAndKeepsTheStackFlat)
{
    EXPECT_TRUE(engine.RunString("", 0));
    EXPECT_TRUE(engine.RunString("x = 1 + 2", 0));
    EXPECT_EQ(3, GlobalNumber(L, "x"));
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(engine.RunString("return 1, 2, A()", 0));
    EXPECT_EQ(0, lua_gettop(L));
    // The returned objects were not kept alive by the stack.
    EXPECT_EQ(3, A::destroyed);
}

TEST_F(LuaScriptEngineTest, TheStateHasNoStandardLibrary)
{
    const char* names[] = {"print", "error", "string", "table", "math", "io", "os", "require"};
    for (const char* name : names) {
        lua_getglobal(L, name);
        EXPECT_TRUE(lua_isnil(L, -1)) << name;
        lua_pop(L, 1);
    }
}

TEST_F(LuaScriptEngineTest, FailureMessageIsComposedExactly)
{
    const std::string longText = "Fail():String() --" + std::string(300 - 19 - 1, 'x') + "Z";
    const std::string text255 = "Fail():String() --" + std::string(255 - 18, 'y');
    struct Case {
        std::string script;
        std::string message;
    };
    const Case cases[] = {
        {"Fail():String()", "boom\n\nScriptString: Fail():String()\n"},
        {"Fail():Number()", "42\n\nScriptString: Fail():Number()\n"},
        {"Fail():Table()",
         "bad argument #-1 (string expected, got table)\n\nScriptString: Fail():Table()\n"},
        {"Fail():Boolean()",
         "bad argument #-1 (string expected, got boolean)\n\nScriptString: Fail():Boolean()\n"},
        {"Fail():Nil()", "bad argument #-1 (string expected, got nil)\n\nScriptString: Fail():Nil()\n"},
        {text255, "boom\n\nScriptString: " + text255 + "\n"},
        {longText, "boom\n\nScriptString: " + longText.substr(0, 254) + "Z\n"},
        {"x = ", "[string \"x = \"]:1: unexpected symbol near '<eof>'\n\nScriptString: x = \n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        testing::internal::CaptureStderr();
        const std::string failure = FailureOf(c.script.c_str());
        const std::string stderrText = testing::internal::GetCapturedStderr();
        EXPECT_EQ(EngineCore::MakeEngineErrorText(kSource, 209, c.message), failure);
        // A value that is no string cannot be read unprotected: it is reported as a panic.
        if (c.message.rfind("bad argument #-1", 0) == 0)
            EXPECT_EQ("PANIC: unprotected error in call to Lua API (" +
                          c.message.substr(0, c.message.find('\n')) + ")\n",
                      stderrText);
        else
            EXPECT_EQ("", stderrText);
        EXPECT_EQ(0, lua_gettop(L));
    }
    // The state still works after failures.
    EXPECT_TRUE(engine.RunString("x = 5", 0));
    EXPECT_EQ(5, GlobalNumber(L, "x"));
}

TEST_F(LuaScriptEngineTest, NestedFailureIsReportedByTheInnerRun)
{
    testing::internal::CaptureStderr();
    const std::string failure = FailureOf("A():Run('Fail():Table()')");
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(EngineCore::MakeEngineErrorText(
                  kSource, 209,
                  "bad argument #-1 (string expected, got table)\n\nScriptString: Fail():Table()\n"),
              failure);
}

TEST_F(LuaScriptEngineTest, MethodExceptionsReachTheCallerUnchanged)
{
    const char* scripts[] = {
        "A():Throw('broken')",
        "A():Run('A():Throw(\"broken\")')",
        "A():Run('A():Run(\"A():Throw(\\'broken\\')\")')",
        "Fail('broken')",
        "A():Run('Fail(\"broken\")')",
    };
    for (const char* script : scripts) {
        SCOPED_TRACE(script);
        bool caught = false;
        try {
            engine.RunString(script, 0);
        } catch (const CodedError& e) {
            caught = true;
            EXPECT_STREQ("broken", e.what());
            EXPECT_TRUE(e.code == 7 || e.code == 3);
        }
        EXPECT_TRUE(caught);
        EXPECT_EQ(0, lua_gettop(L));
    }
    // Unwinding ran the destructors of the throwing methods' locals.
    EXPECT_EQ(3, ScopeProbe::destroyed);
    EXPECT_TRUE(engine.RunString("x = 6", 0));
    EXPECT_EQ(6, GlobalNumber(L, "x"));
    EXPECT_TRUE(engine.Close());
    EXPECT_EQ(A::constructed, A::destroyed);
}

// The object is gone from the stack when the method reads its arguments; its argument
// errors still count from the method's first argument, with the script's position in front.
TEST_F(LuaScriptEngineTest, ArgumentErrorsInsideMethodsNameTheMethodsOwnArgument)
{
    EXPECT_THAT(FailureOf("A():Set('x')"),
                HasSubstr("]:1: bad argument #1 to 'Set' (number expected, got string)\n\n"));
    EXPECT_EQ(1, ScopeProbe::destroyed);
    EXPECT_THAT(FailureOf("A():Run('A():Set()')"),
                HasSubstr("bad argument #1 to 'Set' (number expected, got no value)\n\n"
                          "ScriptString: A():Set()\n"));
    EXPECT_EQ(2, ScopeProbe::destroyed);
    EXPECT_TRUE(engine.Close());
    EXPECT_EQ(A::constructed, A::destroyed);
}

TEST_F(LuaScriptEngineTest, UnprotectedErrorsPanicInsteadOfEndingTheProcess)
{
    testing::internal::CaptureStderr();
    std::string failure;
    try {
        lua_pushstring(L, "outside");
        lua_error(L);
    } catch (const std::runtime_error& e) {
        failure = e.what();
    }
    EXPECT_EQ("PANIC: unprotected error in call to Lua API (outside)\n",
              testing::internal::GetCapturedStderr());
    EXPECT_EQ(EngineCore::MakeEngineErrorText(kSource, 209, "outside"), failure);
    lua_settop(L, 0);
    EXPECT_TRUE(engine.RunString("x = 7", 0));
    EXPECT_EQ(7, GlobalNumber(L, "x"));
}

TEST_F(LuaScriptEngineTest, PrecompiledChunkFailureShowsItsSignature)
{
    // A byte block that starts like a chunk but is cut short.
    const char chunk[] = "\x1bLuaQ\0\x01\x04";
    const std::string failure = [&] {
        try {
            engine.RunString(chunk, sizeof chunk - 1);
        } catch (const std::runtime_error& e) {
            return std::string(e.what());
        }
        return std::string();
    }();
    EXPECT_THAT(failure, HasSubstr("Binary"));
    EXPECT_THAT(failure, HasSubstr("\n\nScriptString: \x1bLuaQ\n"));
}

TEST_F(LuaScriptEngineTest, ChunkFailureShowsNoByteBeyondTheChunk)
{
    // A chunk handed over with its length has no terminator of its own: the piece of it
    // in the failure text stops at its end, also when no NUL byte comes before.
    const std::string withTail = std::string("\x1bLuaQ") + "tail beyond the chunk";
    const std::vector<char> exact = {'\x1b', 'L', 'u', 'a', 'Q'};
    for (const char* chunk : {withTail.c_str(), exact.data()}) {
        std::string failure;
        try {
            engine.RunString(chunk, 5);
        } catch (const std::runtime_error& e) {
            failure = e.what();
        }
        EXPECT_THAT(failure, HasSubstr("\n\nScriptString: \x1bLuaQ\n"));
        EXPECT_THAT(failure, testing::Not(HasSubstr("tail")));
    }
}

// The bytes of a compiled text, as lua_dump writes them.
std::string DumpChunk(lua_State* L, const std::string& text, const char* name)
{
    std::string chunk;
    if (luaL_loadbuffer(L, text.data(), text.size(), name) != 0)
        return chunk;
    lua_dump(
        L,
        [](lua_State*, const void* p, size_t size, void* out) {
            static_cast<std::string*>(out)->append(static_cast<const char*>(p), size);
            return 0;
        },
        &chunk);
    lua_pop(L, 1);
    return chunk;
}

TEST_F(LuaScriptEngineTest, DamagedChunkCountsFailWithoutReservingTheirSize)
{
    // Header (12 bytes; int 4 and size_t 8 bytes), then the main function: source name
    // "=x" (size_t 3 and "=x\0"), two line numbers, four bytes, the instruction count.
    const std::string good = DumpChunk(L, "v = 5", "=x");
    ASSERT_GT(good.size(), 39u);
    ASSERT_EQ(4, good[7]);
    ASSERT_EQ(8, good[8]);
    ASSERT_EQ(3, good[12]);
    const size_t sourceSizeAt = 12;
    const size_t codeCountAt = 12 + 8 + 3 + 4 + 4 + 4;

    // An untouched chunk still loads and runs.
    ASSERT_TRUE(engine.RunString(good.data(), static_cast<uint32_t>(good.size())));
    EXPECT_EQ(5, GlobalNumber(L, "v"));

    struct {
        const char* what;
        size_t at;
        std::string value;
    } cases[] = {
        {"instruction count 2^30", codeCountAt, std::string("\0\0\0\x40", 4)},
        {"source name of 2^62 bytes", sourceSizeAt, std::string("\0\0\0\0\0\0\0\x40", 8)},
        {"source name of 2^64 - 1 bytes", sourceSizeAt, std::string(8, '\xff')},
    };
    for (const auto& c : cases) {
        std::string chunk = good;
        chunk.replace(c.at, c.value.size(), c.value);
        std::string failure;
        try {
            engine.RunString(chunk.data(), static_cast<uint32_t>(chunk.size()));
        } catch (const std::runtime_error& e) {
            failure = e.what();
        }
        // Without the bound the block is reserved and the read then runs off the end.
        EXPECT_THAT(failure, HasSubstr("not enough memory")) << c.what;
    }
    // The bound ends with the load, failed or not: scripts that run later are not bound.
    ASSERT_NE(nullptr, GameLuaScriptImpl::LuaStateContext::Get(L));
    EXPECT_EQ(0u, GameLuaScriptImpl::LuaStateContext::Get(L)->loadBlockLimit);
}

TEST(LuaScriptEngineLifecycle, OpenCloseAndOwner)
{
    LuaScriptEngine engine;
    EXPECT_FALSE(engine.Close());
    EXPECT_EQ(nullptr, engine.GetState());
    ASSERT_TRUE(engine.Open());
    lua_State* first = engine.GetState();
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(nullptr, LuaScriptEngine::GetOwner(first));
    int owner = 0;
    LuaScriptEngine::SetOwner(first, &owner);
    EXPECT_EQ(&owner, LuaScriptEngine::GetOwner(first));

    // Opening again replaces the state and deletes the objects of the old one.
    LuaHelper<A>::Register(first);
    A::destroyed = 0;
    ASSERT_TRUE(engine.RunString("a = A()", 0));
    ASSERT_TRUE(engine.Open());
    EXPECT_EQ(1, A::destroyed);
    EXPECT_EQ(nullptr, LuaScriptEngine::GetOwner(engine.GetState()));

    EXPECT_TRUE(engine.Close());
    EXPECT_FALSE(engine.Close());
}

}  // namespace
