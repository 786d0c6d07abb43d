#include <memory>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <lua.hpp>

#include "tests/game/TextTestSupport.h"
#include "tests/support/ScriptClassFixture.h"

using EngineCore::ResourceManager;
using testing::EndsWith;
using namespace TextTest;

namespace {

class TextScriptClassesTest : public TestSupport::ScriptClassFixture<TextFixture> {
protected:
    void SetUp() override
    {
        TextFixture::SetUp();
        ResourceManager::Instance().AddResource("font", font);
        ResourceManager::Instance().AddResource("glyphs.png", texture);
        ASSERT_NO_FATAL_FAILURE(OpenScripts());
    }
    void TearDown() override
    {
        engine.Close();
        TextFixture::TearDown();
    }

    // Named after the object the script calls `global`.
    std::shared_ptr<TestSupport::FakeAnimatedSprite> CharacterOf(const char* global, int index)
    {
        Run(std::string("objectName = ") + global + ":GetName()");
        return SpriteNamed(String("objectName") + ".character." + std::to_string(index));
    }
};

const char* const kNotSet = "Error: Font is not initialized. First call - SetName().";

}  // namespace

TEST_F(TextScriptClassesTest, FontNeedsSetNameFirst)
{
    for (const char* method : {"GetName", "SetAscii", "SetUnicode", "SetTexture"}) {
        EXPECT_THAT(FailureOf(std::string("Font():") + method + "()"), EndsWith(kNotSet)) << method;
    }
    Run("f = Font() f:SetName('font') name = f:GetName()");
    EXPECT_EQ("font", String("name"));
    EXPECT_THAT(FailureOf("f:SetUnicode()"), EndsWith("Error: Don't yet implemented."));
    EXPECT_THAT(FailureOf("f:SetUnicode('x')"), EndsWith("Error: Don't yet implemented."));

    // A failed SetName leaves no font, even the one attached before.
    EXPECT_THAT(FailureOf("f:SetName('no such font')"), EndsWith("Error: Resource (no such font) not found."));
    EXPECT_THAT(FailureOf("f:GetName()"), EndsWith(kNotSet));
    // A name held by something else is not a font.
    EXPECT_THAT(FailureOf("f:SetName('glyphs.png')"), EndsWith("Error: Resource (glyphs.png) not found."));
}

TEST_F(TextScriptClassesTest, FontObjectsShareOneFont)
{
    Run("f1 = Font() f1:SetName('font') f2 = Font() f2:SetName('font')"
        " f1:SetAscii('ba') f2:SetTexture('glyphs.png')");
    EngineCore::Font::CharInfo info;
    ASSERT_TRUE(font->GetCharacterInfo('a', info));
    EXPECT_EQ(1, info.index) << "character i draws glyph i";
    EXPECT_EQ(texture, font->GetTexture());

    // A failed lookup keeps the texture the font had.
    EXPECT_THAT(FailureOf("f1:SetTexture('missing.png')"), EndsWith("Error: Resource (missing.png) not found."));
    EXPECT_THAT(FailureOf("f1:SetTexture('font')"), EndsWith("Error: Resource (font) not found."));
    EXPECT_EQ(texture, font->GetTexture());
}

TEST_F(TextScriptClassesTest, TextLaysOutOnceItHasFontAndText)
{
    Run("t = Text() t:SetAsciiText('A B') t:SetPosition(100, 50) s = t:GetAsciiText()"
        " n1 = t:GetName() n2 = Text():GetName()");
    EXPECT_EQ("A B", String("s"));
    const std::string prefix = "Internal.TextObject.";
    ASSERT_THAT(String("n1"), testing::StartsWith(prefix));
    EXPECT_EQ(prefix + std::to_string(std::stoi(String("n1").substr(prefix.size())) + 1), String("n2"));
    EXPECT_FALSE(CharacterOf("t", 0)) << "no font yet: nothing laid out";

    Run("t:SetFont('font')");
    auto a = CharacterOf("t", 0);
    auto b = CharacterOf("t", 2);
    ASSERT_TRUE(a && b);
    EXPECT_EQ((Point{105, 50}), PositionOf(*a));
    EXPECT_EQ((Point{123, 50}), PositionOf(*b));
    EXPECT_FALSE(a->IsVisible()) << "a new Text is hidden";

    Run("t:Show() t:SetColor(256, 0, 0x1FF, 255) t:SetPriority(4) t:SetBlendMode(3.9) t:SetPosition(110, 40)");
    for (const auto& s : {a, b}) {
        EXPECT_TRUE(s->IsVisible());
        EXPECT_EQ(0xFF0000FFu, s->GetColor()) << "the low 8 bits of each channel";
        EXPECT_EQ(4, s->GetPriority());
        EXPECT_EQ(3, s->GetBlendMode());
    }
    EXPECT_EQ((Point{115, 40}), PositionOf(*a));
    Run("t:Hide()");
    EXPECT_FALSE(b->IsVisible());

    // An empty text hides the glyphs at once.
    Run("t:Show() t:SetAsciiText('')");
    EXPECT_FALSE(a->IsVisible());
    EXPECT_FALSE(b->IsVisible());
}

