// The texel operations of the "Sprite" script class through the real interpreter:
// alpha from images, alpha masks, the hit test, sprite rectangles, blur and the screen
// capture. Textures keep their texels on the CPU, rows as many texels apart as the
// texture is wide, as the back-end's do; the images are made here with FreeImage.
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <lua.hpp>

#include "engine/FileSystem/FileSystem.h"
#include "engine/Renderer/RenderSystem.h"
#include "engine/Renderer/ScreenBuffer.h"
#include "engine/Resources/ResourceFactory.h"
#include "engine/Resources/ResourceManager.h"
#include "engine/System/SystemLogger.h"
#include "tests/support/FakeSprites.h"
#include "tests/support/ImageFixtures.h"
#include "tests/support/ScriptClassFixture.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestLogWriter.h"

using EngineCore::Resource;
using EngineCore::ResourceFactory;
using EngineCore::ResourceManager;
using EngineCore::RenderSystem;
using testing::ElementsAre;
using testing::EndsWith;
using TestSupport::Encode;
using TestSupport::MakePalettised;
using TestSupport::MakeTrueColour;
using TestSupport::PaletteEntry;
using TestSupport::SkewedPalette;

namespace {

const char kState[] = "sprite pixel tests";

// Every texel of a new texture: opaque, colour bytes that differ per texel.
uint32_t StartTexel(unsigned x, unsigned y)
{
    return 0xFF000000u | ((x * 37u) & 0xFFu) << 16 | ((y * 53u) & 0xFFu) << 8 | (((x + y) * 11u) & 0xFFu);
}

// A texture whose texels live in memory. It refuses locks outside itself and a second
// lock while locked, and counts its locks by kind.
class CpuTexture : public EngineCore::Texture {
public:
    explicit CpuTexture(const std::map<std::string, std::pair<unsigned, unsigned>>& sizes) : _sizes(sizes) {}

    bool Lock(unsigned x, unsigned y, unsigned width, unsigned height, bool readOnly, uint32_t*& pixels) override
    {
        if (failLocks)
            return false;
        if (IsLocked()) {
            ADD_FAILURE() << GetName() << " locked twice";
            return false;
        }
        if (x >= GetWidth() || y >= GetHeight() || width == 0 || height == 0 || width > GetWidth() - x ||
            height > GetHeight() - y)
            return false;
        ++(readOnly ? readLocks : writeLocks);
        pixels = texels.data() + size_t(y) * GetWidth() + x;
        return Texture::Lock(x, y, width, height, readOnly, pixels);
    }

    uint32_t& At(unsigned x, unsigned y) { return texels[size_t(y) * GetWidth() + x]; }
    unsigned char Alpha(unsigned x, unsigned y) { return static_cast<unsigned char>(At(x, y) >> 24); }
    void SetAlpha(unsigned x, unsigned y, unsigned alpha) { At(x, y) = (At(x, y) & 0x00FFFFFFu) | alpha << 24; }
    void Fill(uint32_t argb) { texels.assign(texels.size(), argb); }

    std::vector<uint32_t> texels;
    int readLocks = 0;
    int writeLocks = 0;
    bool failLocks = false;

protected:
    void Init() override
    {
        auto known = _sizes.find(GetName());
        const auto size = known != _sizes.end() ? known->second : std::make_pair(32u, 32u);
        SetSize(size.first, size.second);
        texels.resize(size_t(size.first) * size.second);
        for (unsigned y = 0; y < size.second; ++y)
            for (unsigned x = 0; x < size.first; ++x)
                At(x, y) = StartTexel(x, y);
    }

private:
    const std::map<std::string, std::pair<unsigned, unsigned>>& _sizes;
};

// Captures of a fixed 64-pixel-wide screen, made as the back-end names them.
class FakeScreenBuffer : public EngineCore::ScreenBuffer {
public:
    explicit FakeScreenBuffer(std::map<std::string, std::pair<unsigned, unsigned>>& sizes) : _sizes(sizes) {}
    bool fail = false;
    bool notATexture = false;
    mutable int made = 0;

protected:
    bool MakeScreenshot(const char*) override { return false; }
    bool GetCurrentTexture(float a, float b, std::shared_ptr<Resource>& out) const override
    {
        const std::string name = "HGE.ScreenBuffer" + std::to_string(made++);
        if (fail)
            return false;
        if (notATexture) {
            out = std::make_shared<TestSupport::FakeAnimatedSprite>();
            return true;
        }
        _sizes[name] = {unsigned(64 * a), unsigned(64 * b)};
        return ResourceManager::Instance().GetResource(name, Resource::RT_TEXTURE, out);
    }

private:
    std::map<std::string, std::pair<unsigned, unsigned>>& _sizes;
};

std::vector<unsigned char> Png(FIBITMAP* bitmap)
{
    return Encode(bitmap, FIF_PNG);
}

// An 8-bit mask whose palette entry i has red i (green and blue differ from it).
std::vector<unsigned char> Mask(int width, int height, const std::function<unsigned(int, int)>& red)
{
    std::vector<PaletteEntry> palette;
    for (int i = 0; i < 256; ++i)
        palette.push_back({static_cast<unsigned char>(i), static_cast<unsigned char>(255 - i),
                           static_cast<unsigned char>(i ^ 0x5A)});
    return Png(MakePalettised(width, height, 8, palette, red));
}

class SpritePixelsTest : public TestSupport::ScriptClassFixture<> {
protected:
    void SetUp() override
    {
        RenderSystem::Instance().SetCurrentGameState(kState);
        ResourceFactory& factory = ResourceFactory::Instance();
        ASSERT_TRUE(factory.RegisterResourceCreator(Resource::RT_SPRITE, []() -> std::shared_ptr<Resource> {
            return std::make_shared<TestSupport::FakeAnimatedSprite>();
        }));
        ASSERT_TRUE(factory.RegisterResourceCreator(Resource::RT_TEXTURE, [this]() -> std::shared_ptr<Resource> {
            return std::make_shared<CpuTexture>(sizes);
        }));
        TestSupport::InstallLogWriter([this](const char* line) { logLines.push_back(line); });
        ASSERT_NO_FATAL_FAILURE(OpenScripts());
    }
    void TearDown() override
    {
        engine.Close();
        RenderSystem::Instance().SetScreenBufferInstance(nullptr);
        ResourceManager::Instance().Clear();
        ResourceFactory::Instance().UnregisterResourceCreator(Resource::RT_SPRITE);
        ResourceFactory::Instance().UnregisterResourceCreator(Resource::RT_TEXTURE);
        EngineCore::SystemLogger::Instance().SetLogger(nullptr);
        RenderSystem::Instance().RemoveGameState(kState);
    }

