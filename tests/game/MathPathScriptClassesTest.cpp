#include <climits>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <lua.hpp>

#include "engine/PathFinding/PathFindManager.h"
#include "engine/PathFinding/PathFindManagerTask.h"
#include "engine/PathFinding/PathFindingSystem.h"
#include "tests/support/ScriptClassFixture.h"

using testing::EndsWith;
using testing::StartsWith;

namespace {

// A game state's interpreter with every built class, driven through real scripts.
class MathPathScriptClassesTest : public TestSupport::ScriptClassFixture<> {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(OpenScripts());
        Run("math = MathSystem() math:ClearSortNodes()");
    }
    void TearDown() override
    {
        Run("math:ClearSortNodes()");
        engine.Close();
    }
};

}  // namespace

// Argument errors number a method's arguments from its first one, as the reference does,
// whether the method is called with a colon or a dot; only a call on something that is not
// an object of the class is "bad self".
TEST_F(MathPathScriptClassesTest, ArgumentErrorsCountFromTheMethodsFirstArgument)
{
    struct Case {
        const char* script;
        const char* message;
    };
    const Case cases[] = {
        {"math:Mod('x', 3)", "]:1: bad argument #1 to 'Mod' (number expected, got string)"},
        {"math:Mod(7, {})", "]:1: bad argument #2 to 'Mod' (number expected, got table)"},
        {"math:Mod(7)", "]:1: bad argument #2 to 'Mod' (number expected, got no value)"},
        {"math.Mod(math, 7)", "]:1: bad argument #2 to 'Mod' (number expected, got no value)"},
        // Called under another name, the method still names itself.
        {"local f = math.Mod; f(math, 'x')", "]:1: bad argument #1 to 'Mod' (number expected, got string)"},
        {"local t = {rest = math.Mod}; t.rest(math, 7, 'x')", "]:1: bad argument #2 to 'Mod' (number expected, got string)"},
        {"StringUtility():StrStartsWith(1, nil)", "bad argument #2 to 'StrStartsWith' (string expected, got nil)"},
        {"StringUtility():StrLen()", "bad argument #1 to 'StrLen' (string expected, got no value)"},
        {"PathFinder():AddEdge(1, 2)", "bad argument #3 to 'AddEdge' (number expected, got no value)"},
        {"PropertySystem():GetType(PropertySystem)", "bad argument #1 to 'GetType' (string expected, got table)"},
        {"math:Sqrt(function() end)", "bad argument #1 to 'Sqrt' (number expected, got function)"},
        {"math.Mod(7, 3)", "]:1: calling 'Mod' on bad self (MathSystem expected, got number)"},
        {"math.Mod()", "calling 'Mod' on bad self (MathSystem expected, got no value)"},
        {"StringUtility.Root = MathSystem.Sqrt StringUtility():Root(4)",
         "calling 'Sqrt' on bad self (MathSystem expected, got userdata)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        const std::string failure = FailureOf(c.script);
        EXPECT_THAT(failure, testing::HasSubstr(c.message));
        EXPECT_THAT(failure, testing::Not(testing::HasSubstr("#0")));
    }
}

TEST_F(MathPathScriptClassesTest, ArithmeticFollowsSinglePrecisionAndTruncation)
{
    struct Case {
        const char* expression;
        double expected;
    };
    const Case cases[] = {
        {"math:Mod(-7, 3)", -1},
        {"math:Div(-7, 3)", -2},
        {"math:Mod(7.9, 3)", 1},
        {"math:Div(7.9, -3.9)", -2},
        {"math:Mod(7, -3)", 1},
        {"math:Div(2147483647, -1)", -2147483647},
        {"math:Div(-2147483648, 1)", -2147483648.0},
        {"math:Min(2, -3.5)", -3.5},
        {"math:Max(2, -3.5)", 2},
        {"math:Min(1, 1.00000001)", 1},
        {"math:Max(1.00000001, 1)", 1},
        {"math:Max(0.1, 0)", static_cast<double>(0.1f)},
        {"math:Sqrt(6.25)", 2.5},
        {"math:Sin(90)", 1},
        {"math:Sin(30)", static_cast<double>(std::sin(30 * 0.017453292f))},
        {"math:Cos(180)", -1},
        {"math:Cos(60)", static_cast<double>(std::cos(60 * 0.017453292f))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expression);
        EXPECT_NEAR(c.expected, Eval(c.expression), 1e-6);
    }
    EXPECT_TRUE(std::isnan(Eval("math:Sqrt(-1)")));
}

// Integer division that the processor traps (and that would end the process) is a
// script error naming the method.
TEST_F(MathPathScriptClassesTest, DivisionThatTrapsIsAScriptError)
{
    struct Case {
        const char* script;
        const char* message;
    };
    const Case cases[] = {
        {"math:Mod(5, 0)", "Error: [MathSystemWrapper::Mod] Division by zero."},
        {"math:Div(5, 0.5)", "Error: [MathSystemWrapper::Div] Division by zero."},
        {"math:Mod(-2147483648, -1)", "Error: [MathSystemWrapper::Mod] Integer overflow."},
        {"math:Div(-2147483648, -1)", "Error: [MathSystemWrapper::Div] Integer overflow."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        const std::string error = FailureOf(c.script);
        EXPECT_THAT(error, StartsWith("File: \"Wrappers\\MathSystemWrapper.cpp\""));
        EXPECT_THAT(error, EndsWith(c.message));
    }
    EXPECT_NE("(no failure)", FailureOf("math:Mod('x', 1)"));
}

TEST_F(MathPathScriptClassesTest, RandomStaysInItsRange)
{
    struct Case {
        const char* a;
        const char* b;
        double low;
        double high;  // inclusive
    };
    const Case cases[] = {
        {"5", "5", 5, 5},
        {"0", "10", 0, 9},
        {"-3", "2", -3, 1},
        {"0", "1", 0, 0},
        // Kept as scripts know it: b below a gives a up to a + (a - b) - 1.
        {"10", "0", 10, 19},
        // The widest spans do not overflow.
        {"-2147483648", "2147483647", -2147483648.0, 2147483646.0},
        {"2147483647", "-2147483648", 2147483647.0, 2147483647.0 + 4294967295.0 - 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a) + ", " + c.b);
        Run(std::string("low, high = math:Random(") + c.a + ", " + c.b + "), nil "
            "for i = 1, 400 do local v = math:Random(" + c.a + ", " + c.b + ") "
            "if v < low then low = v end if high == nil or v > high then high = v end end");
        const double low = Eval("low");
        const double high = Eval("high");
        EXPECT_GE(low, c.low);
        EXPECT_LE(high, c.high);
        EXPECT_EQ(std::trunc(low), low);
    }
    // 400 draws from 0..9 reach both ends.
    Run("seen0, seen9 = 0, 0 for i = 1, 400 do local v = math:Random(0, 10) "
        "if v == 0 then seen0 = 1 end if v == 9 then seen9 = 1 end end");
    EXPECT_EQ(1, Eval("seen0"));
    EXPECT_EQ(1, Eval("seen9"));
}

TEST_F(MathPathScriptClassesTest, CatmullRomGivesBothResults)
{
    Run("x0, y0 = math:InterpolateCatmullRom(0, 0, 10, 20, 30, 40, 50, 70, 0)");
    Run("x1, y1 = math:InterpolateCatmullRom(0, 0, 10, 20, 30, 40, 50, 70, 1)");
    Run("xh, yh = math:InterpolateCatmullRom(0, 0, 10, 0, 20, 0, 30, 0, 0.5)");
    EXPECT_EQ(10, Eval("x0"));
    EXPECT_EQ(20, Eval("y0"));
    EXPECT_EQ(30, Eval("x1"));
    EXPECT_EQ(40, Eval("y1"));
    EXPECT_NEAR(15, Eval("xh"), 1e-5);
    EXPECT_EQ(0, Eval("yh"));
    EXPECT_NE("(no failure)", FailureOf("math:InterpolateCatmullRom(0, 0, 10, 20, 30, 40, 50, 70)"));
}

TEST_F(MathPathScriptClassesTest, SortNodesOrdersIdsByDescendingKeyAcrossObjects)
{
    Run("math:AddSortNode(7, 1.5) math:AddSortNode(3, 2.5)");
    EXPECT_EQ(7, Eval("math:GetSortedId(0)")) << "insertion order before sorting";
    // Another object, even of another state, shares the list.
    Run("MathSystem():SortNodes()");
    EXPECT_EQ(3, Eval("math:GetSortedId(0)"));
    EXPECT_EQ(7, Eval("math:GetSortedId(1)"));

    // NaN keys go last and never upset the sort.
    Run("math:ClearSortNodes() local nan = math:Sqrt(-1) "
        "for i = 1, 40 do math:AddSortNode(i, math:Mod(i * 7, 11)) math:AddSortNode(100 + i, nan) end "
        "math:SortNodes()");
    Run("ok = 1 for i = 1, 39 do "
        "  local a, b = math:GetSortedId(i - 1), math:GetSortedId(i) "
        "  if math:Mod(a * 7, 11) < math:Mod(b * 7, 11) then ok = 0 end end "
        "for i = 40, 79 do if math:GetSortedId(i) <= 100 then ok = 0 end end");
    EXPECT_EQ(1, Eval("ok"));

    for (const char* index : {"80", "-1", "2147483647"}) {
        SCOPED_TRACE(index);
        EXPECT_THAT(FailureOf(std::string("math:GetSortedId(") + index + ")"), EndsWith("Error: Internal error."));
    }
    Run("math:ClearSortNodes()");
    EXPECT_THAT(FailureOf("math:GetSortedId(0)"), EndsWith("Error: Internal error."));
}

TEST_F(MathPathScriptClassesTest, PathFinderFindsTheCheapestPathBothWays)
{
    struct Case {
        const char* name;
        const char* graph;  // builds finder `p`
        int start;
        int goal;
        const char* path;  // ids joined by spaces; "" for none
    };
    const Case cases[] = {
        {"self", "p:AddNode() p:AddNode()", 1, 1, "1"},
        {"unconnected", "p:AddNode() p:AddNode() p:AddNode()", 0, 2, ""},
        {"both directions", "for i = 0, 2 do p:AddNode() end p:AddEdge(0, 1, 1) p:AddEdge(1, 2, 1)", 2, 0,
         "2 1 0"},
        {"cheapest through the middle",
         "for i = 0, 2 do p:AddNode() end p:AddEdge(0, 1, 5) p:AddEdge(1, 2, 5) p:AddEdge(0, 2, 20)", 0, 2,
         "0 1 2"},
        {"direct when cheaper",
         "for i = 0, 2 do p:AddNode() end p:AddEdge(0, 1, 5) p:AddEdge(1, 2, 5) p:AddEdge(0, 2, 9.5)", 0, 2,
         "0 2"},
        {"ids truncated", "for i = 0, 2 do p:AddNode() end p:AddEdge(0.9, 1.2, 1) p:AddEdge(1, 2.99, 1)", 0, 2,
         "0 1 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Run(std::string("p = PathFinder() ") + c.graph);
        Run("count = p:FindPath(" + std::to_string(c.start) + ", " + std::to_string(c.goal) +
            ") ids = '' for i = 0, count - 1 do "
            "if i > 0 then ids = ids .. ' ' end ids = ids .. p:GetResultNodeId(i) end");
        lua_getglobal(L, "ids");
        const std::string ids = lua_tostring(L, -1);
        lua_pop(L, 1);
        EXPECT_EQ(c.path, ids);
        for (const char* index : {"-1", "count", "count + 5"}) {
            EXPECT_EQ(-1, Eval(std::string("p:GetResultNodeId(") + index + ")")) << index;
        }
        EXPECT_EQ(-1, Eval("PathFinder():GetResultNodeId(0)")) << "a new object has no path";
    }
}

TEST_F(MathPathScriptClassesTest, NodeIdsCountUpAgainAfterClearGraphWhileTheLastPathStays)
{
    Run("p = PathFinder() a, b, c = p:AddNode(), p:AddNode(), p:AddNode() p:AddEdge(a, c, 2)");
    EXPECT_EQ(0, Eval("a"));
    EXPECT_EQ(1, Eval("b"));
    EXPECT_EQ(2, Eval("c"));
    EXPECT_EQ(2, Eval("p:FindPath(2, 0)"));
    Run("p:ClearGraph()");
    EXPECT_EQ(2, Eval("p:GetResultNodeId(0)"));
    EXPECT_EQ(0, Eval("p:GetResultNodeId(1)"));
    EXPECT_EQ(0, Eval("p:AddNode()"));
    EXPECT_EQ(1, Eval("p:AddNode()"));
    // Graphs of two objects are apart.
    Run("q = PathFinder()");
    EXPECT_EQ(0, Eval("q:AddNode()"));
    EXPECT_EQ(0, Eval("p:FindPath(0, 1)"));
}

TEST_F(MathPathScriptClassesTest, BadIdsAndNegativeCostsAreErrorsThatLeaveTheFinderUsable)
{
    Run("p = PathFinder() for i = 0, 2 do p:AddNode() end p:AddEdge(0, 1, 1) p:FindPath(0, 1)");
    struct Case {
        const char* script;
        const char* source;
        const char* message;
    };
    const Case cases[] = {
        {"p:AddEdge(0, 3, 1)", "Wrappers\\PathFinderWrapper.cpp", "Error: Internal error."},
        {"p:AddEdge(-1, 0, 1)", "Wrappers\\PathFinderWrapper.cpp", "Error: Internal error."},
        {"p:FindPath(0, 3)", "Wrappers\\PathFinderWrapper.cpp", "Error: Internal error."},
        {"p:FindPath(-1, 0)", "Wrappers\\PathFinderWrapper.cpp", "Error: Internal error."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        const std::string error = FailureOf(c.script);
        EXPECT_THAT(error, StartsWith(std::string("File: \"") + c.source + "\""));
        EXPECT_THAT(error, EndsWith(c.message));
    }
    // The failed FindPath cleared the previous path first.
    EXPECT_EQ(-1, Eval("p:GetResultNodeId(0)"));

    Run("p:AddEdge(1, 2, -1)");
    const std::string error = FailureOf("p:FindPath(0, 2)");
    EXPECT_THAT(error, StartsWith("File: \"PathFinding\\AStarPathFinder.cpp\""));
    EXPECT_THAT(error, EndsWith("Error: The graph may not contain an edge with negative weight."));
    // The failed search left the queue: fresh searches work and run nothing stale.
    EXPECT_EQ(0, EngineCore::PathFindingSystem::Instance().GetPathFindManager().IsExist(0));
    EXPECT_EQ(2, Eval("p:FindPath(0, 1)"));
    Run("q = PathFinder() q:AddNode() q:AddNode() q:AddEdge(0, 1, 3)");
    EXPECT_EQ(2, Eval("q:FindPath(1, 0)"));
}

// With a budget too small for more than one search per Update, and another search queued
// ahead, FindPath still returns its own path.
TEST_F(MathPathScriptClassesTest, FindPathWaitsForItsOwnSearchWhateverTheBudget)
{
    EngineCore::PathFindManager& manager = EngineCore::PathFindingSystem::Instance().GetPathFindManager();
    float now = 0;
    manager.SetClock([&now] { return now += 1.0f; });
    manager.SetMaxUpdateTime(0.5f);
    auto ahead = std::make_shared<EngineCore::PathFindManagerTask>();
    manager.AddTask(ahead);

    Run("p = PathFinder() p:AddNode() p:AddNode() p:AddEdge(0, 1, 1)");
    EXPECT_EQ(2, Eval("p:FindPath(0, 1)"));
    EXPECT_FALSE(manager.IsExist(0));
    EXPECT_FALSE(manager.IsExist(1));

    manager.SetMaxUpdateTime(0.0f);
    manager.SetClock(EngineCore::PathFindManager::Clock());
}
