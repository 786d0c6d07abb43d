// One normal-mode frame of the render system over N sprites that draw nothing:
// "Still" sprites touch nothing, "Restated" sprites store their own priority and
// visibility again in every update (as animated sprites do), "Moving" sprites
// change their priority in every update and so force a rebuild each frame.
//   build/bench/RenderFrameBench
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "engine/Renderer/RenderSystem.h"
#include "engine/Renderer/Sprite.h"

namespace {

enum class Touch { Still, Restated, Moving };

class QuietSprite : public EngineCore::Sprite {
public:
    QuietSprite(float priority, Touch touch) : _touch(touch) { SetPriority(priority); }
    void Update(float) override
    {
        if (_touch == Touch::Restated) {
            SetPriority(GetPriority());
            SetVisible(IsVisible());
        } else if (_touch == Touch::Moving) {
            SetPriority(GetPriority() + 1.0f);
        }
    }
    void Render() override {}

private:
    Touch _touch;
};

void Frame(benchmark::State& state, Touch touch)
{
    EngineCore::RenderSystem& render = EngineCore::RenderSystem::Instance();
    render.SetWaitingStatus(false);
    render.SetCurrentGameState("bench");
    const int count = static_cast<int>(state.range(0));
    std::vector<std::unique_ptr<QuietSprite>> sprites;
    for (int i = 0; i < count; ++i) {
        sprites.push_back(std::make_unique<QuietSprite>(static_cast<float>((i * 7919) % count), touch));
    }
    for (auto _ : state) {
        render.Update(0.016f);
    }
    state.SetItemsProcessed(state.iterations() * count);
    sprites.clear();
    render.RemoveGameState("bench");
}

void BM_FrameStill(benchmark::State& state)
{
    Frame(state, Touch::Still);
}

void BM_FrameRestated(benchmark::State& state)
{
    Frame(state, Touch::Restated);
}

void BM_FrameMoving(benchmark::State& state)
{
    Frame(state, Touch::Moving);
}

}  // namespace

BENCHMARK(BM_FrameStill)->Arg(1000)->Arg(10000);
BENCHMARK(BM_FrameRestated)->Arg(1000)->Arg(10000);
BENCHMARK(BM_FrameMoving)->Arg(1000)->Arg(10000);

BENCHMARK_MAIN();
