#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "backend/Base/HGESpriteVideo.h"
#include "backend/Base/HGESystemObject.h"
#include "backend/Helpers/hgeSprite.h"
#include "backend/Video/VideoPlayer.h"
#include "engine/Renderer/RenderSystem.h"
#include "engine/Resources/Resource.h"
#include "engine/Resources/ResourceFactory.h"
#include "engine/Resources/ResourceManager.h"
#include "tests/support/FailureText.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TheoraClip.h"

using EngineCore::RenderSystem;
using EngineCore::Resource;
using EngineCore::ResourceManager;
using MobrixCore::HGESpriteVideo;
using TestSupport::ErrorOf;
using testing::EndsWith;

namespace {

const char kState[] = "video sprite tests";
const float kPeriod = 0.0625f;  // 16 frames a second

// Reaches the creator the back-end registers for video sprites.
struct VideoCreator : HGESpriteVideo {
    using HGESpriteVideo::Create;
};

HGE* Hge()
{
    return MobrixCore::HGESystemObject::Instance().GetObjectW();
}

// Frame i of the grey clips is the grey level 40 + 20 i; converted, the same value in
// every colour channel.
int GreyOf(int frame)
{
    return 40 + 20 * frame;
}

TestSupport::ClipBytes GreyClip(int frames, int width = 16, int height = 16)
{
    std::vector<TestSupport::YCbCr> colours;
    for (int i = 0; i < frames; ++i)
        colours.push_back({static_cast<uint8_t>(GreyOf(i)), 128, 128});
    TestSupport::ClipFormat format;
    format.pictureWidth = width;
    format.pictureHeight = height;
    return TestSupport::EncodeTheoraClip(format, frames, TestSupport::SolidFrames(colours));
}

class VideoSpriteTest : public testing::Test {
protected:
    void SetUp() override
    {
        RenderSystem::Instance().SetCurrentGameState(kState);
        Screen(64, 48, true, false);
        ASSERT_TRUE(EngineCore::ResourceFactory::Instance().RegisterResourceCreator(Resource::RT_VIDEO_SPRITE, &VideoCreator::Create));
        folder.WriteFile("grey.ogv", GreyClip(4));
        folder.WriteFile("vorbis.ogg", TestSupport::EncodeVorbisOnly());
    }
    void TearDown() override
    {
        ResourceManager::Instance().Clear();
        EngineCore::ResourceFactory::Instance().UnregisterResourceCreator(Resource::RT_VIDEO_SPRITE);
        RenderSystem::Instance().RemoveGameState(kState);
    }

    static void Screen(int width, int height, bool windowed, bool stretch)
    {
        RenderSystem::ScreenSettings settings{};
        settings.bpp = 32;
        settings.width = width;
        settings.height = height;
        settings.windowed = windowed;
        settings.stretch = stretch;
        RenderSystem::Instance().ApplyScreenSettings(settings);
    }

    HGESpriteVideo& Video(const std::string& name = "video")
    {
        std::shared_ptr<Resource> resource;
        EXPECT_TRUE(ResourceManager::Instance().GetResource(name, Resource::RT_VIDEO_SPRITE, resource));
        auto* video = dynamic_cast<HGESpriteVideo*>(resource.get());
        EXPECT_NE(video, nullptr);
        return *video;
    }

    // The grey level of the frame the sprite's texture shows; -1 without a texture, 0 for
    // a texture still transparent black.
    static int Shown(const HGESpriteVideo& video)
    {
        const HTEXTURE texture = video.GetData()->GetTexture();
        if (!texture)
            return -1;
        DWORD* pixels = Hge()->Texture_Lock(texture, true, 0, 0, 0, 0);
        if (!pixels)
            return -1;
        const uint32_t pixel = pixels[0];
        Hge()->Texture_Unlock(texture);
        if (pixel == 0)
            return 0;
        EXPECT_EQ(pixel >> 24, 0xFFu);
        return static_cast<int>(pixel & 0xFF);
    }

    TestSupport::TempFolder folder;
};

}  // namespace

TEST_F(VideoSpriteTest, NewVideoIsPausedAndStartsTransparent)
{
    HGESpriteVideo& video = Video();
    EXPECT_TRUE(video.IsVideoPause());
    EXPECT_FALSE(video.IsVideoLoop());
    EXPECT_FALSE(video.GetVideoFullScreenMode());
    video.SetVideoFile((folder / "grey.ogv").c_str());
    EXPECT_EQ(video.GetVideoFileName(), folder / "grey.ogv");
    EXPECT_EQ(Shown(video), 0);
    EXPECT_EQ(video.GetData()->GetWidth(), 16.0f);
    EXPECT_EQ(video.GetData()->GetHeight(), 16.0f);

    // Visible alone or playing alone: nothing moves.
    video.SetVisible(true);
    video.Update(1.0f);
    EXPECT_EQ(Shown(video), 0);
    video.SetVisible(false);
    video.VideoPlay();
    video.Update(1.0f);
    EXPECT_EQ(Shown(video), 0);
    video.SetVisible(true);
    video.Update(1.0f);
    EXPECT_EQ(Shown(video), GreyOf(0));
}

