#include <list>
#include <memory>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "game/Renderer/TextRect.h"
#include "tests/game/TextTestSupport.h"
#include "tests/support/FailureText.h"

using GameCore::TextRect;
using testing::EndsWith;
using namespace TextTest;
using TestSupport::FailureText;

namespace {

class TextRectTest : public TextFixture {
protected:
    // A text rectangle filed under a name of its own, as the script class does.
    std::shared_ptr<TextRect> Make(int width, int height)
    {
        auto rect = std::make_shared<TextRect>();
        EngineCore::ResourceManager::Instance().AddResource("rect." + std::to_string(counter++), rect);
        rect->SetRect(Rect(width, height));
        return rect;
    }
    static TextRect::Rect Rect(int width, int height)
    {
        TextRect::Rect r;
        r.right = width;
        r.bottom = height;
        return r;
    }
    std::shared_ptr<TestSupport::FakeAnimatedSprite> Character(const TextRect& rect, int index)
    {
        return SpriteNamed(std::string(rect.GetName()) + ".character." + std::to_string(index));
    }
    std::vector<std::string> Lines(const TextRect& rect, const char* text)
    {
        TextRect::WordList words;
        rect.GetWordsFromText(text, words);
        std::list<std::string> lines;
        rect.GetLinesFromWords(words, lines);
        return std::vector<std::string>(lines.begin(), lines.end());
    }
    static std::vector<int> DrawRect(const TextRect& rect)
    {
        TextRect::Rect r;
        EXPECT_TRUE(rect.GetDrawTextRect(r));
        return {r.left, r.top, r.right, r.bottom};
    }

    int counter = 0;
};

}  // namespace

TEST_F(TextRectTest, WidthsAddOffsetsAndSpaces)
{
    auto rect = Make(100, 100);
    rect->SetFont(font);
    struct Case {
        const char* text;
        float width;
    };
    // Defaults: space 10, character offset -4; a 8, b 12.
    const Case cases[] = {{"", 0}, {"a", 8}, {"ab", 16}, {"a b", 22}, {" ", 10}, {"ax", 4}};
    for (const Case& c : cases)
        EXPECT_EQ(c.width, rect->GetTextWidth(c.text)) << c.text;
}

TEST_F(TextRectTest, WordsSpacesAndBreaksBecomeEntries)
{
    auto rect = Make(100, 100);
    rect->SetFont(font);
    TextRect::WordList words;
    rect->GetWordsFromText("ab  a\nb", words);
    const TextRect::WordList expected = {{"ab", 16}, {" ", 6}, {" ", 6}, {"a", 8}, {"\n", 0}, {"b", 12}};
    EXPECT_EQ(expected, words);

    // A character offset larger than the space width: the space entry's width wraps the
    // same way every time instead of being undefined.
    rect->SetCharOffset(-20.0f);
    words.clear();
    rect->GetWordsFromText(" ", words);
    EXPECT_EQ((TextRect::WordList{{" ", 65526}}), words);

    // No length limit on a word.
    const std::string longWord(3000, 'a');
    rect->SetCharOffset(0.0f);
    words.clear();
    rect->GetWordsFromText(longWord.c_str(), words);
    ASSERT_EQ(1u, words.size());
    EXPECT_EQ(longWord, words.front().first);
    EXPECT_EQ(24000, words.front().second);
}

TEST_F(TextRectTest, LinesBreakWhereWorkedOutByHand)
{
    // a 8, b 12, space entry 6; "aa" 12, "bbbbbbbb" 68.
    struct Case {
        const char* text;
        int width;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        // 12, 18, 30, 36 fit in 40; 48 does not.
        {"aa aa aa", 40, {"aa aa ", "aa"}},
        {"aa aa aa", 1000, {"aa aa aa"}},
        {"aa aa aa", 36, {"aa aa ", "aa"}},
        {"aa aa aa", 35, {"aa aa", " aa"}},
        // A word wider than the rectangle stays whole: alone, or after a narrower word.
        {"bbbbbbbb", 40, {"bbbbbbbb"}},
        {"a bbbbbbbb", 40, {"a ", "bbbbbbbb"}},
        {"bbbbbbbb a", 40, {"bbbbbbbb", " a"}},
        // Two spaces are two entries: the second opens the next line.
        {"aa  aa", 18, {"aa ", " aa"}},
        // Explicit breaks: every break ends a line, even an empty one; none at the end.
        {"ab\nba", 1000, {"ab", "ba"}},
        {"\n\nab", 1000, {"", "", "ab"}},
        {"ab\n", 1000, {"ab"}},
        {"ab\n\n", 1000, {"ab", ""}},
        {"ab \nba", 1000, {"ab ", "ba"}},
        // Width 0: every entry after the first opens a line.
        {"aa aa", 0, {"aa", " ", "aa"}},
        {"", 40, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " in " + std::to_string(c.width));
        auto rect = Make(c.width, 100);
        rect->SetFont(font);
        EXPECT_EQ(c.lines, Lines(*rect, c.text));
        rect->SetText(c.text);
        EXPECT_EQ(static_cast<int>(c.lines.size()), rect->GetNumLines());
    }
}