TEST_F(TextScriptClassesTest, TextFailures)
{
    Run("t = Text()");
    const std::string unimplemented = "Error: Don't yet implemented.";
    EXPECT_THAT(FailureOf("t:SetUnicodeText()"), EndsWith(unimplemented));
    EXPECT_THAT(FailureOf("t:SetUnicodeText('x')"), EndsWith(unimplemented));
    EXPECT_THAT(FailureOf("TextRect():SetUnicodeText()"), EndsWith(unimplemented));
    EXPECT_THAT(FailureOf("t:SetFont('nothing')"), EndsWith("Error: Resource (nothing) not found."));
    EXPECT_THAT(FailureOf("t:SetFont('glyphs.png')"), EndsWith("Error: Resource (glyphs.png) not found."));
    EXPECT_THAT(FailureOf("t:SetFont('font') t:SetAsciiText('Ax')"), EndsWith(".character.1) creating error."));

    EngineCore::RenderSystem::Instance().SetCurrentGameState("");
    EXPECT_THAT(FailureOf("Text()"), EndsWith("Error: Internal error."));
    EXPECT_THAT(FailureOf("TextRect()"), EndsWith("Error: Internal error."));
}

TEST_F(TextScriptClassesTest, TextRectNamesCountAcrossStates)
{
    Run("r1 = TextRect() n1 = r1:GetName()");
    EngineCore::RenderSystem::Instance().SetCurrentGameState("another-state");
    Run("r2 = TextRect() n2 = r2:GetName()");
    const std::string prefix = "Internal.TextRect.";
    ASSERT_THAT(String("n1"), testing::StartsWith(prefix));
    const int first = std::stoi(String("n1").substr(prefix.size()));
    EXPECT_EQ(prefix + std::to_string(first + 1), String("n2"));
    EXPECT_TRUE(ResourceManager::Instance().IsExist(String("n2"))) << "filed in the resource manager";

    // The manager keeps the object after the script lets go.
    Run("r1 = nil");
    EXPECT_TRUE(ResourceManager::Instance().IsExist(String("n1")));
}

TEST_F(TextScriptClassesTest, TextRectStartsEmptyInAScreenSizedRectangle)
{
    Run("r = TextRect() lines = r:GetNumLines() l, t, rt, b = r:GetDrawTextRect()"
        " cr, cg, cb, ca = r:GetColor() x, y = r:GetPosition()");
    EXPECT_EQ(0, Number("lines"));
    EXPECT_EQ((std::vector<double>{0, 0, 0, 0, 255, 255, 255, 255, 0, 0}),
              Numbers({"l", "t", "rt", "b", "cr", "cg", "cb", "ca", "x", "y"}));

    // Right alignment shows the 1024-wide rectangle: "ab" (16 wide) ends at 1024.
    Run("r:SetFont('font') r:SetAlignment(2) r:SetAsciiText('ab') l, t, rt, b = r:GetDrawTextRect()");
    EXPECT_EQ((std::vector<double>{1008, 0, 1024, 24}), Numbers({"l", "t", "rt", "b"}));
    auto a = CharacterOf("r", 0);
    ASSERT_TRUE(a);
    EXPECT_FALSE(a->IsVisible()) << "a new TextRect is hidden";

    // SetSize truncates: 300 x 100, seen through right and bottom alignment.
    Run("r:SetSize(300.9, 100.2) r:SetVerticalAlignment(2) l, t, rt, b = r:GetDrawTextRect()");
    EXPECT_EQ((std::vector<double>{284, 0, 300, 100}), Numbers({"l", "t", "rt", "b"}));
    EXPECT_EQ((Point{288, 76}), PositionOf(*a));
}

TEST_F(TextScriptClassesTest, TextRectWrapsWhereWorkedOutByHand)
{
    // a 8, b 12, space 6 wide with the defaults; the last line's width is read back
    // through the draw rectangle (left-aligned: right - left).
    struct Case {
        const char* text;
        int width;
        int lines;
        int lastLineWidth;
    };
    const Case cases[] = {
        {"aa aa aa", 40, 2, 12},         // "aa aa " + "aa"
        {"aa aa aa", 1000, 1, 40},       // 6 x 8 + 2 x 10 + 7 x -4
        {"bbbbbbbb", 40, 1, 68},         // a word wider than the rectangle stays whole
        {"a bbbbbbbb", 40, 2, 68},
        {"ab\nba", 1000, 2, 16},
        {"\n\nab", 1000, 3, 16},
        {"ab\n", 1000, 1, 16},
        {"aa  aa", 18, 2, 18},           // " aa": the opening space counts in the width
    };
    Run("r = TextRect() r:SetFont('font')");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " in " + std::to_string(c.width));
        lua_pushstring(L, c.text);
        lua_setglobal(L, "text");
        Run("r:SetSize(" + std::to_string(c.width) +
            ", 500) r:SetAsciiText(text) lines = r:GetNumLines() l, t, rt, b = r:GetDrawTextRect()");
        EXPECT_EQ(c.lines, Number("lines"));
        EXPECT_EQ(c.lastLineWidth, Number("rt") - Number("l"));
    }
    Run("r:SetAsciiText('') lines = r:GetNumLines() s = r:GetAsciiText()");
    EXPECT_EQ(0, Number("lines")) << "an empty text has no lines";
    EXPECT_EQ("", String("s"));
}

