#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "backend/Base/HGEFont.h"
#include "backend/Base/HGESystemObject.h"
#include "engine/FileSystem/FileSystem.h"
#include "tests/support/BackendLogFixture.h"
#include "tests/support/FailureText.h"
#include "tests/support/FakeSprites.h"
#include "tests/support/TempFolder.h"

using EngineCore::Font;
using testing::EndsWith;

namespace {

// Little-endian bytes of a character-set file.
class Bytes {
public:
    Bytes& Magic()
    {
        data.append("kT.charset.bin", 15);
        return *this;
    }
    Bytes& U16(uint16_t v)
    {
        data.push_back(static_cast<char>(v & 0xFF));
        data.push_back(static_cast<char>(v >> 8));
        return *this;
    }
    Bytes& Record(uint16_t index, uint16_t x, uint16_t y, uint16_t w, uint16_t h, int16_t offset)
    {
        return U16(index).U16(x).U16(y).U16(w).U16(h).U16(static_cast<uint16_t>(offset));
    }
    Bytes& Raw(const std::string& bytes)
    {
        data += bytes;
        return *this;
    }
    std::string data;
};

class LoadableFont : public MobrixCore::HGEFont {
public:
    explicit LoadableFont(const std::string& name) { SetName(name); }
    using MobrixCore::HGEFont::Init;
    using MobrixCore::HGEFont::Release;
    using MobrixCore::HGEFont::GetInfo;
    using MobrixCore::HGEFont::SetName;
};

class HGEFontTest : public TestSupport::BackendLogFixture {
protected:
    std::string Put(const Bytes& bytes) { return PutFile("fonts", bytes.data); }

    static std::string FailureOf(LoadableFont& f)
    {
        return TestSupport::FailureText([&] { f.Init(); });
    }

    static unsigned GlyphCount(const LoadableFont& f)
    {
        unsigned n = 0;
        Font::CharInfo info;
        while (f.GetInfo(static_cast<uint16_t>(n), info) && n < 0x10000)
            ++n;
        return n;
    }
};

}  // namespace

TEST_F(HGEFontTest, MagicAloneLoadsAnEmptyTableAndLogs)
{
    LoadableFont f(Put(Bytes().Magic()));
    EXPECT_FALSE(f.IsValid());
    f.Init();
    EXPECT_TRUE(f.IsValid());
    EXPECT_EQ(0u, GlyphCount(f));
    const std::string name = f.GetName();
    EXPECT_EQ((std::vector<std::string>{"Font_Load (" + name + ")...", "Font_Load (" + name + ")...ok"}), Log());

    ClearLog();
    f.SetTexture(std::make_shared<TestSupport::SizedTexture>(2, 2));
    f.Release();
    f.Release();
    EXPECT_FALSE(f.IsValid());
    EXPECT_FALSE(f.GetTexture());
    EXPECT_EQ((std::vector<std::string>{"Font_Free (" + name + ")...ok"}), Log());
}

TEST_F(HGEFontTest, RecordsLandAtTheirIndexInAnyOrder)
{
    // Three records stored 2, 0, 2 (the later replaces), then five stray bytes; glyph 1
    // is named by no record and stays zeroed.
    LoadableFont f(Put(Bytes()
                           .Magic()
                           .Record(2, 1, 1, 1, 1, 1)
                           .Record(0, 10, 20, 8, 16, -3)
                           .Record(2, 40, 50, 12, 18, 4)
                           .Raw("\x01\x02\x03\x04\x05")));
    f.Init();
    ASSERT_EQ(3u, GlyphCount(f));
    f.SetAscii("abc");
    Font::CharInfo info;
    ASSERT_TRUE(f.GetCharacterInfo('a', info));
    EXPECT_EQ((std::vector<int>{0, 10, 20, 8, 16, -3}),
              (std::vector<int>{info.index, info.x, info.y, info.width, info.height, info.offset}));
    ASSERT_TRUE(f.GetCharacterInfo('b', info));
    EXPECT_EQ((std::vector<int>{0, 0, 0, 0, 0, 0}),
              (std::vector<int>{info.index, info.x, info.y, info.width, info.height, info.offset}));
    ASSERT_TRUE(f.GetCharacterInfo('c', info));
    EXPECT_EQ((std::vector<int>{2, 40, 50, 12, 18, 4}),
              (std::vector<int>{info.index, info.x, info.y, info.width, info.height, info.offset}));
    EXPECT_EQ(22.0f, f.GetHeight());
}

