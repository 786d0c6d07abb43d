// The "Sprite" script class's texel operations over the real back-end and an OpenGL
// window: the screen capture as a sprite's texture, read back texel by texel; a hit
// test on that captured texture; texture alpha written after the texture was drawn
// reaching the screen.
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <lua.hpp>

#include "engine/Renderer/ScreenBuffer.h"
#include "engine/Renderer/Sprite.h"
#include "engine/Renderer/Texture.h"
#include "game/ScriptEngine/LuaScriptEngine/GameStateScriptClasses.h"
#include "game/ScriptEngine/LuaScriptEngine/LuaScriptEngine.h"
#include "tests/backend/gl/BackendWindow.h"
#include "tests/support/ImageFixtures.h"

using namespace BackendTest;
using EngineCore::Resource;
using EngineCore::ResourceManager;

namespace {

class SpriteScriptWindow : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(engine.Open());
        L = engine.GetState();
        GameLuaScriptImpl::RegisterGameStateScriptClasses(L);
    }
    void TearDown() override
    {
        engine.Close();
        EngineCore::RenderSystem::Instance().SetScreenBufferInstance(nullptr);
    }

    void Run(const std::string& script) { ASSERT_TRUE(engine.RunString(script.c_str(), 0)) << script; }
    std::string String(const char* name)
    {
        lua_getglobal(L, name);
        const std::string value = lua_isstring(L, -1) ? lua_tostring(L, -1) : "";
        lua_pop(L, 1);
        return value;
    }
    double Number(const char* name)
    {
        lua_getglobal(L, name);
        const double value = lua_tonumber(L, -1);
        lua_pop(L, 1);
        return value;
    }
    std::shared_ptr<EngineCore::Sprite> SpriteNamed(const std::string& name)
    {
        std::shared_ptr<Resource> resource;
        EXPECT_TRUE(ResourceManager::Instance().GetResource(name, Resource::RT_SPRITE, resource));
        return std::dynamic_pointer_cast<EngineCore::Sprite>(resource);
    }

    // Declared first: the window closes after the interpreter let go of its objects.
    BackendWindow window;
    GameLuaScriptImpl::LuaScriptEngine engine;
    lua_State* L = nullptr;
};

// The four-quarter picture drawn 16 x 16 at (8, 8) on the 64 x 48 screen, captured at
// half size: a 32 x 32 texture (both sides from the screen's width) with the scene in
// its top 24 rows at one texel per screen pixel pair, transparent black below. The hit
// test on the capture reads texels at the point as if unscaled.
TEST_F(SpriteScriptWindow, ScreenCaptureIsTheSpritesTextureTexelForTexel)
{
    window.OpenWithQuarters("quarters.png");
    std::shared_ptr<EngineCore::ScreenBuffer> buffer;
    ASSERT_TRUE(window.app->GetScreenBufferManager(buffer));
    EngineCore::RenderSystem::Instance().SetScreenBufferInstance(buffer);

    Run("scene = Sprite() scene:SetName('scene') scene:SetTexture('quarters.png') scene:SetFullTextureRect() "
        "scene:SetPosition(8, 8) scene:SetHorizontalScale(2) scene:SetVerticalScale(2) scene:Show()");
    std::shared_ptr<EngineCore::Sprite> scene = SpriteNamed("scene");
    window.onRender = [&]() { scene->Render(); };
    window.onUpdate = [&](int frame) {
        if (frame == 2)
            Run("c = Sprite() c:SetName('capture') c:SetScreenBufferTexture(0.5, 0.5) first = c:GetTexture() "
                "c:SetScreenBufferTexture(0.5, 0.5) t = c:GetTexture() x, y, w, h = c:GetTextureRect() "
                "sx = c:GetHorizontalScale() sy = c:GetVerticalScale() "
                "onWhite = c:IsAlphaCollided(10, 10) onClear = c:IsAlphaCollided(3, 3) "
                "below = c:IsAlphaCollided(10, 50)");
    };
    window.RunFrames(3);

    const std::string first = String("first");
    const std::string name = String("t");
    ASSERT_EQ(0u, first.rfind("HGE.ScreenBuffer", 0)) << first;
    EXPECT_EQ("HGE.ScreenBuffer" + std::to_string(std::stoi(first.substr(16)) + 1), name);
    EXPECT_EQ(32, Number("w"));
    EXPECT_EQ(32, Number("h"));
    EXPECT_EQ(2, Number("sx"));
    EXPECT_EQ(2, Number("sy"));
    EXPECT_EQ(1, Number("onWhite"));
    EXPECT_EQ(0, Number("onClear"));
    EXPECT_EQ(0, Number("below"));

    std::shared_ptr<Resource> resource;
    ASSERT_TRUE(ResourceManager::Instance().GetResource(name, Resource::RT_TEXTURE, resource));
    auto* texture = dynamic_cast<EngineCore::Texture*>(resource.get());
    ASSERT_NE(nullptr, texture);
    EXPECT_EQ(texture, SpriteNamed("capture")->GetTexture().get());
    ASSERT_EQ(32u, texture->GetWidth());
    ASSERT_EQ(32u, texture->GetHeight());
    uint32_t* texels = nullptr;
    ASSERT_TRUE(texture->Lock(0, 0, 32, 32, true, texels));
    const auto* bytes = reinterpret_cast<const unsigned char*>(texels);
    struct Probe {
        int x, y;
        unsigned char b, g, r, a;
    } probes[] = {
        {5, 5, 0, 0, 255, 255},     {10, 5, 0, 255, 0, 255},   {5, 10, 255, 0, 0, 255},
        {10, 10, 255, 255, 255, 255}, {2, 2, 0, 0, 0, 0},      {13, 13, 0, 0, 0, 0},
        {16, 24, 0, 0, 0, 0},       {31, 31, 0, 0, 0, 0},
    };
    for (const Probe& p : probes) {
        const unsigned char* texel = bytes + (p.y * 32 + p.x) * 4;
        EXPECT_EQ(p.b, texel[0]) << p.x << "," << p.y;
        EXPECT_EQ(p.g, texel[1]) << p.x << "," << p.y;
        EXPECT_EQ(p.r, texel[2]) << p.x << "," << p.y;
        EXPECT_EQ(p.a, texel[3]) << p.x << "," << p.y;
    }
    texture->Unlock();
}