    // Content files under the data folder, which the file system indexes.
    void AddFile(const std::string& name, const std::vector<unsigned char>& bytes)
    {
        data.WriteFile(name, bytes);
        EngineCore::FileSystem::Instance().AddDirectory(data.Path());
    }

    CpuTexture& Texture(const std::string& name, unsigned width, unsigned height)
    {
        sizes[name] = {width, height};
        return Texture(name);
    }
    CpuTexture& Texture(const std::string& name)
    {
        std::shared_ptr<Resource> resource;
        EXPECT_TRUE(ResourceManager::Instance().GetResource(name, Resource::RT_TEXTURE, resource));
        auto* texture = dynamic_cast<CpuTexture*>(resource.get());
        if (!texture)
            throw std::logic_error("no texture " + name);
        return *texture;
    }
    TestSupport::FakeAnimatedSprite& Sprite(const std::string& name)
    {
        std::shared_ptr<Resource> resource;
        EXPECT_TRUE(ResourceManager::Instance().GetResource(name, Resource::RT_SPRITE, resource));
        return dynamic_cast<TestSupport::FakeAnimatedSprite&>(*resource);
    }

    std::map<std::string, std::pair<unsigned, unsigned>> sizes;
    std::vector<std::string> logLines;
    TestSupport::TempFolder data;
};

// --- Alpha from an image ------------------------------------------------------------

// Byte 3 of every texel becomes the red of the image pixel at the same place, the image
// read top row first through its padded rows; colour bytes stay.
TEST_F(SpritePixelsTest, TextureAlphaIsTheRedOfEachImagePixel)
{
    struct Case {
        const char* name;
        int width, height, bits;
        FREE_IMAGE_FORMAT format;
    } cases[] = {
        {"8-bit png, 13 wide (pitch 16)", 13, 5, 8, FIF_PNG},
        {"8-bit bmp", 13, 5, 8, FIF_BMP},
        {"8-bit gif", 11, 4, 8, FIF_GIF},
        {"4-bit png", 7, 3, 4, FIF_PNG},
        {"1-bit png, 33 wide", 33, 2, 1, FIF_PNG},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string tex = "alpha/t" + std::to_string(n) + ".jpg";
        const std::string img = "alpha/i" + std::to_string(n) + ".img";
        const std::string spr = "alpha" + std::to_string(n++);
        const int colours = 1 << c.bits;
        const auto palette = SkewedPalette(colours);
        // Differs from its own mirror image top to bottom.
        auto index = [&](int x, int y) { return unsigned(x * 3 + y * 7 + x * y) % unsigned(colours); };
        AddFile(img, Encode(MakePalettised(c.width, c.height, c.bits, palette, index), c.format));
        CpuTexture& texture = Texture(tex, unsigned(c.width), unsigned(c.height));

        Run("s = Sprite() s:SetName('" + spr + "') s:SetTexture('" + tex + "') s:SetTextureAlpha('" + img + "')");
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                const uint32_t texel = texture.At(unsigned(x), unsigned(y));
                ASSERT_EQ(palette[index(x, y)].red, texel >> 24) << x << "," << y;
                ASSERT_EQ(StartTexel(unsigned(x), unsigned(y)) & 0x00FFFFFFu, texel & 0x00FFFFFFu) << x << "," << y;
            }
        EXPECT_EQ(1, texture.writeLocks);
        EXPECT_FALSE(texture.IsLocked());
    }
}

