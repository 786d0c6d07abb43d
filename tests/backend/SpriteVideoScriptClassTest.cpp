// The "SpriteVideo" script class through the real interpreter, over the back-end's video
// and plain sprites (no window: textures live in their CPU copies).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <lua.hpp>

#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "backend/Base/HGESprite.h"
#include "backend/Base/HGESpriteVideo.h"
#include "backend/Base/HGESystemObject.h"
#include "backend/Helpers/hgeSprite.h"
#include "engine/Renderer/RenderSystem.h"
#include "engine/Resources/Resource.h"
#include "engine/Resources/ResourceFactory.h"
#include "engine/Resources/ResourceManager.h"
#include "tests/support/FakeResource.h"
#include "tests/support/ScriptClassFixture.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TheoraClip.h"

using EngineCore::RenderSystem;
using EngineCore::Resource;
using EngineCore::ResourceFactory;
using EngineCore::ResourceManager;
using testing::ElementsAre;
using testing::EndsWith;

namespace {

struct VideoCreator : MobrixCore::HGESpriteVideo {
    using MobrixCore::HGESpriteVideo::Create;
};
struct SpriteCreator : MobrixCore::HGESprite {
    using MobrixCore::HGESprite::Create;
};

const char kState[] = "sprite video script tests";
const char kNotInitialised[] = "Error: Sprite not initialized. First call - SetName().";

const char* const kMethods[] = {
    "GetName", "SetName", "SetVideoFile", "Show", "Hide", "SetPosition", "IsVisible", "GetVerticalScale",
    "GetHorizontalScale", "SetPriority", "SetRotation", "SetVerticalScale", "SetHorizontalScale", "GetRotation",
    "GetPriority", "GetPosition", "SetFlipVertical", "SetFlipHorizontal", "IsFlipVertical", "IsFlipHorizontal",
    "Pause", "Play", "Reset", "GetPause", "SetLoop", "GetLoop", "SetFullScreenMode",
};

class SpriteVideoScriptClassTest : public TestSupport::ScriptClassFixture<> {
protected:
    void SetUp() override
    {
        RenderSystem::Instance().SetCurrentGameState(kState);
        RenderSystem::ScreenSettings settings{};
        settings.width = 64;
        settings.height = 48;
        settings.windowed = true;
        RenderSystem::Instance().ApplyScreenSettings(settings);
        ResourceFactory& factory = ResourceFactory::Instance();
        ASSERT_TRUE(factory.RegisterResourceCreator(Resource::RT_VIDEO_SPRITE, &VideoCreator::Create));
        ASSERT_TRUE(factory.RegisterResourceCreator(Resource::RT_SPRITE, &SpriteCreator::Create));
        ASSERT_TRUE(factory.RegisterResourceCreator(Resource::RT_SOUND, [] {
            return std::shared_ptr<Resource>(std::make_shared<TestSupport::FakeResource>(
                Resource::RT_SOUND, std::make_shared<TestSupport::ResourceLog>()));
        }));
        ASSERT_NO_FATAL_FAILURE(OpenScripts());

        // Frame i is the grey level 40 + 20 i.
        std::vector<TestSupport::YCbCr> greys;
        for (int i = 0; i < 3; ++i)
            greys.push_back({static_cast<uint8_t>(40 + 20 * i), 128, 128});
        folder.WriteFile("clip.ogv", TestSupport::EncodeTheoraClip({}, 3, TestSupport::SolidFrames(greys)));
        lua_pushstring(L, (folder / "clip.ogv").c_str());
        lua_setglobal(L, "clip");
    }
    void TearDown() override
    {
        engine.Close();
        ResourceManager::Instance().Clear();
        for (int type : {Resource::RT_VIDEO_SPRITE, Resource::RT_SPRITE, Resource::RT_SOUND})
            ResourceFactory::Instance().UnregisterResourceCreator(type);
        RenderSystem::Instance().RemoveGameState(kState);
    }

    std::shared_ptr<Resource> Stored(const std::string& name)
    {
        std::shared_ptr<Resource> resource;
        EXPECT_TRUE(ResourceManager::Instance().IsExist(name));
        ResourceManager::Instance().GetResource(name, Resource::RT_VIDEO_SPRITE, resource);
        return resource;
    }

