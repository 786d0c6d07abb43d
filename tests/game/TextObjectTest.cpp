#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "game/Renderer/TextObject.h"
#include "tests/game/TextTestSupport.h"
#include "tests/support/FailureText.h"

using GameCore::TextObject;
using testing::EndsWith;
using namespace TextTest;
using TestSupport::FailureText;

namespace {

class TextObjectTest : public TextFixture {
protected:
    std::shared_ptr<TestSupport::FakeAnimatedSprite> Character(const TextObject& text, int position)
    {
        return SpriteNamed(std::string(text.GetName()) + ".character." + std::to_string(position));
    }
};

}  // namespace

TEST_F(TextObjectTest, NamesCountUpFromOneCounter)
{
    TextObject first;
    TextObject second;
    const std::string prefix = "Internal.TextObject.";
    ASSERT_EQ(0u, std::string(first.GetName()).rfind(prefix, 0));
    const int n = std::stoi(std::string(first.GetName()).substr(prefix.size()));
    EXPECT_EQ(prefix + std::to_string(n + 1), second.GetName());
    EXPECT_FALSE(first.IsVisible());
}

TEST_F(TextObjectTest, CharactersStandSideBySideFromThePen)
{
    TextObject text;
    text.SetPosition(100, 50);
    text.SetFont(font);
    text.SetText("A BC");
    ASSERT_EQ(3u, text.GetCharacterCount());

    // Space 5, character space 2: A's left edge at 100, B's at 100+10+2+5, C's after B.
    struct Expect {
        int position;
        Point at;
        Point hotSpot;
        float rectX, rectWidth, rectHeight;
    };
    const Expect expected[] = {
        {0, {105, 50}, {5, 1}, 20, 10, 20},    // 20 high, offset -3, font 24: 10 - 12 + 3
        {2, {123, 50}, {6, 0}, 30, 12, 24},    // 12 - 12 - 0
        {3, {136, 50}, {5, -8}, 42, 11, 10},   // 11 wide: hot spot 5, pen + 5; 5 - 12 - 1
    };
    for (const Expect& e : expected) {
        SCOPED_TRACE(e.position);
        auto sprite = Character(text, e.position);
        ASSERT_TRUE(sprite);
        EXPECT_EQ(e.at, PositionOf(*sprite));
        EXPECT_EQ(e.hotSpot, HotSpotOf(*sprite));
        float x, y, w, h;
        sprite->GetTextureRect(x, y, w, h);
        EXPECT_EQ(e.rectX, x);
        EXPECT_EQ(0, y);
        EXPECT_EQ(e.rectWidth, w);
        EXPECT_EQ(e.rectHeight, h);
        EXPECT_EQ(texture, sprite->GetTexture());
    }
    EXPECT_FALSE(Character(text, 1)) << "a space has no sprite";
}

TEST_F(TextObjectTest, HotSpotFollowsTheFontHeight)
{
    // A glyph 20 high with offset -3: 10 - trunc(H / 2 + 0.5) + 3.
    struct Case {
        uint16_t tallest;
        float hotSpotY;
    };
    // Without T the font is 23 high, so T sets the height only when taller.
    const Case cases[] = {{24, 1}, {25, 0}, {2, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tallest);
        auto tableFont = std::make_shared<TableFont>(
            std::vector<Glyph>{{'A', 0, 10, 20, -3}, {'T', 10, 4, c.tallest, 0}});
        TextObject text;
        text.SetFont(tableFont);
        text.SetText("A");
        EXPECT_EQ(c.hotSpotY, Character(text, 0)->GetHotSpotY());
    }
}

TEST_F(TextObjectTest, FirstLayoutAfterANewCharacterSetUsesTheFontHeight)
{
    // The first layout after a change of characters must not take the font as 0 high.
    font->SetAscii("abABC");
    TextObject text;
    text.SetFont(font);
    text.SetText("B");
    EXPECT_EQ(0.0f, Character(text, 0)->GetHotSpotY());
}