// One record per texture: a second sprite with the same image only counts a use; uses
// are given back by DecrementAlphaCounter and by collected wrappers; two inventory
// textures trace each counted change in the log.
TEST_F(SpritePixelsTest, AlphaUsesAreCountedPerTexture)
{
    struct Case {
        const char* texture;
        const char* item;  // null: nothing logged
    } cases[] = {
        {"Base/QuestItems/InventoryImages/bag.jpg", "Bag"},
        {"Base/QuestItems/InventoryImages/EmptyItem.jpg", "EmptyItem"},
        {"Base/QuestItems/InventoryImages/Key.jpg", nullptr},
    };
    const auto palette = SkewedPalette(256);
    AddFile("count/first.png", Png(MakePalettised(6, 4, 8, palette, [](int x, int y) { return unsigned(x + 6 * y); })));
    AddFile("count/second.png", Png(MakePalettised(6, 4, 8, palette, [](int x, int y) { return unsigned(99 - x - y); })));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.texture);
        logLines.clear();
        CpuTexture& texture = Texture(c.texture, 6, 4);
        // The log since the last look: the traced line for the change, or nothing.
        auto expectLogged = [&](const char* change, int count) {
            std::vector<std::string> want;
            if (c.item)
                want.push_back(std::string("\t\t") + change + " " + c.item + " Alpha: " + std::to_string(count));
            EXPECT_EQ(want, logLines) << change << " " << count;
            logLines.clear();
        };
        // Every wrapper below attaches the sprite "holder", which shows the texture.
        Run("x = Sprite() x:SetName('holder') x:SetTexture('" + std::string(c.texture) + "') x = nil");
        Run("a = Sprite() a:SetName('holder') a:SetTextureAlpha('count/first.png')");
        EXPECT_TRUE(logLines.empty());
        EXPECT_EQ(1, texture.writeLocks);
        Run("b = Sprite() b:SetName('holder') b:SetTextureAlpha('count/first.png')");
        EXPECT_EQ(1, texture.writeLocks);
        expectLogged("Add", 2);

        Run("a:DecrementAlphaCounter()");
        expectLogged("Delete", 1);
        Run("a = nil");
        expectLogged("Delete", 0);
        // The record is gone: nothing more to give back, and the next use writes again.
        Run("b = nil");
        Run("c = Sprite() c:SetName('holder') c:SetTextureAlpha('count/first.png')");
        EXPECT_TRUE(logLines.empty());
        EXPECT_EQ(2, texture.writeLocks);

        // Another image rewrites every alpha byte and starts the count again at 1.
        Run("d = Sprite() d:SetName('holder') d:SetTextureAlpha('count/second.png')");
        EXPECT_EQ(3, texture.writeLocks);
        EXPECT_EQ(palette[99].red, texture.Alpha(0, 0));
        EXPECT_EQ(palette[99 - 5 - 3].red, texture.Alpha(5, 3));
        EXPECT_TRUE(logLines.empty());
        Run("e = Sprite() e:SetName('holder') e:SetTextureAlpha('count/second.png')");
        expectLogged("Add", 2);
        Run("c = nil d = nil e = nil");
    }
    // Nothing to give back: no sprite, no texture, or no record for the texture.
    logLines.clear();
    Run("n = Sprite() n:DecrementAlphaCounter() n:SetName('bare') n:DecrementAlphaCounter() "
        "n:SetTexture('count/none.jpg') n:DecrementAlphaCounter()");
    EXPECT_TRUE(logLines.empty());
}

TEST_F(SpritePixelsTest, AlphaImagesThatDoNotFitAreRefused)
{
    const auto palette = SkewedPalette(256);
    auto eightBit = [&](int w, int h) { return Png(MakePalettised(w, h, 8, palette, [](int, int) { return 7u; })); };
    AddFile("refuse/rgb24.png", Png(MakeTrueColour(13, 5, 24, [](int, int) { return 0xFF102030u; })));
    AddFile("refuse/rgb32.png", Png(MakeTrueColour(13, 5, 32, [](int, int) { return 0x80102030u; })));
    AddFile("refuse/narrow.png", eightBit(12, 5));
    AddFile("refuse/short.png", eightBit(13, 4));
    AddFile("refuse/garbage.png", std::vector<unsigned char>(300, 0xAB));
    AddFile("refuse/empty.png", {});
    AddFile("refuse/good.png", eightBit(13, 5));
    const std::string tex = "refuse/t.jpg";
    CpuTexture& texture = Texture(tex, 13, 5);
    Run("s = Sprite() s:SetName('refuse') s:SetTexture('" + tex + "')");

    struct Case {
        const char* image;
        std::string message;
    } cases[] = {
        {"refuse/rgb24.png", "Resource (refuse/rgb24.png) content error."},
        {"refuse/rgb32.png", "Resource (refuse/rgb32.png) content error."},
        {"refuse/narrow.png", "Texture (refuse/t.jpg) and TextureAlpha (refuse/narrow.png) size is wrong."},
        {"refuse/short.png", "Texture (refuse/t.jpg) and TextureAlpha (refuse/short.png) size is wrong."},
        {"refuse/garbage.png", "Resource (refuse/garbage.png) creating error."},
        {"refuse/empty.png", "Resource (refuse/empty.png) creating error."},
        {"refuse/missing.png", "Resource (refuse/missing.png) creating error."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.image);
        EXPECT_THAT(FailureOf(std::string("s:SetTextureAlpha('") + c.image + "')"), EndsWith(c.message));
        EXPECT_EQ(0, texture.writeLocks);
        EXPECT_EQ(StartTexel(12, 4), texture.At(12, 4));
    }
    texture.failLocks = true;
    EXPECT_THAT(FailureOf("s:SetTextureAlpha('refuse/good.png')"), EndsWith("Texture (refuse/t.jpg) lock error."));
    texture.failLocks = false;
    EXPECT_EQ(0xFFu, texture.Alpha(0, 0));
    // The failures recorded nothing: the good image is written now.
    Run("s:SetTextureAlpha('refuse/good.png')");
    EXPECT_EQ(palette[7].red, texture.Alpha(0, 0));
    EXPECT_FALSE(texture.IsLocked());

    EXPECT_THAT(FailureOf("n = Sprite() n:SetTextureAlpha('refuse/good.png')"),
                EndsWith("Sprite not initialized. First call - SetName()."));
    EXPECT_THAT(FailureOf("n:SetName('bare') n:SetTextureAlpha('refuse/good.png')"),
                EndsWith("Base texture is not initialized. Use SetTexture() before SetTextureAlpha()."));
}