    // The grey level the video's texture shows at its top-left pixel; 0 while transparent.
    int Shown(const std::string& name)
    {
        auto* video = dynamic_cast<MobrixCore::HGESpriteVideo*>(Stored(name).get());
        HGE* hge = MobrixCore::HGESystemObject::Instance().GetObjectW();
        const HTEXTURE texture = video ? video->GetData()->GetTexture() : 0;
        DWORD* pixels = texture ? hge->Texture_Lock(texture, true, 0, 0, 0, 0) : nullptr;
        if (!pixels)
            return -1;
        const int grey = static_cast<int>(pixels[0] & 0xFF);
        hge->Texture_Unlock(texture);
        return grey;
    }

    TestSupport::TempFolder folder;
};

}  // namespace

TEST_F(SpriteVideoScriptClassTest, ClassTableHoldsTheMethodsAndEachNeedsASprite)
{
    std::set<std::string> expected(std::begin(kMethods), std::end(kMethods));
    expected.insert("new");
    EXPECT_EQ(expected, Methods("SpriteVideo"));

    // Before SetName, and after one that failed, the check comes before any argument.
    std::shared_ptr<Resource> sound;
    ASSERT_TRUE(ResourceManager::Instance().GetResource("sound", Resource::RT_SOUND, sound));
    // A name held by a resource that is no sprite is refused.
    EXPECT_THAT(FailureOf("failed = SpriteVideo() failed:SetName('sound')"),
                EndsWith("Error: Resource (sound) creating error."));
    for (const char* method : kMethods) {
        if (std::string(method) == "SetName")
            continue;
        SCOPED_TRACE(method);
        EXPECT_THAT(FailureOf(std::string("v = SpriteVideo() v:") + method + "()"), EndsWith(kNotInitialised));
        EXPECT_THAT(FailureOf(std::string("failed:") + method + "()"), EndsWith(kNotInitialised));
    }
}

TEST_F(SpriteVideoScriptClassTest, NewSpriteIsHiddenPausedAndFlagsTakeOnlyOne)
{
    Run("v = SpriteVideo() v:SetName('intro') n = v:GetName() visible = v:IsVisible() paused = v:GetPause() "
        "loop = v:GetLoop()");
    EXPECT_THAT(Numbers({"visible", "paused", "loop"}), ElementsAre(0, 1, 0));
    lua_getglobal(L, "n");
    EXPECT_STREQ(lua_tostring(L, -1), "intro");
    lua_pop(L, 1);
    EXPECT_NE(dynamic_cast<MobrixCore::HGESpriteVideo*>(Stored("intro").get()), nullptr);

    struct Flag {
        const char* argument;
        double expected;
    };
    const Flag flags[] = {{"2", 0}, {"0.5", 0}, {"1", 1}, {"0", 0}, {"-1", 0}, {"1.0", 1}};
    for (const Flag& flag : flags) {
        SCOPED_TRACE(flag.argument);
        const std::string a = flag.argument;
        Run("v:SetLoop(" + a + ") v:SetFlipVertical(" + a + ") v:SetFlipHorizontal(" + a +
            ") loop = v:GetLoop() fv = v:IsFlipVertical() fh = v:IsFlipHorizontal()");
        EXPECT_THAT(Numbers({"loop", "fv", "fh"}), ElementsAre(flag.expected, flag.expected, flag.expected));
    }

    // Geometry and rotation in degrees, single precision both ways.
    Run("v:SetPosition(3.5, -2) v:SetPriority(7) v:SetHorizontalScale(2) v:SetVerticalScale(0.5) "
        "v:SetRotation(1) x, y = v:GetPosition() p = v:GetPriority() h = v:GetHorizontalScale() "
        "s = v:GetVerticalScale() r1 = v:GetRotation() v:SetRotation(90) r90 = v:GetRotation()");
    EXPECT_THAT(Numbers({"x", "y", "p", "h", "s", "r90"}), ElementsAre(3.5, -2, 7, 2, 0.5, 90));
    EXPECT_EQ(Number("r1"), static_cast<double>(0.99999994f));

    // The same name again: the same sprite, hidden again, its playback state kept.
    Run("v:Show() v:Play() w = SpriteVideo() w:SetName('intro') visible = v:IsVisible() paused = w:GetPause()");
    EXPECT_THAT(Numbers({"visible", "paused"}), ElementsAre(0, 0));
    Run("w:Pause() paused = v:GetPause() v:Show() v:Hide() visible = w:IsVisible()");
    EXPECT_THAT(Numbers({"paused", "visible"}), ElementsAre(1, 0));
}

