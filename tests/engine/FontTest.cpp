#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/Renderer/Font.h"
#include "tests/support/FakeSprites.h"

using EngineCore::Font;

namespace {

struct Glyph {
    uint16_t x, y, width, height;
    int16_t offset;
};

class TableFont : public Font {
public:
    explicit TableFont(const std::vector<Glyph>& glyphs)
    {
        Reserve(static_cast<unsigned>(glyphs.size()));
        for (size_t i = 0; i < glyphs.size(); ++i) {
            const Glyph& g = glyphs[i];
            SetInfo(static_cast<uint16_t>(i), g.x, g.y, g.width, g.height, g.offset);
        }
    }
    using Font::GetInfo;
    using Font::Reserve;
    using Font::SetInfo;
};

}  // namespace

TEST(Font, NewFontHasNoGlyphsAndNoHeight)
{
    TableFont font({});
    Font::CharInfo info;
    EXPECT_EQ(Font::RT_FONT, font.GetType());
    EXPECT_FALSE(font.GetCharacterInfo('A', info));
    EXPECT_FALSE(font.GetCharacterInfo(u'A', info));
    EXPECT_EQ(0.0f, font.GetHeight());
    EXPECT_FALSE(font.IsUnicodeCharset());
}

TEST(Font, ChangesShowInTheNextLookupAndHeight)
{
    TableFont font({{1, 2, 10, 20, -3}, {30, 40, 12, 24, 2}});
    font.SetAscii("AB");
    // The height is known as soon as the characters are, before any lookup.
    EXPECT_EQ(26.0f, font.GetHeight());
    Font::CharInfo info;
    ASSERT_TRUE(font.GetCharacterInfo('B', info));
    EXPECT_EQ(1, info.index);
    EXPECT_EQ(30, info.x);
    EXPECT_EQ(40, info.y);
    EXPECT_EQ(12, info.width);
    EXPECT_EQ(24, info.height);
    EXPECT_EQ(2, info.offset);
    EXPECT_EQ(26.0f, font.GetHeight());
    EXPECT_FALSE(font.GetCharacterInfo('C', info));

    // A glyph edit shows in the next lookup and height.
    font.SetInfo(1, 0, 0, 5, 30, -10);
    EXPECT_EQ(40.0f, font.GetHeight());
    ASSERT_TRUE(font.GetCharacterInfo('B', info));
    EXPECT_EQ(5, info.width);
}

TEST(Font, CharacterSetsMapPositionsToGlyphs)
{
    struct Case {
        const char* name;
        const char* ascii;
        char lookup;
        bool found;
        uint16_t index;
        float height;
    };
    const Case cases[] = {
        {"a repeated character ends at its last position", "AA", 'A', true, 1, 24.0f},
        {"a character past the table is refused", "ABC", 'C', false, 0, 24.0f},
        {"positions past the table add no height", "ABCD", 'A', true, 0, 24.0f},
        {"an empty set covers nothing", "", 'A', false, 0, 0.0f},
        {"a character above 127", "A\xE9", '\xE9', true, 1, 24.0f},
        {"a character the set lacks", "A\xE9", 'B', false, 0, 24.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TableFont font({{0, 0, 8, 20, -3}, {0, 0, 8, 22, 2}});
        font.SetAscii(c.ascii);
        Font::CharInfo info;
        EXPECT_EQ(c.found, font.GetCharacterInfo(c.lookup, info));
        if (c.found) {
            EXPECT_EQ(c.index, info.index);
        }
        EXPECT_EQ(c.height, font.GetHeight());
    }
}

TEST(Font, LookupsOfTheOtherWidthFail)
{
    TableFont font({{0, 0, 8, 8, 0}, {8, 0, 8, 8, 0}});
    font.SetAscii("ab");
    Font::CharInfo info;
    EXPECT_TRUE(font.GetCharacterInfo('a', info));
    EXPECT_FALSE(font.GetCharacterInfo(u'a', info));

    font.SetUnicode(u"\u0436b");
    EXPECT_TRUE(font.IsUnicodeCharset());
    EXPECT_FALSE(font.GetCharacterInfo('b', info));
    ASSERT_TRUE(font.GetCharacterInfo(u'\u0436', info));
    EXPECT_EQ(0, info.index);
    ASSERT_TRUE(font.GetCharacterInfo(u'b', info));
    EXPECT_EQ(8, info.x);

    // Back to 8-bit: the 8-bit map is rebuilt from the 8-bit string.
    font.SetAscii("ba");
    ASSERT_TRUE(font.GetCharacterInfo('a', info));
    EXPECT_EQ(1, info.index);
}

TEST(Font, TableAccessIsBounded)
{
    TableFont font({});
    font.Reserve(2);
    Font::CharInfo info;
    EXPECT_TRUE(font.SetInfo(1, 1, 2, 3, 4, -5));
    EXPECT_FALSE(font.SetInfo(2, 1, 2, 3, 4, 5));
    EXPECT_TRUE(font.GetInfo(0, info));
    EXPECT_EQ(0, info.width);
    EXPECT_TRUE(font.GetInfo(1, info));
    EXPECT_EQ(-5, info.offset);
    EXPECT_FALSE(font.GetInfo(2, info));
}

TEST(Font, TextureIsKept)
{
    TableFont font({});
    auto texture = std::make_shared<TestSupport::SizedTexture>(4, 4);
    font.SetTexture(texture);
    EXPECT_EQ(texture, font.GetTexture());
}

TEST(Font, ASnapshotKeepsTheFontAsItWasTaken)
{
    TableFont font({{1, 2, 10, 20, -3}, {30, 40, 12, 24, 2}});
    font.SetAscii("AB");
    auto texture = std::make_shared<TestSupport::SizedTexture>(4, 4);
    font.SetTexture(texture);
    const Font::Snapshot before = font.GetSnapshot();

    font.SetAscii("BA");
    font.SetInfo(0, 0, 0, 5, 30, -10);
    font.SetTexture(nullptr);
    Font::CharInfo info;
    ASSERT_TRUE(before.GetCharacterInfo('B', info));
    EXPECT_EQ(1, info.index);
    EXPECT_EQ(12, info.width);
    EXPECT_EQ(26.0f, before.GetHeight());
    EXPECT_EQ(texture, before.GetTexture());

    // The next snapshot has every change, the glyph edit not yet published included.
    const Font::Snapshot after = font.GetSnapshot();
    ASSERT_TRUE(after.GetCharacterInfo('B', info));
    EXPECT_EQ(0, info.index);
    EXPECT_EQ(5, info.width);
    EXPECT_EQ(40.0f, after.GetHeight());
    EXPECT_FALSE(after.GetTexture());

    font.SetUnicode(u"AB");
    EXPECT_FALSE(font.GetSnapshot().GetCharacterInfo('A', info)) << "8-bit lookups in a wide font";
}