// A texture freed by the resource manager and loaded again has lost its alpha: the
// record for its name must not keep the image from being written again.
TEST_F(SpritePixelsTest, ReloadedTextureGetsItsAlphaAgain)
{
    const auto palette = SkewedPalette(256);
    AddFile("reload/a.png", Png(MakePalettised(5, 3, 8, palette, [](int x, int y) { return unsigned(x * 3 + y); })));
    const std::string tex = "reload/t.jpg";
    Texture(tex, 5, 3);
    Run("a = Sprite() a:SetName('first') a:SetTexture('" + tex + "') a:SetTextureAlpha('reload/a.png')");
    EXPECT_EQ(palette[4 * 3 + 2].red, Texture(tex).Alpha(4, 2));

    // The texture goes (the count stays held by a), and the name is loaded again.
    Run("a:SetTexture('reload/other.jpg')");
    {
        std::shared_ptr<Resource> old;
        ASSERT_TRUE(ResourceManager::Instance().GetResource(tex, Resource::RT_TEXTURE, old));
        ResourceManager::Instance().RemoveResource(old);
    }
    CpuTexture& again = Texture(tex);
    EXPECT_EQ(0xFFu, again.Alpha(4, 2));
    Run("b = Sprite() b:SetName('second') b:SetTexture('" + tex + "') b:SetTextureAlpha('reload/a.png')");
    for (unsigned y = 0; y < 3; ++y)
        for (unsigned x = 0; x < 5; ++x)
            EXPECT_EQ(palette[x * 3 + y].red, again.Alpha(x, y)) << x << "," << y;
}

// --- Alpha masks --------------------------------------------------------------------

// alpha' = floor(alpha * red / 255) inside the rectangle; a second mask works on the
// result; RestoreAlpha brings back the alpha of before the first mask, once.
TEST_F(SpritePixelsTest, MaskMultipliesTheAlphaInsideTheRectangle)
{
    struct Case {
        unsigned alpha, red, once, twice;
    } cases[] = {
        {200, 100, 78, 30}, {255, 128, 128, 64}, {255, 255, 255, 255}, {77, 0, 0, 0},
        {1, 254, 0, 0},     {255, 1, 1, 0},      {128, 255, 128, 128}, {0, 255, 0, 0},
    };
    const unsigned n = sizeof cases / sizeof cases[0];
    const std::string tex = "mask/t.jpg";
    CpuTexture& texture = Texture(tex, 13, 5);
    // Row 1 holds the cases; rows 0, 2..4 sit outside the rectangle under a mask of 0.
    for (unsigned x = 0; x < n; ++x)
        texture.SetAlpha(x, 1, cases[x].alpha);
    AddFile("mask/m.png", Mask(13, 5, [&](int x, int y) { return y == 1 && unsigned(x) < n ? cases[x].red : 0u; }));
    const std::vector<uint32_t> before = texture.texels;

    Run("s = Sprite() s:SetName('masked') s:SetTexture('" + tex + "') s:SetTextureRect(0, 1, 13, 1) "
        "s:ApplyAlphaMask('mask/m.png')");
    for (unsigned x = 0; x < n; ++x)
        EXPECT_EQ(cases[x].once, texture.Alpha(x, 1)) << cases[x].alpha << " x " << cases[x].red;
    for (unsigned y : {0u, 2u, 3u, 4u})
        for (unsigned x = 0; x < 13; ++x)
            ASSERT_EQ(before[y * 13 + x], texture.At(x, y)) << x << "," << y;
    for (unsigned x = 0; x < 13; ++x)
        ASSERT_EQ(before[13 + x] & 0x00FFFFFFu, texture.At(x, 1) & 0x00FFFFFFu);

    Run("s:ApplyAlphaMask('mask/m.png')");
    for (unsigned x = 0; x < n; ++x)
        EXPECT_EQ(cases[x].twice, texture.Alpha(x, 1)) << cases[x].alpha << " x " << cases[x].red;

    Run("s:RestoreAlpha()");
    EXPECT_EQ(before, texture.texels);
    // Nothing is applied any more: a second RestoreAlpha writes nothing.
    texture.SetAlpha(0, 1, 9);
    Run("s:RestoreAlpha()");
    EXPECT_EQ(9u, texture.Alpha(0, 1));
    EXPECT_FALSE(texture.IsLocked());
}

