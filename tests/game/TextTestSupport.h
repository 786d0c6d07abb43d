#pragma once
// A font made from a glyph table in code, and character sprites that record what the
// layouts do to them: the fixture of the text tests.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/Renderer/Font.h"
#include "engine/Renderer/RenderSystem.h"
#include "engine/Resources/ResourceFactory.h"
#include "engine/Resources/ResourceManager.h"
#include "engine/System/SystemLogger.h"
#include "tests/support/FailureText.h"
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

// Everything a layout sets on a character sprite, as text: two sprites laid out alike
// describe alike, and a difference reads as one.
inline std::string Described(const EngineCore::Sprite& s)
{
    float x, y, w, h;
    s.GetTextureRect(x, y, w, h);
    std::ostringstream out;
    out << "at " << PositionOf(s) << " hot spot " << HotSpotOf(s) << " rect " << x << "," << y << " " << w << "x"
        << h << " texture " << s.GetTexture().get() << std::hex << " colour " << s.GetColor() << std::dec
        << (s.IsVisible() ? " shown" : " hidden") << " priority " << s.GetPriority() << " blend "
        << s.GetBlendMode();
    return out.str();
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

    // The sprite the manager holds for character `index` of `text`; null when there is none.
    static std::shared_ptr<TestSupport::FakeAnimatedSprite> CharacterSprite(const EngineCore::Sprite& text, int index)
    {
        return SpriteNamed(std::string(text.GetName()) + ".character." + std::to_string(index));
    }

    // For each index `seen` has room for: the character of `text` there, when `shown`,
    // is set up as the one of `fresh` (a new text laid out once alike) and is the sprite
    // seen there before, which it then becomes; any other sprite under `text`'s character
    // names is hidden.
    void ExpectCharactersAsOn(const EngineCore::Sprite& fresh, const EngineCore::Sprite& text,
                              const std::function<bool(size_t)>& shown,
                              std::vector<std::shared_ptr<TestSupport::FakeAnimatedSprite>>& seen)
    {
        for (size_t i = 0; i < seen.size(); ++i) {
            SCOPED_TRACE(i);
            auto sprite = CharacterSprite(text, static_cast<int>(i));
            if (shown(i)) {
                ASSERT_TRUE(sprite);
                EXPECT_EQ(Described(*CharacterSprite(fresh, static_cast<int>(i))), Described(*sprite));
                if (seen[i]) {
                    EXPECT_EQ(seen[i], sprite) << "a name keeps its sprite";
                }
                seen[i] = sprite;
            } else if (sprite) {
                EXPECT_FALSE(sprite->IsVisible());
            }
        }
    }

    // A text from `make` lays "ab" out; the manager's entry for its second character's
    // name is replaced, removed or cleared, or the text is filed under another name; then
    // "ba" is laid out. Its second character must be what the manager now gives for the
    // name, set up as a new text's and held by the text, and the sprite before hidden. A
    // sprite filed under another character's name is kept at that one, shown; a name
    // that comes to hold something other than a sprite fails the layout.
    template <typename Text>
    void ExpectRelayoutsFollowTheManager(const std::function<std::shared_ptr<Text>()>& make)
    {
        EngineCore::ResourceManager& manager = EngineCore::ResourceManager::Instance();
        struct Case {
            const char* name;
            std::function<void(const std::shared_ptr<Text>&, const std::string&)> change;
        };
        const Case cases[] = {
            {"another sprite filed under the name",
             [&](const auto&, const std::string& name) {
                 manager.AddResource(name, std::make_shared<TestSupport::FakeAnimatedSprite>());
             }},
            {"the entry removed", [&](const auto&, const std::string& name) { manager.RemoveResource(SpriteNamed(name)); }},
            {"every entry cleared", [&](const auto&, const std::string&) { manager.Clear(); }},
            {"the text filed under another name",
             [&](const auto& text, const std::string&) { manager.AddResource("renamed text", text); }},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            std::shared_ptr<Text> text = make();
            text->SetFont(font);
            text->SetVisible(true);
            text->SetText("ab");
            auto before = CharacterSprite(*text, 1);
            c.change(text, std::string(text->GetName()) + ".character.1");

            text->SetText("ba");
            auto now = CharacterSprite(*text, 1);
            ASSERT_TRUE(now);
            EXPECT_NE(before, now);
            EXPECT_FALSE(before->IsVisible()) << "no longer the text's";
            std::shared_ptr<Text> fresh = make();
            fresh->SetFont(font);
            fresh->SetVisible(true);
            fresh->SetText("ba");
            EXPECT_EQ(Described(*CharacterSprite(*fresh, 1)), Described(*now));
            text->SetColor(0xFF123456u);
            EXPECT_EQ(0xFF123456u, now->GetColor()) << "the text holds what the name gives";
        }

        std::shared_ptr<Text> moved = make();
        moved->SetFont(font);
        moved->SetVisible(true);
        moved->SetText("ab");
        auto first = CharacterSprite(*moved, 0);
        auto second = CharacterSprite(*moved, 1);
        manager.AddResource(std::string(moved->GetName()) + ".character.0", second);
        moved->SetText("b");
        EXPECT_EQ(second, CharacterSprite(*moved, 0));
        EXPECT_TRUE(second->IsVisible()) << "let go of at its old index, kept at its new one";
        EXPECT_FALSE(first->IsVisible());

        std::shared_ptr<Text> text = make();
        text->SetFont(font);
        text->SetText("ab");
        const std::string name = std::string(text->GetName()) + ".character.1";
        manager.AddResource(name, std::make_shared<TestSupport::SizedTexture>(1, 1));
        EXPECT_THAT(TestSupport::FailureText([&] { text->SetText("ba"); }),
                    testing::EndsWith("Error: Resource (" + name + ") creating error."));
    }

    std::shared_ptr<TableFont> font;
    std::shared_ptr<TestSupport::SizedTexture> texture;
    std::vector<std::string> logged;
};

}  // namespace TextTest
