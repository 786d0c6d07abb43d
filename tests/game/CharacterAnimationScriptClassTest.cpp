// The "CharacterAnimation" script class through the real application and interpreter.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <FreeImage.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/Renderer/Texture.h"
#include "engine/System/EngineError.h"
#include "game/Wrappers/TextureAlphaRecord.h"
#include "tests/game/GameFlowHarness.h"

using testing::EndsWith;

namespace {

// A texture of 4 x 2 texels (5 x 2 when its name holds "wide") kept in memory, which
// counts its locks. A name holding "missing" fails to load as a missing file would.
class PixelTexture : public EngineCore::Texture {
public:
    bool Lock(unsigned, unsigned, unsigned, unsigned, bool readOnly, uint32_t*& pixels) override
    {
        Texture::Lock(0, 0, 0, 0, readOnly, pixels);
        ++locks;
        pixels = texels.data();
        return true;
    }
    void Unlock() override
    {
        ++unlocks;
        Texture::Unlock();
    }
    std::vector<uint32_t> texels;
    int locks = 0;
    int unlocks = 0;

protected:
    void Init() override
    {
        const std::string name = GetName();
        if (name.find("missing") != std::string::npos)
            EngineCore::ThrowEngineErrorF("Base\\HGETexture.cpp", 1, "Resource (%s) loading error.", name.c_str());
        const unsigned width = name.find("wide") != std::string::npos ? 5 : 4;
        SetSize(width, 2);
        texels.assign(width * 2, 0x00AABBCCu);
    }
};

// An image file of `width` x 2 at the given depth. 8-bit images get a palette whose red
// component is the index and whose green is its complement; pixel (x, y) holds
// 10 * (x + 4 * y) counted from the top row.
std::string ImageFile(unsigned width, unsigned bpp)
{
    FIBITMAP* dib = FreeImage_Allocate(static_cast<int>(width), 2, static_cast<int>(bpp));
    if (bpp == 8) {
        RGBQUAD* palette = FreeImage_GetPalette(dib);
        for (int i = 0; i < 256; ++i) {
            palette[i].rgbRed = static_cast<BYTE>(i);
            palette[i].rgbGreen = static_cast<BYTE>(255 - i);
            palette[i].rgbBlue = 7;
        }
        for (unsigned y = 0; y < 2; ++y) {
            BYTE* line = FreeImage_GetScanLine(dib, static_cast<int>(1 - y));
            for (unsigned x = 0; x < width; ++x)
                line[x] = static_cast<BYTE>(10 * (x + 4 * y));
        }
    } else if (bpp == 1) {
        RGBQUAD* palette = FreeImage_GetPalette(dib);
        palette[0] = RGBQUAD{0, 0, 0, 0};
        palette[1] = RGBQUAD{255, 255, 255, 0};
        FreeImage_GetScanLine(dib, 1)[0] = 0x80;  // top row, first texel white
    }
    FIMEMORY* memory = FreeImage_OpenMemory();
    FreeImage_SaveToMemory(FIF_BMP, dib, memory, 0);
    BYTE* data = nullptr;
    DWORD size = 0;
    FreeImage_AcquireMemory(memory, &data, &size);
    std::string bytes(reinterpret_cast<const char*>(data), size);
    FreeImage_CloseMemory(memory);
    FreeImage_Unload(dib);
    return bytes;
}

// A two-colour GIF whose logical screen is `width` x 2 around a 2 x 2 image: a handful
// of bytes that a decoder trusting the screen's sides allocates whole.
std::string WideScreenGif(unsigned width)
{
    std::string gif = "GIF89a";
    gif += {static_cast<char>(width & 0xFF), static_cast<char>(width >> 8), 2, 0};
    gif += std::string("\x80\0\0\0\0\0\xFF\xFF\xFF", 9);  // two colours
    gif += std::string("\x2C\0\0\0\0\x02\0\x02\0\0", 10);   // the image descriptor
    gif += std::string("\x02\x02\x4C\x01\0\x3B", 6);
    return gif;
}

class CharacterAnimationScriptTest : public GameFlowTest::Harness {
protected:
    void SetUp() override
    {
        GameFlowTest::Harness::SetUp();
        EngineCore::ResourceFactory::Instance().RegisterResourceCreator(3, [] { return std::make_shared<PixelTexture>(); });
        Write("Alpha/grey.bmp", ImageFile(4, 8));
        Write("Alpha/other.bmp", ImageFile(4, 8));
        Write("Alpha/wide.bmp", ImageFile(5, 8));
        Write("Alpha/one-bit.bmp", ImageFile(4, 1));
        Write("Alpha/rgb.bmp", ImageFile(4, 24));
        Write("Alpha/not-an-image.bmp", "this is text");
        Write("Alpha/huge.gif", WideScreenGif(20000));
        // Ten frames walking 30 to the right in one run, on one texture and alpha image.
        Write("Scripts/Hero.lua",
              "function MakeHero(frames)\n"
              "  local h = CharacterAnimation()\n"
              "  h:BeginAnimationState('walk')\n"
              "  for i = 1, frames do h:AddFrame(0, 0, 0, 0, 'hero.png', 0, 0, 4, 2, 'Alpha/grey.bmp') end\n"
              "  h:AddFrameShadow(0, 0, 0, 0, 'shadow.png', 0, 0, 4, 2)\n"
              "  h:EndAnimationState()\n"
              "  return h\n"
              "end\n");
        // "intro" is entered at once: no loading screen, no two-second minimum.
        Start({"intro"}, "intro");
        Run(ReadHeroScript());
    }
    void TearDown() override
    {
        GameFlowTest::Harness::TearDown();
        EngineCore::ResourceFactory::Instance().UnregisterResourceCreator(3);
    }