// RestoreAlpha gives the saved bytes to a rectangle of the saved size only, wherever it
// now lies; a rectangle of another size gets nothing and the mask stays applied.
TEST_F(SpritePixelsTest, RestoreAlphaFollowsTheRectangle)
{
    const std::string tex = "restore/t.jpg";
    CpuTexture& texture = Texture(tex, 13, 5);
    for (unsigned y = 0; y < 5; ++y)
        for (unsigned x = 0; x < 13; ++x)
            texture.SetAlpha(x, y, 10 * x + 50 * y + 5);
    AddFile("restore/zero.png", Mask(13, 5, [](int, int) { return 0u; }));
    const std::vector<uint32_t> before = texture.texels;

    Run("s = Sprite() s:SetName('restored') s:SetTexture('" + tex + "') s:SetTextureRect(0, 0, 4, 2) "
        "s:ApplyAlphaMask('restore/zero.png')");
    EXPECT_EQ(0u, texture.Alpha(3, 1));
    Run("s:SetTextureRect(0, 0, 5, 2) s:RestoreAlpha()");
    EXPECT_EQ(0u, texture.Alpha(3, 1));
    Run("s:SetTextureRect(0, 0, 4, 2) s:RestoreAlpha()");
    EXPECT_EQ(before, texture.texels);

    // Moved: the bytes saved at the first mask land in the new place.
    Run("s:ApplyAlphaMask('restore/zero.png') s:SetTextureRect(6, 2, 4, 2) s:RestoreAlpha()");
    for (unsigned y = 0; y < 2; ++y)
        for (unsigned x = 0; x < 4; ++x) {
            EXPECT_EQ(0u, texture.Alpha(x, y));
            EXPECT_EQ(10 * x + 50 * y + 5, texture.Alpha(6 + x, 2 + y));
        }
}

// A mask is decoded once while any wrapper holds a use of it, and freed with the last.
TEST_F(SpritePixelsTest, MasksAreSharedAndFreedWithTheirLastUser)
{
    const std::string path = data / "shared/m.png";
    AddFile("shared/m.png", Mask(4, 4, [](int, int) { return 128u; }));
    Texture("shared/a.jpg", 4, 4);
    Texture("shared/b.jpg", 4, 4);
    Texture("shared/c.jpg", 4, 4);
    Run("a = Sprite() a:SetName('sa') a:SetTexture('shared/a.jpg') a:SetFullTextureRect() "
        "a:ApplyAlphaMask('shared/m.png')");
    // From now on the file cannot be read again.
    std::remove(path.c_str());
    EngineCore::FileSystem::Instance().FreeCache();
    Run("b = Sprite() b:SetName('sb') b:SetTexture('shared/b.jpg') b:SetFullTextureRect() "
        "b:ApplyAlphaMask('shared/m.png') b:ApplyAlphaMask('shared/m.png')");
    EXPECT_EQ(64u, Texture("shared/b.jpg").Alpha(3, 3));
    Run("a = nil");
    Run("c = Sprite() c:SetName('sc') c:SetTexture('shared/c.jpg') c:SetFullTextureRect() "
        "c:ApplyAlphaMask('shared/m.png')");
    EXPECT_EQ(128u, Texture("shared/c.jpg").Alpha(0, 0));
    Run("b = nil c = nil");
    EXPECT_THAT(FailureOf("d = Sprite() d:SetName('sd') d:SetTexture('shared/c.jpg') d:ApplyAlphaMask('shared/m.png')"),
                EndsWith("Resource (shared/m.png) creating error."));
}

// Masks of another size and rectangles reaching past the texture change only texels
// that lie on the texture, on the mask and in the rectangle.
TEST_F(SpritePixelsTest, MasksAndRectanglesAreClippedToTheTexture)
{
    AddFile("clip/narrow.png", Mask(5, 3, [](int, int) { return 0u; }));
    AddFile("clip/large.png", Mask(20, 9, [](int x, int y) { return unsigned(x + 20 * y); }));
    AddFile("clip/zero.png", Mask(13, 5, [](int, int) { return 0u; }));
    struct Case {
        const char* name;
        const char* mask;
        // x, y, width, height given to the sprite itself (no clamping), or by script.
        float rx, ry, rw, rh;
        bool byScript;
        std::function<bool(unsigned, unsigned)> changes;
        std::function<unsigned(unsigned, unsigned)> alpha;
    } cases[] = {
        {"narrow mask", "clip/narrow.png", 0, 0, 13, 5, true, [](unsigned x, unsigned y) { return x < 5 && y < 3; },
         [](unsigned, unsigned) { return 0u; }},
        {"larger mask", "clip/large.png", 0, 0, 13, 5, true, [](unsigned, unsigned) { return true; },
         [](unsigned x, unsigned y) { return (x + 20 * y) * 255 / 255; }},
        {"negative width", "clip/zero.png", 20, 0, 5, 5, true, [](unsigned, unsigned) { return false; }, nullptr},
        {"rectangle past the corner", "clip/zero.png", 10, 3, 40, 40, false,
         [](unsigned x, unsigned y) { return x >= 10 && y >= 3; }, [](unsigned, unsigned) { return 0u; }},
        {"rectangle before the corner", "clip/zero.png", -3, -2, 5, 4, false,
         [](unsigned x, unsigned y) { return x < 2 && y < 2; }, [](unsigned, unsigned) { return 0u; }},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string tex = "clip/t" + std::to_string(n) + ".jpg";
        const std::string spr = "clip" + std::to_string(n++);
        CpuTexture& texture = Texture(tex, 13, 5);
        const std::vector<uint32_t> before = texture.texels;
        Run("s = Sprite() s:SetName('" + spr + "') s:SetTexture('" + tex + "')");
        char rect[128];
        std::snprintf(rect, sizeof rect, "s:SetTextureRect(%g, %g, %g, %g)", c.rx, c.ry, c.rw, c.rh);
        if (c.byScript)
            Run(rect);
        else
            Sprite(spr).SetTextureRect(c.rx, c.ry, c.rw, c.rh);
        Run(std::string("s:ApplyAlphaMask('") + c.mask + "')");
        for (unsigned y = 0; y < 5; ++y)
            for (unsigned x = 0; x < 13; ++x) {
                if (c.changes(x, y))
                    ASSERT_EQ(c.alpha(x, y), texture.Alpha(x, y)) << x << "," << y;
                else
                    ASSERT_EQ(before[y * 13 + x], texture.At(x, y)) << x << "," << y;
            }
        Run("s:RestoreAlpha()");
        EXPECT_EQ(before, texture.texels);
        Run("s = nil");
    }
}

