// GUI dispatch of one mouse move with many registered controls, and its share of a
// 60 fps frame (16.7 ms) as the counter "frame_share_%".
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <vector>

#include "engine/GUI/Button.h"
#include "engine/GUI/GUISystem.h"
#include "engine/Input/InputEvent.h"
#include "engine/Renderer/RenderSystem.h"

namespace {

using EngineCore::GUISystem;

// Buttons of 20 x 20 on a 40-pixel grid, priorities ascending along the grid, so a
// point late in the grid is found only after most of the list was tried.
std::vector<std::shared_ptr<EngineCore::Button>> MakeButtons(int count)
{
    EngineCore::RenderSystem::Instance().SetCurrentGameState("gui-bench");
    std::vector<std::shared_ptr<EngineCore::Button>> buttons;
    for (int i = 0; i < count; ++i) {
        auto button = std::make_shared<EngineCore::Button>();
        button->SetPosition(EngineCore::CPoint{(i % 40) * 40, (i / 40) * 40});
        button->SetSize(EngineCore::CSize{20, 20});
        button->SetPriority(static_cast<float>(i));
        GUISystem::Instance().RegisterControl(button);
        buttons.push_back(button);
    }
    return buttons;
}

void Dispatch(benchmark::State& state, int x0, int y0, int x1, int y1)
{
    const auto buttons = MakeButtons(static_cast<int>(state.range(0)));
    GUISystem::Instance().Reset();
    auto a = std::make_shared<EngineCore::MouseEvent>();
    a->SetState(EngineCore::InputEvent::kStateAxisChanged);
    a->SetAbsolutePosition(x0, y0, 0, 0);
    auto b = std::make_shared<EngineCore::MouseEvent>(*a);
    b->SetAbsolutePosition(x1, y1, 0, 0);
    const std::shared_ptr<EngineCore::InputEvent> moves[2] = {a, b};
    int i = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        benchmark::DoNotOptimize(GUISystem::Instance().AddEvent(moves[i++ & 1]));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double perMove = seconds / static_cast<double>(state.iterations());
    state.counters["frame_share_%"] = perMove / (1.0 / 60.0) * 100.0;
    for (const auto& button : buttons)
        GUISystem::Instance().UnregisterControl(button);
    GUISystem::Instance().Reset();
}

// Between two points that hit no control: every move tries the whole list twice
// (capture, then rectangles).
void MoveOverNothing(benchmark::State& state)
{
    Dispatch(state, 25, 25, 30, 30);
}
BENCHMARK(MoveOverNothing)->Arg(1000);

// Between the last two controls of the grid: hover and leave every move.
void MoveBetweenLastControls(benchmark::State& state)
{
    const int last = static_cast<int>(state.range(0)) - 1;
    Dispatch(state, (last % 40) * 40 + 5, (last / 40) * 40 + 5, ((last - 1) % 40) * 40 + 5,
             ((last - 1) / 40) * 40 + 5);
}
BENCHMARK(MoveBetweenLastControls)->Arg(1000);

}  // namespace

BENCHMARK_MAIN();