    static std::string ReadHeroScript()
    {
        std::shared_ptr<EngineCore::CachedFile> file;
        EngineCore::FileSystem::Instance().GetFile("Scripts/Hero.lua", file);
        return std::string(reinterpret_cast<const char*>(file->GetData()), file->GetSize());
    }

    void Run(const std::string& text)
    {
        std::shared_ptr<GameCore::GameState> current;
        ASSERT_TRUE(app.GetCurrentGameState(current));
        ASSERT_TRUE(current->RunScriptString(text)) << text;
    }
    std::string FailureOf(const std::string& text)
    {
        return GameFlowTest::ErrorOf([&] { Run(text); });
    }
    std::string Global(const char* name) { return GameFlowTest::LuaGlobal(GameFlowTest::CurrentInterpreter(), name); }

    std::shared_ptr<PixelTexture> TextureNamed(const std::string& name)
    {
        std::shared_ptr<EngineCore::Resource> resource;
        EngineCore::ResourceManager::Instance().GetResource(name, 3, resource);
        return std::dynamic_pointer_cast<PixelTexture>(resource);
    }

    // Frames of 1/60 s: each advances an animation twice, by half a frame at speed 1.
    void Frames(int count)
    {
        for (int i = 0; i < count; ++i)
            Frame();
    }
};

const char* const kNotOpen = "Error: Error: need first call CharacterAnimationWrapper::BeginAnimationState().";

}  // namespace