TEST_F(SpritePixelsTest, MaskFailuresNameTheirCause)
{
    AddFile("maskfail/rgb.png", Png(MakeTrueColour(4, 4, 24, [](int, int) { return 0xFFFFFFFFu; })));
    AddFile("maskfail/m.png", Mask(4, 4, [](int, int) { return 0u; }));
    CpuTexture& texture = Texture("maskfail/t.jpg", 4, 4);
    EXPECT_THAT(FailureOf("s = Sprite() s:ApplyAlphaMask('maskfail/m.png')"),
                EndsWith("Sprite not initialized. First call - SetName()."));
    EXPECT_THAT(FailureOf("s:SetName('mf') s:ApplyAlphaMask('maskfail/m.png')"),
                EndsWith("Base texture is not initialized. Use SetTexture() before SetTextureAlpha()."));
    Run("s:SetTexture('maskfail/t.jpg') s:SetFullTextureRect()");
    texture.failLocks = true;
    EXPECT_THAT(FailureOf("s:ApplyAlphaMask('maskfail/m.png')"), EndsWith("Texture (maskfail/t.jpg) lock error."));
    texture.failLocks = false;
    // Kept in the cache although it is no mask: refused again without reading the file.
    for (int i = 0; i < 2; ++i)
        EXPECT_THAT(FailureOf("s:ApplyAlphaMask('maskfail/rgb.png')"), EndsWith("Resource (maskfail/rgb.png) content error."));
    EXPECT_THAT(FailureOf("s:ApplyAlphaMask('maskfail/none.png')"), EndsWith("Resource (maskfail/none.png) creating error."));
    EXPECT_EQ(0xFFu, texture.Alpha(1, 1));
    EXPECT_FALSE(texture.IsLocked());
}

// --- Hit tests ----------------------------------------------------------------------

// Each point is tested on a texture whose only opaque texel is the one it should map
// to, and on one where only that texel is transparent.
TEST_F(SpritePixelsTest, HitTestMapsScreenPointsToTexels)
{
    struct Case {
        const char* name;
        float x, y;
        const char* setup;  // script run on the sprite s
        int tx, ty;         // texel, -1: none
    } cases[] = {
        {"top-left texel", 84, 84, "", 0, 0},
        {"bottom-right texel", 115, 115, "", 31, 31},
        {"right edge, top row", 115.99f, 84, "", 31, 0},
        {"just past the right edge", 116, 100, "", -1, -1},
        {"half a pixel left still column 0", 83.5f, 84, "", 0, 0},
        {"almost a pixel above still row 0", 84, 83.01f, "", 0, 0},
        {"a whole pixel left", 83, 84, "", -1, -1},
        {"quarter turn", 99.5f, 110.5f, "s:SetRotation(90)", 26, 16},
        {"scales do not count", 84, 84, "s:SetHorizontalScale(2) s:SetVerticalScale(2)", 0, 0},
        {"horizontal flip mirrors within the rectangle", 84, 84,
         "s:SetTexture('hit/wide.jpg') s:SetTextureRect(32, 0, 32, 32) s:SetFlipHorizontal(1)", 63, 0},
        {"vertical flip", 84, 85, "s:SetFlipVertical(1)", 0, 30},
        {"rectangle of no width", 100, 100, "s:SetTextureRect(0, 0, 0, 32)", -1, -1},
        {"hidden sprites answer too", 100, 100, "s:Hide()", 16, 16},
    };
    Texture("hit/t.jpg", 32, 32);
    Texture("hit/wide.jpg", 64, 32);
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string spr = "hit" + std::to_string(n++);
        Run("s = Sprite() s:SetName('" + spr + "') s:SetTexture('hit/t.jpg') s:SetFullTextureRect() "
            "s:SetPosition(100, 100) s:SetHotSpot(16, 16) s:Show() " + c.setup);
        Run("name = s:GetTexture()");
        CpuTexture& shown = Texture(String("name"));
        char call[96];
        std::snprintf(call, sizeof call, "hit = s:IsAlphaCollided(%.9g, %.9g)", c.x, c.y);
        // Any texel that is not fully transparent hits, the faintest one included.
        const struct {
            const char* what;
            bool onlyThisOne;
            unsigned alpha;
        } passes[] = {
            {"only opaque texel", true, 255u},
            {"only texel of alpha 1", true, 1u},
            {"only clear texel", false, 0u},
        };
        for (const auto& pass : passes) {
            shown.Fill(pass.onlyThisOne ? 0x00FFFFFFu : 0xFFFFFFFFu);
            if (c.tx >= 0)
                shown.SetAlpha(unsigned(c.tx), unsigned(c.ty), pass.alpha);
            Run(call);
            const bool expected = c.tx >= 0 && pass.onlyThisOne;
            EXPECT_EQ(expected ? 1 : 0, Number("hit")) << pass.what;
            // What GUI controls ask: the sprite's collision function.
            EXPECT_EQ(expected, Sprite(spr).IsAlphaCollided(c.x, c.y));
        }
        // A hit test reads: it never makes the texture upload itself again.
        EXPECT_EQ(0, shown.writeLocks);
        EXPECT_FALSE(shown.IsLocked());
        Run("s = nil");
    }
}