TEST_F(TextScriptClassesTest, TextRectSettersLayOutAgain)
{
    Run("r = TextRect() r:SetFont('font') r:SetAsciiText('a a') r:SetPosition(10, 20) r:Show()");
    auto second = CharacterOf("r", 1);
    ASSERT_TRUE(second);
    EXPECT_EQ((Point{24, 20}), PositionOf(*second));  // 10 + 8 - 4 + 10 - 4, + 4
    EXPECT_TRUE(second->IsVisible());

    struct Case {
        const char* script;
        Point at;
    };
    const Case cases[] = {
        {"r:SetSpaceWidth(20)", {34, 20}},
        {"r:SetCharOffset(0)", {42, 20}},
        {"r:SetAlignment(1)", {536, 20}},               // 10 + 512 - 36 / 2, then + 8 + 20, + 4
        {"r:SetAlignment(7)", {42, 20}},                // other values leave the pen at x
        {"r:SetSize(20, 100)", {14, 60}},               // lines "a", " ", "a", each 24 - 4 apart
        {"r:SetLineOffset(6)", {14, 80}},
        {"r:SetVerticalAlignment(1)", {14, 88}},        // block 3 x 24 + 2 x 6 = 84: 20 + 16 / 2 + 60
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        Run(c.script);
        EXPECT_EQ(c.at, PositionOf(*second));
    }
}

TEST_F(TextScriptClassesTest, ACharacterAScriptDrivesByNameTakesTheNextLayout)
{
    // The script binds the second character by its name and changes it; the next layout
    // sets it up as a new object's first layout would, and the text and the script share it.
    for (const std::string kind : {"Text", "TextRect"}) {
        SCOPED_TRACE(kind);
        Run("o = " + kind + "() o:SetFont('font') o:SetPosition(100, 50) o:SetAsciiText('ab') o:Show()"
            " s = Sprite() s:SetName(o:GetName() .. '.character.1') s:SetPosition(7, 8) s:SetColor(1, 2, 3, 4)"
            " s:SetPriority(9) s:SetBlendMode(1) s:SetHotSpot(3, 3) s:SetTextureRect(1, 1, 2, 2)");
        auto character = CharacterOf("o", 1);
        ASSERT_TRUE(character);
        EXPECT_FALSE(character->IsVisible()) << "binding by name hides it";
        EXPECT_EQ((Point{7, 8}), PositionOf(*character));

        Run("o:SetAsciiText('ba') f = " + kind + "() f:SetFont('font') f:SetPosition(100, 50) f:SetAsciiText('ba') f:Show()");
        EXPECT_EQ(Described(*CharacterOf("f", 1)), Described(*character));
        EXPECT_EQ(character, CharacterOf("o", 1));
        Run("o:SetColor(10, 20, 30, 40) r, g, b, a = s:GetColor()");
        EXPECT_EQ((std::vector<double>{10, 20, 30, 40}), Numbers({"r", "g", "b", "a"})) << "one object";
    }
}

TEST_F(TextScriptClassesTest, WhatAScriptFilesUnderACharactersNameIsWhatTheNextLayoutFinds)
{
    for (const std::string kind : {"Text", "TextRect"}) {
        SCOPED_TRACE(kind);
        Run("o = " + kind + "() o:SetFont('font') o:SetPosition(100, 50) o:SetAsciiText('ab') o:Show()"
            " name = o:GetName() .. '.character.1'");
        auto before = CharacterOf("o", 1);
        ASSERT_TRUE(before);

        // A sprite group is a sprite: it becomes the character.
        Run("g = SpriteGroup() g:SetName(name) o:SetAsciiText('ba') x, y = g:GetPosition()"
            " f = " + kind + "() f:SetFont('font') f:SetPosition(100, 50) f:SetAsciiText('ba')");
        EXPECT_EQ(PositionOf(*CharacterOf("f", 1)), (Point{static_cast<float>(Number("x")), static_cast<float>(Number("y"))}));
        EXPECT_FALSE(before->IsVisible()) << "no longer the text's";

        // An animation is not: the layout fails as with any name held by something else.
        EXPECT_THAT(FailureOf("Animation():SetName(name) o:SetAsciiText('ab')"),
                    EndsWith("Error: Resource (" + String("name") + ") creating error."));
    }
}