// Alpha written into a texture that was already drawn shows in the next frame: the
// write lock marks the texture for upload.
TEST_F(SpriteScriptWindow, TextureAlphaWrittenAfterDrawingReachesTheScreen)
{
    std::vector<TestSupport::PaletteEntry> palette(256, {0, 0, 0});
    palette[1] = {255, 0, 0};  // red 255: opaque; green and blue do not count
    window.AddPng("quarters.png", 8, 8, QuarterPicture());
    {
        std::vector<unsigned char> mask = TestSupport::Encode(
            TestSupport::MakePalettised(8, 8, 8, palette, [](int x, int) { return x >= 4 ? 1u : 0u; }), FIF_PNG);
        std::ofstream(window.data + "/half.png", std::ios::binary)
            .write(reinterpret_cast<const char*>(mask.data()), static_cast<std::streamsize>(mask.size()));
    }
    window.Index();
    window.Open();
    Run("s = Sprite() s:SetName('shown') s:SetTexture('quarters.png') s:SetFullTextureRect() "
        "s:SetHorizontalScale(8) s:SetVerticalScale(6) s:Show()");
    std::shared_ptr<EngineCore::Sprite> shown = SpriteNamed("shown");
    window.onRender = [&]() { shown->Render(); };
    std::vector<uint32_t> before;
    std::vector<uint32_t> after;
    window.onUpdate = [&](int frame) {
        if (frame == 3) {
            before = window.ReadScreen();
            Run("s:SetTextureAlpha('half.png')");
        } else if (frame == 4) {
            after = window.ReadScreen();
        }
    };
    window.RunFrames(4);
    ASSERT_EQ(before.size(), after.size());
    // Left half: red and blue quarters gone to the black clear colour; right half kept.
    EXPECT_EQ(Rgb(kRed), Rgb(before[8 * 64 + 8]));
    EXPECT_EQ(0u, Rgb(after[8 * 64 + 8]));
    EXPECT_EQ(0u, Rgb(after[40 * 64 + 8]));
    EXPECT_EQ(Rgb(kGreen), Rgb(after[8 * 64 + 56]));
    EXPECT_EQ(Rgb(kWhite), Rgb(after[44 * 64 + 56]));
}

}  // namespace