TEST_F(TextRectTest, LinesStackAndAlignInTheRectangle)
{
    // a 20 high, b 16 high and 2 down: the font is 20 high; the default line offset -4
    // puts lines 16 apart and a block of two lines is 36 high.
    auto font20 = std::make_shared<TableFont>(std::vector<Glyph>{{'a', 0, 8, 20, 0}, {'b', 8, 12, 16, 2}});
    struct Case {
        const char* name;
        int horizontal, vertical, bottom;
        float firstX, firstY, secondY;
        std::vector<int> drawRect;
        int verticalAfter;
    };
    // Text "ab\na" at (0, 0) in a rectangle 101 wide. Glyph x = trunc(pen + w/2 + 0.5).
    const Case cases[] = {
        {"top left", 0, 0, 100, 4, 0, 16, {0, 0, 8, 36}, 0},
        {"centred block", 0, 1, 100, 4, 32, 48, {0, 0, 8, 100}, 1},
        {"bottom block", 0, 2, 100, 4, 64, 80, {0, 0, 8, 100}, 2},
        {"bottom without room falls back for good", 0, 2, 36, 4, 0, 16, {0, 0, 8, 36}, 0},
        {"centred without room", 0, 1, 20, 4, 0, 16, {0, 0, 8, 36}, 0},
        // "ab" is 16 wide: centred 50 - 8 = 42; the draw rectangle describes the last line
        // ("a", 8 wide: 50 - 4 = 46).
        {"centred lines", 1, 0, 100, 46, 0, 16, {46, 0, 54, 36}, 0},
        {"right lines", 2, 0, 100, 89, 0, 16, {93, 0, 101, 36}, 0},
        {"other alignments leave the pen", 5, 9, 100, 4, 0, 16, {0, 0, 0, 0}, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto rect = Make(101, c.bottom);
        rect->SetFont(font20);
        rect->SetAlignment(c.horizontal);
        rect->SetVerAlignment(c.vertical);
        rect->SetText("ab\na");
        EXPECT_EQ(2, rect->GetNumLines());
        EXPECT_EQ((Point{c.firstX, c.firstY}), PositionOf(*Character(*rect, 0)));
        EXPECT_EQ(c.secondY, Character(*rect, 2)->GetPositionY());
        EXPECT_EQ(c.drawRect, DrawRect(*rect));
        EXPECT_EQ(c.verticalAfter, rect->GetVerAlignment());
        // b: 12 wide, 16 high, 2 down: hot spot (6, 8 - 10 - 2).
        EXPECT_EQ((Point{6, -4}), HotSpotOf(*Character(*rect, 1)));
        EXPECT_EQ(Character(*rect, 0)->GetPositionX() + 8 - 4 + 2, Character(*rect, 1)->GetPositionX());
    }

    // Once fallen back, a rectangle with room does not bring the alignment back.
    auto rect = Make(101, 20);
    rect->SetFont(font20);
    rect->SetVerAlignment(2);
    rect->SetText("a\na");
    EXPECT_EQ(0, rect->GetVerAlignment());
    rect->SetRect(Rect(101, 400));
    EXPECT_EQ(0, rect->GetVerAlignment());
    EXPECT_EQ(0, Character(*rect, 0)->GetPositionY());
}

TEST_F(TextRectTest, CentringUsesTheIntegerHalfOfTheWidth)
{
    auto rect = Make(101, 100);
    rect->SetFont(font);
    rect->SetAlignment(1);
    rect->SetText("ab");
    // pen 42: a at trunc(42 + 4 + 0.5), b at trunc(42 + 8 - 4 + 6 + 0.5).
    EXPECT_EQ(46, Character(*rect, 0)->GetPositionX());
    EXPECT_EQ(52, Character(*rect, 1)->GetPositionX());
    EXPECT_EQ((std::vector<int>{42, 0, 58, 24}), DrawRect(*rect));
}

TEST_F(TextRectTest, SidesFarApartWrapTheWidthInsteadOfOverflowing)
{
    auto rect = Make(0, 100);
    TextRect::Rect sides;
    sides.left = -2147483647 - 1;
    sides.right = 2147483647;
    rect->SetRect(sides);
    rect->SetFont(font);
    // The width is 2^32 - 1 as an unsigned number: nothing wraps to a second line.
    EXPECT_EQ((std::vector<std::string>{"ab cd"}), Lines(*rect, "ab cd"));
    // Centred, the width is -1 as an int, whose integer half is 0.
    rect->SetAlignment(1);
    rect->SetText("ab");
    EXPECT_EQ((std::vector<int>{-8, 0, 8, 24}), DrawRect(*rect));
}

TEST_F(TextRectTest, ASpaceOpeningALineIsNotDrawn)
{
    // "aa  aa" in 18: the second line " aa" starts at the left edge.
    auto rect = Make(18, 100);
    rect->SetFont(font);
    rect->SetPosition(10, 5);
    rect->SetText("aa  aa");
    ASSERT_EQ(2, rect->GetNumLines());
    EXPECT_EQ((Point{14, 5}), PositionOf(*Character(*rect, 0)));
    EXPECT_EQ((Point{18, 5}), PositionOf(*Character(*rect, 1)));
    EXPECT_EQ((Point{14, 25}), PositionOf(*Character(*rect, 2)));  // font 24, line offset -4
    EXPECT_EQ(4u, rect->GetCharacterCount());
}

TEST_F(TextRectTest, SettersReachCharactersAndTransformsAreIgnored)
{
    auto rect = Make(100, 100);
    rect->SetFont(font);
    rect->SetText("ab");
    auto a = Character(*rect, 0);
    rect->SetPosition(10.5f, 20);
    EXPECT_EQ((Point{14.5f, 20}), PositionOf(*a));
    rect->SetColor(0x12345678u);
    rect->SetVisible(true);
    rect->SetPriority(3);
    rect->SetBlendMode(1);
    EXPECT_EQ(0x12345678u, a->GetColor());
    EXPECT_TRUE(a->IsVisible());
    EXPECT_EQ(3, a->GetPriority());
    EXPECT_EQ(1, a->GetBlendMode());

    rect->SetRotation(1.0f);
    rect->SetVerticalScale(2.0f);
    rect->SetHorizontalScale(3.0f);
    EXPECT_EQ(0.0f, rect->GetRotation());
    EXPECT_EQ(1.0f, rect->GetVerticalScale());
    EXPECT_EQ(1.0f, rect->GetHorizontalScale());
    EXPECT_EQ(0.0f, a->GetRotation());
}

TEST_F(TextRectTest, DroppedCharactersAreHiddenAndEmptyTextHasNoLines)
{
    auto rect = Make(100, 100);
    rect->SetFont(font);
    rect->SetVisible(true);
    rect->SetText("ab\nab");
    EXPECT_EQ(2, rect->GetNumLines());
    auto first = Character(*rect, 0);
    auto last = Character(*rect, 3);
    rect->SetText("ab");
    EXPECT_TRUE(first->IsVisible());
    EXPECT_FALSE(last->IsVisible());
    EXPECT_EQ(2u, rect->GetCharacterCount());

    rect->SetText("");
    EXPECT_EQ(0, rect->GetNumLines());
    EXPECT_FALSE(first->IsVisible());
    EXPECT_EQ(0u, rect->GetCharacterCount());

    rect->SetText("a");
    EXPECT_TRUE(first->IsVisible());
    rect->SetText(u"wide");
    EXPECT_EQ(1u, rect->GetCharacterCount()) << "wide text is stored only";
    rect.reset();
    EngineCore::ResourceManager::Instance().Clear();
    EXPECT_FALSE(first->IsVisible()) << "a text rectangle that dies lets go of its characters";
}

TEST_F(TextRectTest, MissingGlyphStopsTheLayout)
{
    auto rect = Make(100, 100);
    rect->SetFont(font);
    try {
        rect->SetText("a x");
        FAIL() << "no failure";
    } catch (const std::runtime_error& e) {
        EXPECT_THAT(e.what(), EndsWith("Error: Resource (" + std::string(rect->GetName()) + ".character.1) creating error."));
        EXPECT_THAT(e.what(), testing::HasSubstr("Renderer\\TextRect.cpp"));
    }
    EXPECT_EQ(2u, rect->GetCharacterCount());
    EXPECT_EQ(std::vector<std::string>{"Font (Fonts/Table.bin) has no glyph for the character 'x' (code 120) of the "
                                       "text \"a x\": SetAscii does not list it."},
              logged);
}

TEST_F(TextRectTest, ARelayoutShowsWhatAFirstLayoutWould)
{
    // Longer, shorter, empty and longer again, lines breaking elsewhere, the look and the
    // font changed between layouts: a sprite dropped and shown again takes the look and
    // the glyph of now. Each step is checked against a new rectangle laid out once.
    auto other = std::make_shared<TableFont>(std::vector<Glyph>{{'a', 0, 6, 30, 2}, {'b', 6, 9, 12, -1}},
                                             "Fonts/Other.bin");
    other->SetTexture(std::make_shared<TestSupport::SizedTexture>(32, 32));
    struct Step {
        const char* text;
        uint32_t color;
        std::shared_ptr<TableFont> font;
        size_t characters;
    };
    const Step steps[] = {
        {"ab ba", 0xFF102030u, font, 4},      {"b", 0x80FFFFFFu, font, 1},       {"ab\nab a", 0x40000000u, font, 5},
        {"ab\nab a", 0x40000000u, other, 5}, {"", 0x40000000u, other, 0},      {"a  bab", 0xFF000000u, font, 4},
    };
    auto rect = Make(30, 100);
    rect->SetPosition(10, 20);
    rect->SetVisible(true);
    std::vector<std::shared_ptr<TestSupport::FakeAnimatedSprite>> seen(6);
    for (const Step& step : steps) {
        SCOPED_TRACE(std::string(step.text) + " in " + step.font->GetName());
        rect->SetColor(step.color);
        rect->SetFont(step.font);
        rect->SetText(step.text);
        auto fresh = Make(30, 100);
        fresh->SetPosition(10, 20);
        fresh->SetVisible(true);
        fresh->SetColor(step.color);
        fresh->SetFont(step.font);
        fresh->SetText(step.text);
        ASSERT_EQ(step.characters, fresh->GetCharacterCount());

        ExpectCharactersAsOn(*fresh, *rect, [&](size_t i) { return i < step.characters; }, seen);
        EXPECT_EQ(step.characters, rect->GetCharacterCount());
        EXPECT_EQ(fresh->GetNumLines(), rect->GetNumLines());
        EXPECT_EQ(DrawRect(*fresh), DrawRect(*rect));
    }
}

TEST_F(TextRectTest, MissingGlyphInARelayoutNamesItsIndex)
{
    auto rect = Make(100, 100);
    rect->SetFont(font);
    rect->SetVisible(true);
    rect->SetText("abab");
    auto last = Character(*rect, 3);
    EXPECT_THAT(FailureText([&] { rect->SetText("a xb"); }),
                EndsWith("Error: Resource (" + std::string(rect->GetName()) + ".character.1) creating error."));
    EXPECT_EQ(std::vector<std::string>{"Font (Fonts/Table.bin) has no glyph for the character 'x' (code 120) of the "
                                       "text \"a xb\": SetAscii does not list it."},
              logged);
    EXPECT_EQ(2u, rect->GetCharacterCount()) << "the sprites fetched so far stay";
    EXPECT_FALSE(last->IsVisible()) << "let go of by the layout that failed";

    rect->SetText("abab");
    EXPECT_TRUE(last->IsVisible());
}

TEST_F(TextRectTest, ARelayoutUsesWhatTheManagerHoldsUnderEachNameNow)
{
    ExpectRelayoutsFollowTheManager<TextRect>([this] { return Make(100, 100); });
}
