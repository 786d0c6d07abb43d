#pragma once
// A font made from a glyph table in code, and character sprites that record what the
// layouts do to them: the fixture of the text tests.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/Renderer/Font.h"
#include "engine/Renderer/RenderSystem.h"
#include "engine/Resources/ResourceFactory.h"
#include "engine/Resources/ResourceManager.h"
#include "engine/System/SystemLogger.h"
#include "tests/support/FakeSprites.h"
#include "tests/support/TestLogWriter.h"

namespace TextTest {

struct Glyph {
    char c;
    uint16_t x, width, height;
    int16_t offset;
};

// Glyph i belongs to the i-th character of the table; every glyph sits on row 0.
class TableFont : public EngineCore::Font {
public:
    explicit TableFont(const std::vector<Glyph>& glyphs, const std::string& name = "Fonts/Table.bin")
    {
        SetName(name);
        std::string chars;
        Reserve(static_cast<unsigned>(glyphs.size()));
        for (size_t i = 0; i < glyphs.size(); ++i) {
            const Glyph& g = glyphs[i];
            SetInfo(static_cast<uint16_t>(i), g.x, 0, g.width, g.height, g.offset);
            chars.push_back(g.c);
        }
        SetAscii(chars.c_str());
    }
};

// a 8 wide, b 12 wide (the word-wrap widths); A 10, B 12, C 11 (the line widths of the
// one-line text). Line height 24: B is 24 high.
inline std::vector<Glyph> StandardGlyphs()
{
    return {{'a', 0, 8, 16, 0},   {'b', 8, 12, 16, 0}, {'A', 20, 10, 20, -3},
            {'B', 30, 12, 24, 0}, {'C', 42, 11, 10, 1}};
}

// A game state is current (sprites register under it) and sprites are made as
// FakeAnimatedSprites; everything made is gone at the end. The log's lines are kept.
class TextFixture : public testing::Test {
protected:
    void SetUp() override
    {
        EngineCore::RenderSystem::Instance().SetCurrentGameState("text-tests");
        EngineCore::ResourceFactory::Instance().RegisterResourceCreator(
            EngineCore::Resource::RT_SPRITE,
            [] { return std::shared_ptr<EngineCore::Resource>(std::make_shared<TestSupport::FakeAnimatedSprite>()); });
        font = std::make_shared<TableFont>(StandardGlyphs());
        texture = std::make_shared<TestSupport::SizedTexture>(64, 32);
        font->SetTexture(texture);
        TestSupport::InstallLogWriter([this](const char* text) { logged.emplace_back(text); });
    }
    void TearDown() override
    {
        EngineCore::SystemLogger::Instance().SetLogger(nullptr);
        EngineCore::ResourceManager::Instance().Clear();
        EngineCore::ResourceFactory::Instance().UnregisterResourceCreator(EngineCore::Resource::RT_SPRITE);
    }

    // The sprite of that name, as the manager holds it; null when there is none.
    static std::shared_ptr<TestSupport::FakeAnimatedSprite> SpriteNamed(const std::string& name)
    {
        if (!EngineCore::ResourceManager::Instance().IsExist(name))
            return nullptr;
        std::shared_ptr<EngineCore::Resource> resource;
        EngineCore::ResourceManager::Instance().GetResource(name, EngineCore::Resource::RT_SPRITE, resource);
        return std::dynamic_pointer_cast<TestSupport::FakeAnimatedSprite>(resource);
    }

    std::shared_ptr<TableFont> font;
    std::shared_ptr<TestSupport::SizedTexture> texture;
    std::vector<std::string> logged;
};

struct Point {
    float x, y;
    bool operator==(const Point& o) const { return x == o.x && y == o.y; }
};

inline std::ostream& operator<<(std::ostream& out, const Point& p)
{
    return out << "(" << p.x << ", " << p.y << ")";
}

inline Point PositionOf(const EngineCore::Sprite& s)
{
    return {s.GetPositionX(), s.GetPositionY()};
}

inline Point HotSpotOf(const EngineCore::Sprite& s)
{
    return {s.GetHotSpotX(), s.GetHotSpotY()};
}

}  // namespace TextTest
