// Cost of drawing back-end sprites: one scene of N sprites sharing a texture, drawn
// plainly (the untransformed path) or scaled and rotated. Run headless:
//   . scripts/headless-env.sh && build/bench/SpriteDrawBench
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <memory>
#include <string>
#include <vector>

#include "backend/Base/HGEEngineWrapperApplication.h"
#include "backend/Base/HGESystemObject.h"
#include "backend/Base/HGETexture.h"
#include "engine/Renderer/RenderSystem.h"
#include "engine/Renderer/Sprite.h"
#include "engine/Resources/Resource.h"
#include "engine/Resources/ResourceManager.h"
#include "tests/support/TempFolder.h"

namespace {

// One window for the whole program: the layer opens once per process.
struct Window {
    TestSupport::TempFolder docs;
    std::shared_ptr<MobrixCore::HGEEngineWrapperApplication> app;
    std::shared_ptr<EngineCore::Resource> texture;

    Window()
    {
        setenv("XDG_DOCUMENTS_DIR", docs.Path().c_str(), 1);
        EngineCore::RenderSystem::Instance().SetCurrentGameState("bench");
        EngineCore::RenderSystem::ScreenSettings settings;
        settings.bpp = 32;
        settings.width = 640;
        settings.height = 480;
        settings.windowed = true;
        EngineCore::RenderSystem::Instance().ApplyScreenSettings(settings);
        app = std::make_shared<MobrixCore::HGEEngineWrapperApplication>();
        app->Open([](float) { return false; }, [](float) { return true; });
        auto adopted = std::make_shared<MobrixCore::HGETexture>();
        adopted->Init(MobrixCore::HGESystemObject::Instance()->Texture_Create(32, 32));
        texture = adopted;
        EngineCore::ResourceManager::Instance().AddResource("bench.texture", texture);
    }
    ~Window()
    {
        EngineCore::ResourceManager::Instance().Clear();
        app->Close();
    }
};

Window& TheWindow()
{
    static Window window;
    return window;
}

std::vector<std::shared_ptr<EngineCore::Sprite>> MakeSprites(int count, bool transformed)
{
    std::vector<std::shared_ptr<EngineCore::Sprite>> sprites;
    for (int i = 0; i < count; ++i) {
        std::shared_ptr<EngineCore::Resource> res;
        const std::string name = "bench.sprite." + std::to_string(transformed) + "." + std::to_string(i);
        EngineCore::ResourceManager::Instance().GetResource(name, EngineCore::Resource::RT_SPRITE, res);
        auto sprite = std::static_pointer_cast<EngineCore::Sprite>(res);
        sprite->SetTexture(TheWindow().texture);
        sprite->SetTextureRect(0, 0, 32, 32);
        sprite->SetPosition(static_cast<float>(i % 600), static_cast<float>((i * 7) % 440));
        sprite->SetHotSpot(16, 16);
        if (transformed) {
            sprite->SetRotation(0.1f * static_cast<float>(i));
            sprite->SetHorizontalScale(1.5f);
            sprite->SetVerticalScale(0.75f);
        }
        sprite->SetVisible(true);
        sprites.push_back(sprite);
    }
    return sprites;
}

void DrawScene(benchmark::State& state, bool transformed)
{
    TheWindow();
    HGE* hge = MobrixCore::HGESystemObject::Instance().GetObjectW();
    const auto sprites = MakeSprites(static_cast<int>(state.range(0)), transformed);
    for (auto _ : state) {
        hge->Gfx_BeginScene(0);
        hge->Gfx_Clear(0);
        for (const auto& sprite : sprites)
            sprite->Render();
        hge->Gfx_EndScene();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_PlainSprites(benchmark::State& state)
{
    DrawScene(state, false);
}

void BM_ScaledRotatedSprites(benchmark::State& state)
{
    DrawScene(state, true);
}

}  // namespace

BENCHMARK(BM_PlainSprites)->Arg(100)->Arg(1000);
BENCHMARK(BM_ScaledRotatedSprites)->Arg(100)->Arg(1000);

BENCHMARK_MAIN();
