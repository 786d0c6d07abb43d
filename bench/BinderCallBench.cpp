// Cost of a script method call through the binder, s:SetPosition(x, y), against a
// hand-written lua_CFunction doing the same work with luaL_checkudata, in one run.
// Prints ns per call for both and their ratio at the end; with --benchmark_repetitions=N
// the fastest repetition of each counts.

#include <cstdio>
#include <map>
#include <string>

#include <benchmark/benchmark.h>
#include <lua.hpp>

#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"
#include "game/ScriptEngine/LuaScriptEngine/LuaScriptEngine.h"

namespace {

using GameLuaScriptImpl::LuaHelper;
using GameLuaScriptImpl::LuaScriptEngine;

const int kCallsPerRun = 1000;

class Positioned {
public:
    explicit Positioned(lua_State*) {}
    int SetPosition(lua_State* L)
    {
        x = static_cast<float>(luaL_checknumber(L, 1));
        y = static_cast<float>(luaL_checknumber(L, 2));
        return 0;
    }
    float x = 0;
    float y = 0;
    static const char className[];
    static const LuaHelper<Positioned>::RegType methods[];
};

const char Positioned::className[] = "Positioned";
const LuaHelper<Positioned>::RegType Positioned::methods[] = {
    {"SetPosition", &Positioned::SetPosition},
    {nullptr, nullptr},
};

struct HandPositioned {
    float x = 0;
    float y = 0;
};

int HandSetPosition(lua_State* L)
{
    HandPositioned* object = *static_cast<HandPositioned**>(luaL_checkudata(L, 1, "HandPositioned"));
    object->x = static_cast<float>(luaL_checknumber(L, 2));
    object->y = static_cast<float>(luaL_checknumber(L, 3));
    return 0;
}

HandPositioned handObject;

void RegisterHandWritten(lua_State* L)
{
    luaL_newmetatable(L, "HandPositioned");
    lua_newtable(L);
    lua_pushcfunction(L, &HandSetPosition);
    lua_setfield(L, -2, "SetPosition");
    lua_setfield(L, -2, "__index");
    HandPositioned** block = static_cast<HandPositioned**>(lua_newuserdata(L, sizeof(HandPositioned*)));
    *block = &handObject;
    lua_pushvalue(L, -2);
    lua_setmetatable(L, -2);
    lua_setglobal(L, "h");
    lua_pop(L, 1);
}

// Runs `loop` (a chunk over kCallsPerRun calls) once per benchmark iteration.
void RunLoop(benchmark::State& state, const char* loop)
{
    LuaScriptEngine engine;
    engine.Open();
    lua_State* L = engine.GetState();
    LuaHelper<Positioned>::Register(L);
    RegisterHandWritten(L);
    engine.RunString("s = Positioned()", 0);
    const std::string text = std::string("local s, h = s, h for i = 1, ") +
                             std::to_string(kCallsPerRun) + " do " + loop + " end";
    if (luaL_loadstring(L, text.c_str()) != 0) {
        state.SkipWithError(lua_tostring(L, -1));
        return;
    }
    for (auto _ : state) {
        lua_pushvalue(L, -1);
        lua_call(L, 0, 0);
    }
    state.SetItemsProcessed(state.iterations() * kCallsPerRun);
}

void BM_BoundMethod(benchmark::State& state) { RunLoop(state, "s:SetPosition(i, i)"); }
void BM_HandWritten(benchmark::State& state) { RunLoop(state, "h:SetPosition(i, i)"); }
// The loop alone, to tell the call's own cost from the loop around it.
void BM_EmptyLoop(benchmark::State& state) { RunLoop(state, "local t = s"); }

BENCHMARK(BM_BoundMethod);
BENCHMARK(BM_HandWritten);
BENCHMARK(BM_EmptyLoop);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        // With repetitions the fastest one counts: noise only ever adds time.
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            const double ns = run.GetAdjustedRealTime() / kCallsPerRun;
            auto known = nsPerCall.find(run.run_name.function_name);
            if (known == nsPerCall.end() || ns < known->second)
                nsPerCall[run.run_name.function_name] = ns;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> nsPerCall;
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double bound = reporter.nsPerCall["BM_BoundMethod"];
    const double hand = reporter.nsPerCall["BM_HandWritten"];
    const double loop = reporter.nsPerCall["BM_EmptyLoop"];
    if (bound > 0 && hand > 0) {
        std::printf("\nbound method:  %.1f ns per call\nhand-written:  %.1f ns per call\n", bound, hand);
        std::printf("loop alone:    %.1f ns per iteration\n", loop);
        std::printf("ratio bound / hand-written: %.3f (calls alone, loop removed: %.3f)\n",
                    bound / hand, (bound - loop) / (hand - loop));
    }
    return 0;
}