TEST_F(SpriteVideoScriptClassTest, PlaysFramesHidesAtTheEndAndLoops)
{
    auto frame = [&] {
        auto* video = dynamic_cast<EngineCore::Sprite*>(Stored("intro").get());
        video->Update(1.0f);
    };
    Run("v = SpriteVideo() v:SetName('intro') v:SetVideoFile(clip)");
    EXPECT_EQ(Shown("intro"), 0);
    frame();
    EXPECT_EQ(Shown("intro"), 0);  // hidden and paused: Show and Play are both needed
    Run("v:Show()");
    frame();
    EXPECT_EQ(Shown("intro"), 0);
    Run("v:Play()");
    std::vector<int> shown;
    for (int i = 0; i < 3; ++i) {
        frame();
        shown.push_back(Shown("intro"));
    }
    EXPECT_THAT(shown, ElementsAre(40, 60, 80));
    frame();
    Run("visible = v:IsVisible() paused = v:GetPause()");
    EXPECT_THAT(Numbers({"visible", "paused"}), ElementsAre(0, 0));

    // Reset restarts; with loop on, the end starts the clip again.
    Run("v:Reset() v:Show() v:SetLoop(1)");
    shown.clear();
    for (int i = 0; i < 6; ++i) {
        frame();
        shown.push_back(Shown("intro"));
    }
    EXPECT_THAT(shown, ElementsAre(40, 60, 80, 80, 40, 60));
    Run("visible = v:IsVisible()");
    EXPECT_EQ(Number("visible"), 1);
}

TEST_F(SpriteVideoScriptClassTest, FullScreenModeAndFilesThatDoNotOpen)
{
    // Turned on by any argument or none, before a video: remembered, no fit yet.
    Run("v = SpriteVideo() v:SetName('intro') v:SetFullScreenMode(0) h = v:GetHorizontalScale()");
    EXPECT_EQ(Number("h"), 1);
    Run("v:SetVideoFile(clip) h = v:GetHorizontalScale() s = v:GetVerticalScale() x, y = v:GetPosition()");
    EXPECT_THAT(Numbers({"h", "s", "x", "y"}), ElementsAre(3, 3, 8, 0));

    struct Bad {
        const char* call;
        const char* error;
    };
    const Bad bad[] = {
        {"v:SetVideoFile('no such file.ogv')", "Error: Video not open."},
        {"v:SetVideoFile('')", "Error: Video not open."},
        {"v:SetVideoFile()", "string expected, got no value"},
    };
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.call);
        EXPECT_THAT(FailureOf(b.call), testing::HasSubstr(b.error));
    }
    // Left without a video: showing and playing it draws and steps nothing.
    Run("v:Show() v:Play()");
    auto* video = dynamic_cast<MobrixCore::HGESpriteVideo*>(Stored("intro").get());
    ASSERT_NE(video, nullptr);
    video->Update(1.0f);
    video->Render();
    EXPECT_EQ(video->GetData()->GetTexture(), 0u);
}

// A plain sprite attached by name is driven as a sprite; its video calls do nothing.
TEST_F(SpriteVideoScriptClassTest, PlainSpriteByNameIgnoresVideoCalls)
{
    std::shared_ptr<Resource> plain;
    ASSERT_TRUE(ResourceManager::Instance().GetResource("plain", Resource::RT_SPRITE, plain));
    auto* sprite = dynamic_cast<EngineCore::Sprite*>(plain.get());
    sprite->SetVisible(true);
    Run("v = SpriteVideo() v:SetName('plain') visible = v:IsVisible() v:SetVideoFile(clip) v:Play() v:Reset() "
        "v:SetLoop(1) v:SetFullScreenMode() paused = v:GetPause() loop = v:GetLoop() v:Show() "
        "shown = v:IsVisible() h = v:GetHorizontalScale()");
    EXPECT_THAT(Numbers({"visible", "paused", "loop", "shown", "h"}), ElementsAre(0, 0, 0, 1, 1));
    EXPECT_TRUE(sprite->IsVisible());
    EXPECT_EQ(ResourceManager::Instance().IsExist("plain"), true);
}
