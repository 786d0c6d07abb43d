#include <cstdio>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/game/ScriptEngineFixture.h"

using GameLuaScriptImpl::LuaHelper;
using TestScripts::A;
using TestScripts::B;
using TestScripts::GlobalNumber;
using testing::HasSubstr;

namespace {

class LuaHelperTest : public TestScripts::ScriptEngineFixture {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(ScriptEngineFixture::SetUp());
        LuaHelper<B>::Register(L);
        A::constructed = A::destroyed = 0;
    }
};

TEST_F(LuaHelperTest, RegisterLeavesTheStackAsItFoundIt)
{
    lua_pushnumber(L, 1);
    LuaHelper<A>::Register(L);  // a second registration refills the same metatable
    EXPECT_EQ(1, lua_gettop(L));
    EXPECT_TRUE(engine.RunString("a = A(3) v = a:Get()", 0));
    EXPECT_EQ(3, GlobalNumber(L, "v"));
}

TEST_F(LuaHelperTest, ConstructorFormsPassTheSameArguments)
{
    struct Case {
        const char* script;
        int argCount;
        double firstArg;
    };
    const Case cases[] = {
        {"a = A(5, 6)", 2, 5},
        {"a = A:new(5, 6)", 2, 5},
        {"a = A.new(5, 6)", 1, 6},  // the dot form loses its first argument
        {"a = A()", 0, 0},
        // No argument to lose: like A(), and the stack stays whole.
        {"a = A.new()", 0, 0},
        {"a = A.new() b = A.new() a = b", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        ASSERT_TRUE(engine.RunString(c.script, 0));
        EXPECT_EQ(c.argCount, A::lastArgCount);
        EXPECT_EQ(c.firstArg, A::lastFirstArg);
        EXPECT_TRUE(engine.RunString("v = a:Get()", 0));
        EXPECT_EQ(c.firstArg, GlobalNumber(L, "v"));
    }
}

// A method called on anything but an object of its class fails as "bad self", with a colon
// or a dot: "bad argument #1" always means the method's own first argument.
TEST_F(LuaHelperTest, MethodsCheckTheirObjectAsTheirSelf)
{
    struct Case {
        const char* script;
        const char* message;
    };
    const Case cases[] = {
        {"a = A() a.Get()", "calling 'Get' on bad self (A expected, got no value)"},
        {"a = A() a.Get(5)", "calling 'Get' on bad self (A expected, got number)"},
        {"b = B() A.Get(b)", "calling 'Get' on bad self (A expected, got userdata)"},
        {"B.Get = A.Get b = B() b:Get()", "calling 'Get' on bad self (A expected, got userdata)"},
        {"a = A() A.Get(A)", "calling 'Get' on bad self (A expected, got table)"},
        {"a = A() a.Set(a)", "bad argument #1 to 'Set' (number expected, got no value)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        EXPECT_THAT(FailureOf(c.script), HasSubstr(c.message));
    }
}

TEST_F(LuaHelperTest, SameNamedMethodsStayWithTheirClass)
{
    ASSERT_TRUE(engine.RunString("a = A(2) b = B() va = a:Get() vb = b:Get()", 0));
    EXPECT_EQ(2, GlobalNumber(L, "va"));
    EXPECT_EQ(-1, GlobalNumber(L, "vb"));
}

TEST_F(LuaHelperTest, FunctionsAddedToTheClassTableReachEveryObject)
{
    ASSERT_TRUE(engine.RunString(
        "a = A(4) function A.Twice(self) return self:Get() * 2 end b = A(5) "
        "va = a:Twice() vb = b:Twice()",
        0));
    EXPECT_EQ(8, GlobalNumber(L, "va"));
    EXPECT_EQ(10, GlobalNumber(L, "vb"));
}

TEST_F(LuaHelperTest, ToStringNamesTheClassAndThePointer)
{
    ASSERT_TRUE(engine.RunString("a = A()", 0));
    lua_getglobal(L, "a");
    ASSERT_TRUE(luaL_callmeta(L, -1, "__tostring"));
    char pointer[32];
    std::snprintf(pointer, sizeof pointer, "%p", static_cast<void*>(A::last));
    EXPECT_EQ(std::string("A (") + pointer + ")", lua_tostring(L, -1));
    lua_settop(L, 0);
}

TEST_F(LuaHelperTest, PushReusesTheObjectsUserdata)
{
    ASSERT_TRUE(engine.RunString("a = A()", 0));
    const int index = LuaHelper<A>::Push(L, A::last);
    EXPECT_EQ(1, index);
    lua_getglobal(L, "a");
    EXPECT_TRUE(lua_rawequal(L, 1, 2));
    EXPECT_EQ(0, LuaHelper<A>::Push(L, nullptr));
    EXPECT_TRUE(lua_isnil(L, -1));
    lua_settop(L, 0);
}

TEST_F(LuaHelperTest, DroppedObjectsAreDeletedBeforeTheRunReturns)
{
    const char* scripts[] = {"a = A() a = nil", "A()", "A():Set(1)", "local a = A()"};
    for (const char* script : scripts) {
        SCOPED_TRACE(script);
        A::constructed = A::destroyed = 0;
        ASSERT_TRUE(engine.RunString(script, 0));
        EXPECT_EQ(1, A::constructed);
        EXPECT_EQ(1, A::destroyed);
    }
}

TEST_F(LuaHelperTest, ClosingTheStateDeletesEveryLiveObject)
{
    ASSERT_TRUE(engine.RunString("a = A() b = A() c = { A(), A() }", 0));
    EXPECT_EQ(0, A::destroyed);
    EXPECT_TRUE(engine.Close());
    EXPECT_EQ(4, A::destroyed);
}

// A temporary object whose method collects garbage (directly, or through a nested run that
// ends with a full collection) must outlive the method; AddressSanitizer reports the use
// of a freed object otherwise.
TEST_F(LuaHelperTest, AnObjectOutlivesItsOwnRunningMethod)
{
    const char* scripts[] = {
        "v = A(1):CollectAll()",
        "A(1):Run('x = 1')",
        "a = A(1) a:Run('a = nil') ",
        "a = A(1) a:Run('a:Run(\"a = nil\")')",
    };
    for (const char* script : scripts) {
        SCOPED_TRACE(script);
        A::constructed = A::destroyed = 0;
        ASSERT_TRUE(engine.RunString(script, 0));
        EXPECT_EQ(1, A::destroyed);
    }
    EXPECT_EQ(2, GlobalNumber(L, "v"));
}

}  // namespace

namespace {

// A state the engine did not open has no slot for exceptions: the binder still works
// there, and a method's exception becomes a Lua error carrying its text.
TEST(LuaHelperForeignState, ExceptionsBecomeLuaErrorsWithTheirText)
{
    lua_State* L = luaL_newstate();
    LuaHelper<A>::Register(L);
    A::constructed = A::destroyed = 0;
    ASSERT_EQ(0, luaL_loadstring(L, "a = A(2) A():Throw('broken')"));
    EXPECT_NE(0, lua_pcall(L, 0, 0, 0));
    EXPECT_STREQ("broken", lua_tostring(L, -1));
    lua_close(L);
    EXPECT_EQ(2, A::constructed);
    EXPECT_EQ(2, A::destroyed);
}

}  // namespace