TEST_F(TextObjectTest, SettersReachEveryCharacter)
{
    TextObject text;
    text.SetFont(font);
    text.SetText("AB");
    auto a = Character(text, 0);
    auto b = Character(text, 1);

    text.SetPosition(100, 50);
    EXPECT_EQ((Point{105, 50}), PositionOf(*a));
    text.SetPosition(110, 47);
    EXPECT_EQ((Point{115, 47}), PositionOf(*a));
    EXPECT_EQ((Point{128, 47}), PositionOf(*b));  // 110 + 10 + 2, + 6

    text.SetColor(0x80FF0000u);
    text.SetVisible(true);
    text.SetPriority(7);
    text.SetBlendMode(3);
    for (const auto& s : {a, b}) {
        EXPECT_EQ(0x80FF0000u, s->GetColor());
        EXPECT_TRUE(s->IsVisible());
        EXPECT_EQ(7, s->GetPriority());
        EXPECT_EQ(3, s->GetBlendMode());
    }
    a->calls.clear();
    text.SetRotation(1.0f);
    text.SetHorizontalScale(2.0f);
    EXPECT_TRUE(a->calls.empty());
    EXPECT_EQ(0.0f, a->GetRotation());

    // A relayout carries the object's own settings to the sprites it fetches again.
    text.SetText("BA");
    EXPECT_EQ(0x80FF0000u, b->GetColor());
    EXPECT_TRUE(b->IsVisible());
    EXPECT_EQ((Point{116, 47}), PositionOf(*Character(text, 0)));  // B now first: 110 + 6
    EXPECT_EQ(a, Character(text, 0)) << "the same sprite comes back under the same name";
}

TEST_F(TextObjectTest, SpacingChangesWaitForTheNextLayout)
{
    TextObject text;
    text.SetFont(font);
    text.SetText("A A");
    auto second = Character(text, 2);
    EXPECT_EQ(22, second->GetPositionX());  // 10 + 2 + 5, + 5
    text.SetSpaceWidth(8.0f);
    text.SetCharacterSpace(0.0f);
    EXPECT_EQ(22, second->GetPositionX());
    text.SetText("A A");
    EXPECT_EQ(23, second->GetPositionX());  // 10 + 8, + 5
}