TEST_F(SpritePixelsTest, HitTestFailuresAndTexelsOffTheTexture)
{
    CpuTexture& texture = Texture("hitfail/t.jpg", 32, 32);
    EXPECT_THAT(FailureOf("s = Sprite() s:IsAlphaCollided(0, 0)"),
                EndsWith("Sprite not initialized. First call - SetName()."));
    EXPECT_THAT(FailureOf("s:SetName('hf') s:IsAlphaCollided(0, 0)"),
                EndsWith("Base texture is not initialized. Use SetTexture() before IsAlphaCollided()."));
    Run("s:SetTexture('hitfail/t.jpg') s:SetFullTextureRect()");
    texture.failLocks = true;
    EXPECT_THAT(FailureOf("s:IsAlphaCollided(1, 1)"), EndsWith("Texture (hitfail/t.jpg) lock error."));
    texture.failLocks = false;
    // A rectangle the sprite was given past its texture: nothing there to hit.
    Sprite("hf").SetTextureRect(0, 0, 64, 64);
    Run("inside = s:IsAlphaCollided(31, 31) outside = s:IsAlphaCollided(40, 40)");
    EXPECT_EQ(1, Number("inside"));
    EXPECT_EQ(0, Number("outside"));
}

// Rectangles centred on the positions, texture-rectangle sized; touching is no overlap.
TEST_F(SpritePixelsTest, SpriteRectanglesCollideWhenTheyShareAnArea)
{
    struct Case {
        float x, y;
        int collided;
    } cases[] = {
        {10, 0, 0}, {9, 0, 1}, {-10, 0, 0}, {-9.5f, 0, 1}, {0, 10, 0}, {0, -9, 1}, {9.9f, 9.9f, 1}, {0, 0, 1},
    };
    Texture("rects/t.jpg", 64, 64);
    Run("a = Sprite() a:SetName('ra') a:SetTexture('rects/t.jpg') a:SetTextureRect(0, 0, 10, 10) "
        "b = Sprite() b:SetName('rb') b:SetTexture('rects/t.jpg') b:SetTextureRect(5, 5, 10, 10) "
        "b:SetHotSpot(7, 3) b:SetHorizontalScale(4) b:SetRotation(45)");
    for (const Case& c : cases) {
        char script[128];
        std::snprintf(script, sizeof script, "b:SetPosition(%g, %g) hit = a:IsSpriteCollided('rb') back = b:IsSpriteCollided('ra')",
                      c.x, c.y);
        Run(script);
        EXPECT_EQ(c.collided, Number("hit")) << c.x << "," << c.y;
        EXPECT_EQ(c.collided, Number("back")) << c.x << "," << c.y;
    }
    // An unknown name is made into an empty sprite, which overlaps nothing.
    EXPECT_FALSE(ResourceManager::Instance().IsExist("rnew"));
    Run("hit = a:IsSpriteCollided('rnew')");
    EXPECT_EQ(0, Number("hit"));
    EXPECT_TRUE(ResourceManager::Instance().IsExist("rnew"));
    EXPECT_THAT(FailureOf("a:IsSpriteCollided('rects/t.jpg')"), EndsWith("Resource (rects/t.jpg) not found."));
    EXPECT_THAT(FailureOf("n = Sprite() n:IsSpriteCollided('ra')"),
                EndsWith("Sprite not initialized. First call - SetName()."));
}

// --- Blur ---------------------------------------------------------------------------

unsigned Channel(uint32_t texel, int shift)
{
    return (texel >> shift) & 0xFFu;
}