TEST_F(CharacterAnimationScriptTest, StatesAreBuiltOneAtATime)
{
    Run("c = CharacterAnimation()\n"
        "Before = c:GetCurrentState()\n"
        "Queued = c:GetNumExecuteStates()\n"
        "X, Y = c:GetPosition()\n"
        "c:BeginAnimationState('walk')\n"
        "During = c:GetCurrentState()\n");
    EXPECT_EQ("nil", Global("Before"));
    EXPECT_EQ("0", Global("Queued"));
    EXPECT_EQ("0 0", Global("X") + " " + Global("Y"));
    EXPECT_EQ("walk", Global("During"));

    struct Case {
        const char* script;
        const char* tail;  // null: succeeds
    } cases[] = {
        {"c:BeginAnimationState('run')", "Error: Error: CharacterAnimationWrapper::BeginAnimationState() already is started."},
        {"c:SetMoveOffset('walk', 10, 0)", nullptr},
        {"c:EndAnimationState()", nullptr},
        {"c:EndAnimationState()", kNotOpen},
        {"c:AddFrame()", kNotOpen},
        {"c:AddFrameShadow()", kNotOpen},
        {"c:SetMoveOffset('walk', 10, 0)", nullptr},
        {"c:SetMoveOffset('run', 10, 0)", "Error: Internal error."},
        {"c:SetMoveEndOffset('run', 1, 0)", "Error: Internal error."},
        {"c:SetMoveStartOffset('run', 1, 0)", "Error: Internal error."},
        {"c:SetAnimationSpeed('run', 2)", "Error: Internal error."},
        {"c:SetCurrentState('run')", "Error: Internal error."},
        {"c:SetStateEvent('run', 1, '#X = 1')", "Error: Internal error."},
        // A state without frames has no frame for an event.
        {"c:SetStateEvent('walk', 1, '#X = 1')", "Error: Internal error."},
        {"c:SetShadowPriority(-4)", nullptr},
        {"c:BeginAnimationState('w2') c:AddFrame(0, 0, 0, 0, 'hero.png')", "to 'AddFrame' (number expected, got no value)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        const std::string failure = FailureOf(c.script);
        if (c.tail)
            EXPECT_NE(std::string::npos, failure.find(c.tail)) << failure;
        else
            EXPECT_EQ("<no error>", failure);
    }

    Run("c:AddAction('a') c:AddAction('b') c:AddAction('c')\n"
        "Q = c:GetNumExecuteStates()\n"
        "QMinus = c:GetExecuteState(-1)\n"
        "QEnd = c:GetExecuteState(3)\n"
        "QFront = c:GetExecuteState(0.7)\n"
        "QLast = c:GetExecuteState(2)\n"
        "c:ClearExecuteStates()\n"
        "QCleared = c:GetNumExecuteStates()\n"
        "c:SetPosition(12.5, -3)\n"
        "PX, PY = c:GetPosition()\n");
    EXPECT_EQ("3 nil nil a c 0", Global("Q") + " " + Global("QMinus") + " " + Global("QEnd") + " " +
                                     Global("QFront") + " " + Global("QLast") + " " + Global("QCleared"));
    EXPECT_EQ("12.5 -3", Global("PX") + " " + Global("PY"));
}

TEST_F(CharacterAnimationScriptTest, AdvancesTwiceAFrameThroughTheFrameLoop)
{
    struct Case {
        float speed;
        int frames;
        const char* x;  // the move share: one unit per animation frame
    } cases[] = {
        // Two updates of half a frame each per 1/60 s frame; the frame shown lags one update.
        {1.0f, 1, "0"},
        {1.0f, 4, "3"},
        {2.0f, 3, "5"},
        {0.5f, 6, "2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.speed);
        Run("h = MakeHero(20) h:SetMoveOffset('walk', 20, 0) h:SetAnimationSpeed('walk', " + std::to_string(c.speed) +
            ") h:Show() h:Play(1)");
        Frames(c.frames);
        Run("X = h:GetPosition() h:Hide() h = nil");
        EXPECT_EQ(c.x, Global("X"));
    }
}

TEST_F(CharacterAnimationScriptTest, EventsRunTheirTexts)
{
    // The move text is the name with both values printed with six decimals.
    Run("function OnHeroMove(x, y) Moves = (Moves or '') .. x .. ',' .. y .. ';' end\n"
        "h = MakeHero(10) h:SetMoveOffset('walk', 30, -10) h:SetOnMoveCallback('OnHeroMove') h:Show()");
    Frame();
    EXPECT_EQ("0,0;0,0;", Global("Moves")) << "a stopped animation still reports";
    Run("Moves = '' h:SetAnimationSpeed('walk', 10) h:Play(0)");
    Frames(1);
    // Frame 5 of 10: 15 and -5 exactly.
    EXPECT_EQ("0,0;15,-5;", Global("Moves"));
    Run("Moves = '' h:SetMoveOffset('walk', 10/3, 0) h:Stop() h:SetAnimationSpeed('walk', 2) h:Play(0)");
    Frames(1);
    // A tenth of 10/3: only six decimals travel.
    EXPECT_EQ("0,0;0.333333,0;", Global("Moves"));
    Run("Moves = nil h:SetOnMoveCallback('')");
    Frame();
    EXPECT_EQ("nil", Global("Moves"));

    // Frame events: 12 on 10 frames is frame 2; a second event on frame 2 replaces it;
    // a text without "#" never runs.
    Run("e = MakeHero(10) e:SetStateEvent('walk', 12, '#Step = (Step or 0) + 1')\n"
        "e:SetStateEvent('walk', 4, 'Plain = 1')\n"
        "e:Show() e:Play(0)");
    Frames(4);
    EXPECT_EQ("1", Global("Step"));
    EXPECT_EQ("nil", Global("Plain"));
    Run("e:SetStateEvent('walk', 2, '#Other = 1') e:Stop() e:Play(0)");
    Frames(4);
    EXPECT_EQ("1", Global("Step"));
    EXPECT_EQ("1", Global("Other"));

    // End: a lone "#" runs nothing; a "#" text runs once the run is over and the queue empty.
    struct Case {
        const char* text;
        const char* play;
        const char* done;
    } cases[] = {{"#", "0", "nil"}, {"#Done = (Done or 0) + 1", "0", "1"},
                 {"#Done = (Done or 0) + 1", "1.9", "nil"}, {"#Done = (Done or 0) + 1", "2", "1"},
                 {"#Done = (Done or 0) + 1", "0.5", "1"}, {"", "0", "nil"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " / " + c.play);
        Run(std::string("Done = nil d = MakeHero(2) d:SetEndAnimationCallback('") + c.text + "') d:Show() d:Play(" +
            c.play + ")");
        Frames(6);
        EXPECT_EQ(c.done, Global("Done"));
        Run("d:Hide() d = nil");
    }
}

TEST_F(CharacterAnimationScriptTest, QueuedStatesWaitBehindALoop)
{
    Run("q = MakeHero(2)\n"
        "q:BeginAnimationState('jump') q:AddFrame(0, 0, 0, 0, 'hero.png', 0, 0, 4, 2, 'Alpha/grey.bmp')\n"
        "q:AddFrameShadow(0, 0, 0, 0, 'shadow.png', 0, 0, 4, 2) q:EndAnimationState()\n"
        "q:BeginAnimationState('land') q:EndAnimationState()\n"
        "q:Show() q:Play(1) q:AddAction('jump')");
    Frame();
    Run("Now = q:GetCurrentState() q:AddAction('land') Left = q:GetNumExecuteStates()");
    EXPECT_EQ("jump", Global("Now"));
    Frames(10);
    Run("Now = q:GetCurrentState() Left = q:GetNumExecuteStates()");
    EXPECT_EQ("jump", Global("Now"));
    EXPECT_EQ("1", Global("Left"));
    Run("q:ClearExecuteStates() Left = q:GetNumExecuteStates()");
    EXPECT_EQ("0", Global("Left"));

    // Hidden: no events and no queue until shown again.
    Run("q:AddAction('walk') q:Hide()");
    Frames(3);
    Run("Now = q:GetCurrentState() Left = q:GetNumExecuteStates() q:SetCurrentState('walk') q:Stop()");
    EXPECT_EQ("jump 1", Global("Now") + " " + Global("Left"));

    // Play, Stop, Pause and Resume on an animation without states change nothing visible.
    EXPECT_EQ("<no error>", FailureOf("local e = CharacterAnimation() e:Show() e:Play(1) e:Pause() e:Resume() e:Stop()"));
    Frame();
}

TEST_F(CharacterAnimationScriptTest, EventsMayDropTheirOwnObject)
{
    const char* setups[] = {
        "h:SetOnMoveCallback('Drop')",
        "h:SetEndAnimationCallback('#Drop()')",
        "h:SetStateEvent('walk', 0, '#Drop()')",
    };
    for (const char* setup : setups) {
        SCOPED_TRACE(setup);
        Run(std::string("function Drop() h = nil Dropped = (Dropped or 0) + 1 end\n"
                        "Dropped = nil h = MakeHero(1) ") +
            setup + " h:Show() h:Play(0)");
        Frames(4);
        EXPECT_EQ("1", Global("Dropped"));
        EXPECT_EQ("nil", Global("h"));
    }
}

// Sprites and frames write alpha images into the same textures: what one wrote, the
// other sees, so a texture never shows an image other than the one the record names.
TEST_F(CharacterAnimationScriptTest, SpritesAndFramesShareTheRecordOfEachTexturesAlpha)
{
    Run("s = Sprite() s:SetName('holder') s:SetTexture('hero.png') s:SetTextureAlpha('Alpha/grey.bmp')");
    std::shared_ptr<PixelTexture> hero = TextureNamed("hero.png");
    ASSERT_TRUE(hero);
    EXPECT_EQ(1, hero->locks);
    Run("a = MakeHero(2)");
    EXPECT_EQ(1, hero->locks) << "the sprite wrote that image already";

    Run("a:BeginAnimationState('b') a:AddFrame(0, 0, 0, 0, 'hero.png', 0, 0, 4, 2, 'Alpha/other.bmp')");
    EXPECT_EQ(2, hero->locks);
    Run("t = Sprite() t:SetName('holder') t:SetTextureAlpha('Alpha/grey.bmp')");
    EXPECT_EQ(3, hero->locks) << "a frame wrote another image since";
    EXPECT_EQ("Alpha/grey.bmp", GameCore::TextureAlphaImages().at("hero.png"));
}

TEST_F(CharacterAnimationScriptTest, AlphaImagesAreWrittenOncePerTextureAndFile)
{
    Run("a = MakeHero(10)");
    std::shared_ptr<PixelTexture> hero = TextureNamed("hero.png");
    ASSERT_TRUE(hero);
    EXPECT_EQ(1, hero->locks) << "ten frames, one write";
    EXPECT_EQ(1, hero->unlocks);
    // The red component of the palette entry, top row first; colour bytes stay.
    std::vector<uint32_t> golden;
    for (uint32_t i = 0; i < 8; ++i)
        golden.push_back((10 * i) << 24 | 0x00AABBCCu);
    EXPECT_EQ(golden, hero->texels);
    EXPECT_EQ("Alpha/grey.bmp", GameCore::TextureAlphaImages().at("hero.png"));

    Run("a:BeginAnimationState('b') a:AddFrame(0, 0, 0, 0, 'hero.png', 0, 0, 4, 2, 'Alpha/other.bmp')");
    EXPECT_EQ(2, hero->locks) << "another file is written over the first";
    EXPECT_EQ("Alpha/other.bmp", GameCore::TextureAlphaImages().at("hero.png"));

    // Collecting an object of the class leaves the texture holding its image.
    Run("local other = CharacterAnimation() other = nil");
    Run("a:AddFrame(0, 0, 0, 0, 'hero.png', 0, 0, 4, 2, 'Alpha/other.bmp')");
    EXPECT_EQ(2, hero->locks);

    struct Case {
        const char* texture;
        const char* alpha;
        const char* tail;
        int locks;  // of the texture afterwards
    } cases[] = {
        {"t1.png", "Alpha/one-bit.bmp", nullptr, 1},
        {"t2.png", "Alpha/rgb.bmp", "Error: Resource (Alpha/rgb.bmp) content error.", 0},
        {"t3.png", "Alpha/not-an-image.bmp", "Error: Resource (Alpha/not-an-image.bmp) creating error.", 0},
        {"t4.png", "Alpha/none.bmp", "Error: Resource (Alpha/none.bmp) creating error.", 0},
        {"t5.png", "", "Error: Resource () creating error.", 0},
        {"t7.png", "Alpha/huge.gif", "Error: Resource (Alpha/huge.gif) creating error.", 0},
        {"t6.png", "Alpha/wide.bmp", "Error: Texture (t6.png) and TextureAlpha (Alpha/wide.bmp) size is wrong.", 0},
        {"missing.png", "Alpha/grey.bmp", "Error: Resource (missing.png) loading error.", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.texture);
        const std::string failure = FailureOf(std::string("a:AddFrame(0, 0, 0, 0, '") + c.texture +
                                              "', 0, 0, 4, 2, '" + c.alpha + "')");
        if (c.tail)
            EXPECT_THAT(failure, EndsWith(c.tail));
        else
            EXPECT_EQ("<no error>", failure);
        if (c.locks < 0) {
            EXPECT_FALSE(EngineCore::ResourceManager::Instance().IsExist(c.texture));
            continue;
        }
        std::shared_ptr<PixelTexture> texture = TextureNamed(c.texture);
        ASSERT_TRUE(texture);
        EXPECT_EQ(c.locks, texture->locks);
        EXPECT_EQ(texture->locks, texture->unlocks);
    }
    // A 1-bit image is widened: white gives 255, black 0.
    EXPECT_EQ(0xFFu, TextureNamed("t1.png")->texels[0] >> 24);
    EXPECT_EQ(0x00u, TextureNamed("t1.png")->texels[1] >> 24);

    // Frames stay appended when only the alpha failed: 10 + 1 + 1 + 6 here.
    EXPECT_EQ("<no error>", FailureOf("a:AddFrameShadow(0, 0, 0, 0, 'shadow.png', 0, 0, 4, 2) a:EndAnimationState()"));
    EXPECT_THAT(FailureOf("a:BeginAnimationState('c') a:AddFrameShadow(0, 0, 0, 0, 'missing-shadow.png', 0, 0, 4, 2)"),
                EndsWith("Error: Resource (missing-shadow.png) loading error."));
}
