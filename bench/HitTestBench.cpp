// Cost of the texel hit test through the interpreter, s:IsAlphaCollided(x, y), against
// a bound method that does no work, called the same way in one run. The sprite shows a
// 64 x 64 texture kept in memory (locking is a pointer into it, as in the back-end).
// Prints ns per call for both and their ratio; with --benchmark_repetitions=N the
// fastest repetition of each counts.

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <lua.hpp>

#include "engine/Renderer/RenderSystem.h"
#include "engine/Renderer/Sprite.h"
#include "engine/Renderer/Texture.h"
#include "engine/Resources/ResourceFactory.h"
#include "engine/Resources/ResourceManager.h"
#include "game/ScriptEngine/LuaScriptEngine/GameStateScriptClasses.h"
#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"
#include "game/ScriptEngine/LuaScriptEngine/LuaScriptEngine.h"

namespace {

using EngineCore::Resource;
using GameLuaScriptImpl::LuaHelper;
using GameLuaScriptImpl::LuaScriptEngine;

const int kCallsPerRun = 1000;

class Idle {
public:
    explicit Idle(lua_State*) {}
    int Nothing(lua_State*) { return 0; }
    // The same arguments and result as the hit test, and no test.
    int Answer(lua_State* L)
    {
        const float x = static_cast<float>(luaL_checknumber(L, 1));
        const float y = static_cast<float>(luaL_checknumber(L, 2));
        lua_pushnumber(L, x < y ? 0 : 0);
        return 1;
    }
    static const char className[];
    static const LuaHelper<Idle>::RegType methods[];
};

const char Idle::className[] = "Idle";
const LuaHelper<Idle>::RegType Idle::methods[] = {
    {"Nothing", &Idle::Nothing},
    {"Answer", &Idle::Answer},
    {nullptr, nullptr},
};

class MemoryTexture : public EngineCore::Texture {
public:
    bool Lock(unsigned x, unsigned y, unsigned, unsigned, bool readOnly, uint32_t*& pixels) override
    {
        pixels = texels.data() + size_t(y) * GetWidth() + x;
        return Texture::Lock(x, y, 1, 1, readOnly, pixels);
    }
    std::vector<uint32_t> texels;

protected:
    void Init() override
    {
        SetSize(64, 64);
        texels.resize(64 * 64);
        // A disc: opaque inside radius 28 of the centre.
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                texels[size_t(y * 64 + x)] = (x - 32) * (x - 32) + (y - 32) * (y - 32) < 28 * 28 ? 0xFF808080u : 0;
    }
};

class PlainSprite : public EngineCore::Sprite {
public:
    void Render() override {}
};

void RunLoop(benchmark::State& state, const char* loop, const char* setUp = "")
{
    EngineCore::RenderSystem::Instance().SetCurrentGameState("bench");
    EngineCore::ResourceFactory& factory = EngineCore::ResourceFactory::Instance();
    factory.RegisterResourceCreator(Resource::RT_SPRITE, [] { return std::make_shared<PlainSprite>(); });
    factory.RegisterResourceCreator(Resource::RT_TEXTURE, [] { return std::make_shared<MemoryTexture>(); });
    {
        LuaScriptEngine engine;
        engine.Open();
        lua_State* L = engine.GetState();
        GameLuaScriptImpl::RegisterGameStateScriptClasses(L);
        LuaHelper<Idle>::Register(L);
        const std::string prepare = std::string("s = Sprite() s:SetName('button') s:SetTexture('disc.png') "
                                                "s:SetFullTextureRect() s:SetPosition(200, 100) s:SetHotSpot(32, 32) "
                                                "idle = Idle() ") +
                                    setUp;
        engine.RunString(prepare.c_str(), 0);
        // Points sweep across the sprite and its surroundings: hits, misses, outside.
        const std::string text = std::string("local s, idle = s, idle for i = 1, ") + std::to_string(kCallsPerRun) +
                                 " do local x, y = 160 + i % 80, 60 + (i * 7) % 80 " + loop + " end";
        if (luaL_loadstring(L, text.c_str()) != 0) {
            state.SkipWithError(lua_tostring(L, -1));
        } else {
            for (auto _ : state) {
                lua_pushvalue(L, -1);
                lua_call(L, 0, 0);
            }
            state.SetItemsProcessed(state.iterations() * kCallsPerRun);
        }
        lua_settop(L, 0);
        engine.Close();
    }
    EngineCore::ResourceManager::Instance().Clear();
    factory.UnregisterResourceCreator(Resource::RT_SPRITE);
    factory.UnregisterResourceCreator(Resource::RT_TEXTURE);
    EngineCore::RenderSystem::Instance().RemoveGameState("bench");
}

void BM_HitTest(benchmark::State& state) { RunLoop(state, "s:IsAlphaCollided(x, y)"); }
void BM_HitTestTurned(benchmark::State& state)
{
    RunLoop(state, "s:IsAlphaCollided(x, y)", "s:SetRotation(30)");
}
void BM_IdleMethod(benchmark::State& state) { RunLoop(state, "idle:Nothing(x, y)"); }
void BM_IdleAnswer(benchmark::State& state) { RunLoop(state, "idle:Answer(x, y)"); }
void BM_EmptyLoop(benchmark::State& state) { RunLoop(state, "local t = s"); }

BENCHMARK(BM_HitTest);
BENCHMARK(BM_HitTestTurned);
BENCHMARK(BM_IdleMethod);
BENCHMARK(BM_IdleAnswer);
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
    const double hit = reporter.nsPerCall["BM_HitTest"];
    const double turned = reporter.nsPerCall["BM_HitTestTurned"];
    const double idle = reporter.nsPerCall["BM_IdleMethod"];
    const double answer = reporter.nsPerCall["BM_IdleAnswer"];
    const double loop = reporter.nsPerCall["BM_EmptyLoop"];
    if (hit > 0 && idle > 0) {
        std::printf("\nhit test:         %.1f ns per call (turned sprite: %.1f)\n", hit, turned);
        std::printf("idle method:      %.1f ns per call (reading x, y and answering: %.1f)\n", idle, answer);
        std::printf("loop alone:       %.1f ns per iteration\n", loop);
        std::printf("ratio hit test / idle method: %.3f (calls alone, loop removed: %.3f)\n", hit / idle,
                    (hit - loop) / (idle - loop));
        if (answer > 0)
            std::printf("ratio hit test / answering method: %.3f (calls alone, loop removed: %.3f)\n",
                        hit / answer, (hit - loop) / (answer - loop));
    }
    return 0;
}