// At most one frame per call; lateness is carried as debt and a whole period of debt
// steps a frame whatever the elapsed time; elapsed time equal to the period is not late.
TEST_F(VideoSpriteTest, FramesFollowTheDebtRule)
{
    HGESpriteVideo& video = Video();
    video.SetVideoFile((folder / "grey.ogv").c_str());
    video.SetVisible(true);
    video.VideoPlay();
    struct Call {
        float dt;
        int frame;  // shown after the call; -1: nothing shown yet
    };
    const Call calls[] = {
        {0.09375f, 0},  // late by 1/32: debt 1/32
        {0.03125f, 0},  // 1/32 elapsed, debt below a period
        {0.09375f, 1},  // 1/8 elapsed: debt 3/32
        {0.03125f, 2},  // the debt pays for this one: debt 1/32, elapsed 0
        {kPeriod, 2},   // exactly one period is not late
        {0.0f, 2},
        {0.001f, 3},
        {10.0f, 3},     // the end of the data: the sprite hides itself, still playing
    };
    int index = 0;
    for (const Call& call : calls) {
        SCOPED_TRACE(index++);
        video.Update(call.dt);
        EXPECT_EQ(Shown(video), call.frame < 0 ? 0 : GreyOf(call.frame));
    }
    EXPECT_FALSE(video.IsVisible());
    EXPECT_FALSE(video.IsVideoPause());

    // Shown again, it hides at the next due frame; Reset starts from the first frame.
    video.SetVisible(true);
    video.Update(10.0f);
    EXPECT_FALSE(video.IsVisible());
    video.VideoReset();
    video.SetVisible(true);
    video.Update(10.0f);
    EXPECT_TRUE(video.IsVisible());
    EXPECT_EQ(Shown(video), GreyOf(0));
}

TEST_F(VideoSpriteTest, PauseHoldsAndLoopRestarts)
{
    HGESpriteVideo& video = Video();
    video.SetVideoFile((folder / "grey.ogv").c_str());
    video.SetVideoLoop(true);
    video.SetVisible(true);
    video.VideoPlay();
    video.Update(1.0f);
    video.Update(1.0f);
    EXPECT_EQ(Shown(video), GreyOf(1));
    video.VideoPause();
    video.Update(1.0f);
    EXPECT_EQ(Shown(video), GreyOf(1));
    video.VideoPlay();
    std::vector<int> shown;
    for (int i = 0; i < 8; ++i) {
        video.Update(1.0f);
        shown.push_back(Shown(video));
    }
    // Frames 2 and 3, the end (which restarts), then 0 to 3 again and the next end.
    EXPECT_THAT(shown, testing::ElementsAre(GreyOf(2), GreyOf(3), GreyOf(3), GreyOf(0), GreyOf(1), GreyOf(2),
                                            GreyOf(3), GreyOf(3)));
    EXPECT_TRUE(video.IsVisible());
}

TEST_F(VideoSpriteTest, FilesThatCannotPlayAreRefusedAndLeaveNoVideo)
{
    TestSupport::ClipFormat zeroRate;
    zeroRate.zeroFrameRateInHeader = true;
    folder.WriteFile("zero.ogv", TestSupport::EncodeTheoraClip(zeroRate, 2, TestSupport::SolidFrames({{90, 128, 128}})));
    folder.WriteFile("text.ogv", std::string("not a video"));
    const char* files[] = {"missing.ogv", "vorbis.ogg", "zero.ogv", "text.ogv", ""};
    HGESpriteVideo& video = Video();
    for (const char* file : files) {
        SCOPED_TRACE(file);
        video.SetVideoFile((folder / "grey.ogv").c_str());
        video.SetVisible(true);
        video.VideoPlay();
        video.Update(1.0f);
        ASSERT_EQ(Shown(video), GreyOf(0));
        const HTEXTURE earlier = video.GetData()->GetTexture();

        const std::string path = *file ? folder / file : std::string();
        EXPECT_THAT(ErrorOf([&] { video.SetVideoFile(path.c_str()); }), EndsWith("Error: Video not open."));
        EXPECT_EQ(video.GetData()->GetTexture(), 0u);
        EXPECT_EQ(Hge()->Texture_GetWidth(earlier, true), 0);  // the earlier video's texture is gone
        // No video: updates and drawing do nothing.
        video.Update(1.0f);
        video.Render();
        EXPECT_TRUE(video.IsVisible());
    }
}