TEST_F(TextObjectTest, DroppedCharactersAreHiddenAtOnce)
{
    struct Case {
        const char* name;
        std::function<void(TextObject&)> change;
        std::vector<bool> stillShown;  // A, B
    };
    const Case cases[] = {
        {"shorter text", [](TextObject& t) { t.SetText("A"); }, {true, false}},
        {"empty text", [](TextObject& t) { t.SetText(""); }, {false, false}},
        {"a space where a character was", [](TextObject& t) { t.SetText("A "); }, {true, false}},
        {"not a font", [](TextObject& t) { t.SetFont(std::make_shared<TestSupport::SizedTexture>(1, 1)); },
         {false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TextObject text;
        text.SetFont(font);
        text.SetText("AB");
        text.SetVisible(true);
        auto a = Character(text, 0);
        auto b = Character(text, 1);
        c.change(text);
        EXPECT_EQ(c.stillShown[0], a->IsVisible());
        EXPECT_EQ(c.stillShown[1], b->IsVisible());
        EXPECT_EQ(c.stillShown[0] ? 1u : 0u, text.GetCharacterCount());
    }

    auto survivor = std::make_unique<TextObject>();
    survivor->SetFont(font);
    survivor->SetText("A");
    survivor->SetVisible(true);
    auto a = Character(*survivor, 0);
    survivor.reset();
    EXPECT_FALSE(a->IsVisible()) << "the destructor lets go of its characters too";
}

TEST_F(TextObjectTest, NothingIsLaidOutWithoutTextOrFont)
{
    TextObject noFont;
    noFont.SetText("AB");
    EXPECT_EQ(0u, noFont.GetCharacterCount());
    EXPECT_STREQ("AB", noFont.GetAsciiText());
    noFont.SetFont(font);
    EXPECT_EQ(2u, noFont.GetCharacterCount());

    TextObject noText;
    noText.SetFont(font);
    EXPECT_EQ(0u, noText.GetCharacterCount());
    noText.SetText(u"AB");
    EXPECT_EQ(0u, noText.GetCharacterCount()) << "wide text is stored only";
    EXPECT_EQ(u"AB", noText.GetUnicodeText());
}

TEST_F(TextObjectTest, MissingGlyphStopsTheLayout)
{
    TextObject text;
    text.SetFont(font);
    const std::string failure = FailureText([&] { text.SetText("AxB"); });
    EXPECT_THAT(failure, EndsWith("Error: Resource (" + std::string(text.GetName()) + ".character.1) creating error."));
    EXPECT_THAT(failure, testing::HasSubstr("Renderer\\TextObject.cpp"));
    EXPECT_EQ(2u, text.GetCharacterCount()) << "the sprites fetched so far stay";
    EXPECT_EQ(nullptr, Character(text, 2));
    EXPECT_EQ(std::vector<std::string>{"Font (Fonts/Table.bin) has no glyph for the character 'x' (code 120) of the "
                                       "text \"AxB\": SetAscii does not list it."},
              logged);
    // A font whose characters were never set has no glyph at all; a character that does
    // not print is named by its code only.
    auto bare = std::make_shared<TableFont>(std::vector<TextTest::Glyph>{}, "Fonts/Bare.bin");
    TextObject other;
    other.SetFont(bare);
    logged.clear();
    FailureText([&] { other.SetText("\t"); });
    EXPECT_EQ(std::vector<std::string>{"Font (Fonts/Bare.bin) has no glyph for the character (code 9) of the text "
                                       "\"\t\": the font has no characters (no SetAscii yet)."},
              logged);

    // A name held by something that is not a sprite cannot be a character.
    EngineCore::ResourceManager::Instance().AddResource(std::string(text.GetName()) + ".character.0",
                                                        std::make_shared<TestSupport::SizedTexture>(1, 1));
    EXPECT_THAT(FailureText([&] { text.SetText("A"); }),
                EndsWith("Error: Resource (" + std::string(text.GetName()) + ".character.0) creating error."));
}

TEST_F(TextObjectTest, WidthsCountGlyphsOnly)
{
    TextObject text;
    EXPECT_EQ(0.0f, text.GetTextWidth("AB")) << "no font: nothing to measure";
    text.SetFont(font);
    EXPECT_EQ(10.0f, text.GetCharWidthW('A'));
    EXPECT_EQ(0.0f, text.GetCharWidthW('x'));
    EXPECT_EQ(22.0f, text.GetTextWidth("A B"));
    auto withSpace = std::make_shared<TableFont>(std::vector<Glyph>{{'A', 0, 10, 8, 0}, {' ', 10, 3, 8, 0}});
    text.SetFont(withSpace);
    EXPECT_EQ(23.0f, text.GetTextWidth("A A"));
}

TEST_F(TextObjectTest, ARelayoutShowsWhatAFirstLayoutWould)
{
    // Longer, shorter, empty and longer again, spaces moving between positions, the look
    // and the font changed between layouts: a sprite dropped and shown again takes the
    // look and the glyph of now. Each step is checked against a new object laid out once.
    auto other = std::make_shared<TableFont>(
        std::vector<Glyph>{{'A', 0, 6, 30, 2}, {'B', 6, 9, 12, -1}, {'C', 15, 7, 7, 0}}, "Fonts/Other.bin");
    other->SetTexture(std::make_shared<TestSupport::SizedTexture>(32, 32));
    struct Step {
        const char* text;
        uint32_t color;
        std::shared_ptr<TableFont> font;
    };
    const Step steps[] = {
        {"A BC", 0xFF102030u, font}, {"AB", 0x80FFFFFFu, font}, {"CA BA", 0x40000000u, font},
        {"CA BA", 0x40000000u, other}, {"", 0x40000000u, other}, {"B  CA", 0xFF000000u, font},
    };
    TextObject text;
    text.SetPosition(100, 50);
    text.SetVisible(true);
    std::vector<std::shared_ptr<TestSupport::FakeAnimatedSprite>> seen(6);
    for (const Step& step : steps) {
        SCOPED_TRACE(std::string(step.text) + " in " + step.font->GetName());
        text.SetColor(step.color);
        text.SetFont(step.font);
        text.SetText(step.text);
        TextObject fresh;
        fresh.SetPosition(100, 50);
        fresh.SetVisible(true);
        fresh.SetColor(step.color);
        fresh.SetFont(step.font);
        fresh.SetText(step.text);

        const std::string shown = step.text;
        ExpectCharactersAsOn(fresh, text, [&](size_t i) { return i < shown.size() && shown[i] != ' '; }, seen);
        EXPECT_EQ(fresh.GetCharacterCount(), text.GetCharacterCount());
    }
}

TEST_F(TextObjectTest, MissingGlyphInARelayoutNamesItsPosition)
{
    TextObject text;
    text.SetFont(font);
    text.SetVisible(true);
    text.SetText("ABC");
    auto third = Character(text, 2);

    const std::string failure = FailureText([&] { text.SetText("AxB"); });
    EXPECT_THAT(failure, EndsWith("Error: Resource (" + std::string(text.GetName()) + ".character.1) creating error."));
    EXPECT_EQ(std::vector<std::string>{"Font (Fonts/Table.bin) has no glyph for the character 'x' (code 120) of the "
                                       "text \"AxB\": SetAscii does not list it."},
              logged);
    EXPECT_EQ(2u, text.GetCharacterCount()) << "the sprites fetched so far stay";
    EXPECT_TRUE(Character(text, 1)->IsVisible());
    EXPECT_FALSE(third->IsVisible()) << "let go of by the layout that failed";

    text.SetText("ABC");
    EXPECT_TRUE(third->IsVisible());
    EXPECT_EQ(3u, text.GetCharacterCount());
}

TEST_F(TextObjectTest, ARelayoutUsesWhatTheManagerHoldsUnderEachNameNow)
{
    ExpectRelayoutsFollowTheManager<TextObject>([] { return std::make_shared<TextObject>(); });
}