TEST_F(HGEFontTest, DamagedFilesFailWithTheDataErrorAndTheLogSaysWhere)
{
    const std::string shortMagic = "the file is shorter than its 15-byte magic";
    const std::string badMagic = "the magic is not \"kT.charset.bin\" and its NUL";
    struct Case {
        const char* name;
        Bytes bytes;
        int byte;
        std::string what;
    };
    const Case cases[] = {
        {"empty file", Bytes(), 0, shortMagic},
        {"short magic", Bytes().Raw(std::string("kT.charset.bin", 14)), 0, shortMagic},
        {"wrong magic", Bytes().Raw(std::string("kT.charset.bix", 15)).Record(0, 0, 0, 1, 1, 0), 0, badMagic},
        {"magic without its NUL", Bytes().Raw("kT.charset.bin!").Record(0, 0, 0, 1, 1, 0), 0, badMagic},
        {"index equal to the record count", Bytes().Magic().Record(0, 0, 0, 1, 1, 0).Record(2, 0, 0, 1, 1, 0), 27,
         "glyph record 2 names glyph 2; an index must be below the number of records (2)"},
        {"index far past the table", Bytes().Magic().Record(0xFFFF, 0, 0, 1, 1, 0), 15,
         "glyph record 1 names glyph 65535; an index must be below the number of records (1)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadableFont f(Put(c.bytes));
        const std::string name = f.GetName();
        ClearLog();
        EXPECT_THAT(FailureOf(f), EndsWith("Error: Resource (" + name + ") data error."));
        EXPECT_EQ((std::vector<std::string>{"Font_Load (" + name + ")...",
                                            "Character-set file (" + name + ") is refused at byte " +
                                                std::to_string(c.byte) + ": " + c.what + "."}),
                  Log());
        EXPECT_FALSE(f.IsValid());
        EXPECT_EQ(0u, GlyphCount(f));
    }
}

TEST_F(HGEFontTest, RefusedReloadDropsTheEarlierGlyphs)
{
    const std::string good = Put(Bytes().Magic().Record(0, 0, 0, 4, 4, 0).Record(1, 4, 0, 4, 4, 0));
    const std::string bad = Put(Bytes().Magic().Record(0, 0, 0, 4, 4, 0).Record(5, 0, 0, 1, 1, 0));
    LoadableFont f(good);
    f.Init();
    ASSERT_EQ(2u, GlyphCount(f));
    f.SetName(bad);
    EXPECT_THAT(FailureOf(f), EndsWith("Error: Resource (" + bad + ") data error."));
    EXPECT_FALSE(f.IsValid());
    EXPECT_EQ(0u, GlyphCount(f));
    f.SetAscii("a");
    Font::CharInfo info;
    EXPECT_FALSE(f.GetCharacterInfo('a', info));
}

TEST_F(HGEFontTest, NamesAreChecked)
{
    LoadableFont missing("fonts/no-such-file.bin");
    EXPECT_THAT(FailureOf(missing), EndsWith("Error: Resource (fonts/no-such-file.bin) loading error."));
    EXPECT_FALSE(missing.IsValid());

    LoadableFont unnamed("");
    EXPECT_THAT(FailureOf(unnamed), EndsWith("Error: Resource must have name."));
}

TEST_F(HGEFontTest, SecondInitReloads)
{
    LoadableFont f(Put(Bytes().Magic().Record(0, 0, 0, 4, 4, 0)));
    f.Init();
    ClearLog();
    f.Init();
    EXPECT_TRUE(f.IsValid());
    EXPECT_EQ(1u, GlyphCount(f));
    const std::string name = f.GetName();
    EXPECT_EQ((std::vector<std::string>{"Font_Free (" + name + ")...ok", "Font_Load (" + name + ")...",
                                        "Font_Load (" + name + ")...ok"}),
              Log());
}