TEST_F(SpritePixelsTest, BlurSpreadsOneTexelAndKeepsAlpha)
{
    const unsigned expected[7] = {51, 45, 31, 17, 7, 2, 1};
    CpuTexture& row = Texture("blur/row.jpg", 40, 1);
    row.Fill(0x80000000u);
    row.At(20, 0) = 0xC0FFFFFFu;
    Run("s = Sprite() s:SetName('blurred') s:SetTexture('blur/row.jpg') s:BlurTexture(1)");
    for (unsigned x = 0; x < 40; ++x) {
        const int offset = int(x) - 20;
        const unsigned want = offset >= -6 && offset <= 6 ? expected[std::abs(offset)] : 0;
        for (int shift : {0, 8, 16})
            EXPECT_EQ(want, Channel(row.At(x, 0), shift)) << x;
        EXPECT_EQ(x == 20 ? 0xC0u : 0x80u, row.Alpha(x, 0)) << x;
    }

    // Only the top 384 rows: the same column of white in every row survives the
    // vertical pass there, and rows below are not touched.
    CpuTexture& tall = Texture("blur/tall.jpg", 16, 1024);
    for (unsigned y = 0; y < 1024; ++y)
        for (unsigned x = 0; x < 16; ++x)
            tall.At(x, y) = x == 8 ? 0xFFFFFFFFu : 0xFF000000u | y;
    const std::vector<uint32_t> before = tall.texels;
    Run("s:SetTexture('blur/tall.jpg') s:BlurTexture(1)");
    for (unsigned y : {0u, 200u, 383u})
        for (unsigned x = 2; x < 15; ++x)
            EXPECT_EQ(expected[std::abs(int(x) - 8)], Channel(tall.At(x, y), 16)) << x << "," << y;
    EXPECT_TRUE(std::equal(before.begin() + 384 * 16, before.end(), tall.texels.begin() + 384 * 16));
}

TEST_F(SpritePixelsTest, BlurOfNoPassesChangesNothing)
{
    CpuTexture& texture = Texture("blur/none.jpg", 9, 3);
    const std::vector<uint32_t> before = texture.texels;
    for (const char* passes : {"0", "-1", "-2147483648", "4294967296", "0.9"}) {
        Run(std::string("s = Sprite() s:SetName('still') s:SetTexture('blur/none.jpg') s:BlurTexture(") + passes + ")");
        EXPECT_EQ(before, texture.texels) << passes;
        EXPECT_EQ(0, texture.writeLocks) << passes;
    }
    EXPECT_THAT(FailureOf("n = Sprite() n:SetName('bare') n:BlurTexture(1)"),
                EndsWith("Base texture is not initialized. Use SetTexture() before ApplyAlphaMask()."));
    texture.failLocks = true;
    Run("s:BlurTexture(2)");
    EXPECT_EQ(before, texture.texels);
}

// --- Screen capture -----------------------------------------------------------------

TEST_F(SpritePixelsTest, ScreenCaptureBecomesTheSpritesTexture)
{
    auto buffer = std::make_shared<FakeScreenBuffer>(sizes);
    EXPECT_THAT(FailureOf("s = Sprite() s:SetName('shot') s:SetScreenBufferTexture(0.5, 0.5)"),
                EndsWith("SpriteWrapper::SetScreenBufferTexture internal error."));
    RenderSystem::Instance().SetScreenBufferInstance(buffer);

    Run("s:SetRotation(30) s:SetHotSpot(3, 4) s:SetPosition(5, 6) s:SetScreenBufferTexture(0.5, 0.25) "
        "t = s:GetTexture() x, y, w, h = s:GetTextureRect() sx = s:GetHorizontalScale() sy = s:GetVerticalScale() "
        "px, py = s:GetPosition() hx, hy = s:GetHotSpot() r = s:GetRotation()");
    EXPECT_EQ("HGE.ScreenBuffer0", String("t"));
    for (auto v : {std::make_pair("x", 0.0), {"y", 0.0}, {"w", 32.0}, {"h", 16.0}, {"sx", 2.0}, {"sy", 4.0},
                   {"px", 0.0}, {"py", 0.0}, {"hx", 0.0}, {"hy", 0.0}, {"r", 0.0}})
        EXPECT_EQ(v.second, Number(v.first)) << v.first;
    TestSupport::FakeAnimatedSprite& sprite = Sprite("shot");
    EXPECT_EQ(Sprite("shot").GetTexture().get(), &Texture("HGE.ScreenBuffer0"));
    const std::vector<std::string> tail(sprite.calls.end() - 5, sprite.calls.end());
    EXPECT_THAT(tail, ElementsAre("SetTextureRect", "SetRotation", "SetPosition", "SetVerticalScale",
                                  "SetHorizontalScale"));

    Run("s:SetScreenBufferTexture(1, 1) t = s:GetTexture()");
    EXPECT_EQ("HGE.ScreenBuffer1", String("t"));

    buffer->fail = true;
    EXPECT_THAT(FailureOf("s:SetScreenBufferTexture(1, 1)"),
                EndsWith("SpriteWrapper::SetScreenBufferTexture internal error."));
    buffer->fail = false;
    buffer->notATexture = true;
    EXPECT_THAT(FailureOf("s:SetScreenBufferTexture(1, 1)"), EndsWith("Internal error."));
    Run("t = s:GetTexture()");
    EXPECT_EQ("HGE.ScreenBuffer1", String("t"));
}

}  // namespace