TEST_F(VideoSpriteTest, FullScreenFitsTheGameArea)
{
    folder.WriteFile("640x480.ogv", GreyClip(0, 640, 480));
    folder.WriteFile("640x360.ogv", GreyClip(0, 640, 360));
    struct Case {
        int width, height;
        bool windowed, stretch;
        const char* file;
        float hscale, vscale, x, y;
    };
    const Case cases[] = {
        {64, 48, true, false, "grey.ogv", 3.0f, 3.0f, 8.0f, 0.0f},
        {1024, 768, true, false, "640x480.ogv", 1.6f, 1.6f, 0.0f, 0.0f},
        {1024, 768, true, false, "640x360.ogv", 1.6f, 1.6f, 0.0f, 96.0f},
        {1024, 768, false, false, "640x360.ogv", 1.6f, 1.6f, 0.0f, 96.0f},
        // Stretch fills both axes only in full-screen display.
        {1024, 768, true, true, "640x360.ogv", 1.6f, 1.6f, 0.0f, 96.0f},
        {1024, 768, false, true, "640x360.ogv", 1.6f, 768.0f / 360.0f, 0.0f, 0.0f},
        {64, 48, false, true, "grey.ogv", 4.0f, 3.0f, 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " on " + std::to_string(c.width));
        Screen(c.width, c.height, c.windowed, c.stretch);
        HGESpriteVideo& video = Video(c.file);
        video.SetVideoFile((folder / c.file).c_str());
        video.SetRotation(1.0f);
        video.SetVideoFullScreenMode(true);
        EXPECT_TRUE(video.GetVideoFullScreenMode());
        EXPECT_FLOAT_EQ(video.GetHorizontalScale(), c.hscale);
        EXPECT_FLOAT_EQ(video.GetVerticalScale(), c.vscale);
        EXPECT_NEAR(video.GetPositionX(), c.x, 1e-4);
        EXPECT_NEAR(video.GetPositionY(), c.y, 1e-4);
        EXPECT_EQ(video.GetRotation(), 0.0f);
    }
}

TEST_F(VideoSpriteTest, FullScreenBeforeTheVideoIsAppliedWhenItOpens)
{
    HGESpriteVideo& video = Video();
    video.SetVideoFullScreenMode(true);
    EXPECT_TRUE(video.GetVideoFullScreenMode());
    EXPECT_EQ(video.GetHorizontalScale(), 1.0f);
    EXPECT_EQ(video.GetPositionX(), 0.0f);
    video.SetVideoFile((folder / "grey.ogv").c_str());
    EXPECT_EQ(video.GetHorizontalScale(), 3.0f);
    EXPECT_EQ(video.GetPositionX(), 8.0f);

    // New screen settings fit it again once the render system lists it (at its next
    // frame); turning the mode off leaves the geometry.
    RenderSystem::Instance().Update(0.0f);
    Screen(32, 64, true, false);
    EXPECT_EQ(video.GetHorizontalScale(), 2.0f);
    EXPECT_EQ(video.GetPositionX(), 0.0f);
    EXPECT_EQ(video.GetPositionY(), 16.0f);
    video.SetVideoFullScreenMode(false);
    Screen(64, 48, true, false);
    EXPECT_EQ(video.GetHorizontalScale(), 2.0f);
    EXPECT_EQ(video.GetPositionY(), 16.0f);
}

TEST_F(VideoSpriteTest, WithoutInitNothingPlaysAndDrawingIsRefused)
{
    HGESpriteVideo video;
    EXPECT_FALSE(video.IsValid());
    video.SetVideoFile((folder / "grey.ogv").c_str());
    video.SetVideoFullScreenMode(true);
    video.VideoReset();
    video.SetVisible(true);
    video.VideoPlay();
    video.Update(1.0f);
    EXPECT_FALSE(video.GetVideoFullScreenMode());
    EXPECT_THAT(ErrorOf([&] { video.Render(); }), EndsWith("Error: Resource is not valid."));
}

TEST(VideoPlayer, ReopenAndCloseFreeTheTexture)
{
    TestSupport::TempFolder folder;
    folder.WriteFile("a.ogv", GreyClip(2, 24, 8));
    MobrixCore::VideoPlayer player;
    EXPECT_FALSE(player.Step());
    EXPECT_FALSE(player.Reset());
    ASSERT_TRUE(player.Open((folder / "a.ogv").c_str()));
    const HTEXTURE first = player.GetTexture();
    EXPECT_EQ(player.GetWidth(), 24.0f);
    EXPECT_EQ(player.GetHeight(), 8.0f);
    EXPECT_FLOAT_EQ(player.GetFramePeriod(), kPeriod);
    ASSERT_TRUE(player.Open((folder / "a.ogv").c_str()));
    EXPECT_EQ(Hge()->Texture_GetWidth(first, true), 0);
    EXPECT_TRUE(player.Step());
    EXPECT_TRUE(player.Reset());
    EXPECT_TRUE(player.HasData());
    const HTEXTURE second = player.GetTexture();
    player.Close();
    EXPECT_EQ(player.GetTexture(), 0u);
    EXPECT_FALSE(player.HasData());
    EXPECT_EQ(Hge()->Texture_GetWidth(second, true), 0);
}
