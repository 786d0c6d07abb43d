// Layout cost of text: a 40-character text object and a wrapped paragraph laid out
// again with a changed text, among as many other character sprites in the resource
// manager as a screen of 200 such objects holds. Sprites are plain engine sprites, so
// the figures are the game core's own work, without drawing.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/Renderer/Font.h"
#include "engine/Renderer/RenderSystem.h"
#include "engine/Resources/ResourceFactory.h"
#include "engine/Resources/ResourceManager.h"
#include "game/Renderer/TextObject.h"
#include "game/Renderer/TextRect.h"

namespace {

class PlainSprite : public EngineCore::Sprite {
public:
    void Render() override {}
};

const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

// 62 glyphs 15 wide and 21 high, one per letter.
class LetterFont : public EngineCore::Font {
public:
    LetterFont()
    {
        Reserve(62);
        for (uint16_t i = 0; i < 62; ++i)
            SetInfo(i, static_cast<uint16_t>(i * 16 + 1), 0, 15, 21, 0);
        SetAscii(kLetters);
    }
};

// Text k: 40 letters from position k on.
std::vector<std::string> Texts()
{
    const std::string twice = std::string(kLetters) + kLetters;
    std::vector<std::string> texts;
    for (size_t k = 0; k < 62; ++k)
        texts.push_back(twice.substr(k, 40));
    return texts;
}

struct Scene {
    Scene()
    {
        EngineCore::RenderSystem::Instance().SetCurrentGameState("bench");
        EngineCore::ResourceFactory::Instance().RegisterResourceCreator(
            EngineCore::Resource::RT_SPRITE, [] { return std::shared_ptr<EngineCore::Resource>(new PlainSprite); });
        for (int i = 0; i < 199; ++i) {
            others.push_back(std::make_unique<GameCore::TextObject>());
            others.back()->SetFont(font);
            others.back()->SetText(texts[static_cast<size_t>(i % 62)].c_str());
        }
    }
    ~Scene()
    {
        others.clear();
        EngineCore::ResourceManager::Instance().Clear();
        EngineCore::ResourceFactory::Instance().UnregisterResourceCreator(EngineCore::Resource::RT_SPRITE);
    }

    std::shared_ptr<LetterFont> font = std::make_shared<LetterFont>();
    std::vector<std::string> texts = Texts();
    std::vector<std::unique_ptr<GameCore::TextObject>> others;
};

void TextObjectNewText(benchmark::State& state)
{
    Scene scene;
    GameCore::TextObject text;
    text.SetFont(scene.font);
    text.SetVisible(true);
    size_t k = 0;
    for (auto _ : state) {
        text.SetText(scene.texts[k].c_str());
        k = (k + 1) % scene.texts.size();
    }
    state.SetItemsProcessed(state.iterations() * 40);
}
BENCHMARK(TextObjectNewText);

void TextRectNewText(benchmark::State& state)
{
    Scene scene;
    auto rect = std::make_shared<GameCore::TextRect>();
    EngineCore::ResourceManager::Instance().AddResource("Internal.TextRect.bench", rect);
    GameCore::TextRect::Rect area;
    area.right = 640;
    area.bottom = 480;
    rect->SetRect(area);
    rect->SetAlignment(1);
    rect->SetFont(scene.font);
    // Ten words of 40 letters a paragraph.
    std::vector<std::string> paragraphs;
    for (size_t k = 0; k < 62; ++k) {
        std::string p;
        for (size_t w = 0; w < 10; ++w)
            p += scene.texts[(k + w) % 62] + (w % 3 == 2 ? "\n" : " ");
        paragraphs.push_back(p);
    }
    size_t k = 0;
    for (auto _ : state) {
        rect->SetText(paragraphs[k].c_str());
        k = (k + 1) % paragraphs.size();
    }
    state.SetItemsProcessed(state.iterations() * 400);
}
BENCHMARK(TextRectNewText);

}  // namespace

BENCHMARK_MAIN();
