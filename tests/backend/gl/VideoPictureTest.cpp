// Video frames as they reach the screen: each pixel format and odd pictures drawn by the
// render system's frame, read back and compared with a plain libtheora decode.
#include "backend/Base/HGESpriteVideo.h"
#include "tests/backend/gl/BackendWindow.h"
#include "tests/support/TheoraClip.h"

using namespace BackendTest;
using EngineCore::RenderSystem;
using EngineCore::Resource;
using EngineCore::ResourceManager;
using EngineCore::Sprite;
using TestSupport::ClipFormat;

namespace {

// Faster than the test's frames, so that every frame of the window steps one video frame.
const uint32_t kFramesPerSecond = 120;

struct PictureCase {
    const char* name;
    th_pixel_fmt format;
    int width, height, x, y;
    float left, top;  // where the sprite is drawn
};

ClipFormat FormatOf(const PictureCase& c)
{
    ClipFormat f;
    f.pixelFormat = c.format;
    f.pictureWidth = c.width;
    f.pictureHeight = c.height;
    f.pictureX = c.x;
    f.pictureY = c.y;
    f.fpsNumerator = kFramesPerSecond;
    return f;
}

std::shared_ptr<Sprite> MakeVideo(const std::string& name)
{
    std::shared_ptr<Resource> resource;
    EXPECT_TRUE(ResourceManager::Instance().GetResource(name, Resource::RT_VIDEO_SPRITE, resource));
    return std::dynamic_pointer_cast<Sprite>(resource);
}

}  // namespace

TEST(VideoPicture, FramesOfEveryFormatReachTheScreenExactly)
{
    const PictureCase cases[] = {
        {"4:2:0", TH_PF_420, 32, 16, 0, 0, 0, 0},
        {"4:2:2", TH_PF_422, 16, 32, 0, 0, 5, 7},
        {"4:4:4", TH_PF_444, 16, 16, 0, 0, 40, 20},
        {"4:2:0 odd picture", TH_PF_420, 13, 11, 3, 5, 1, 2},
        {"4:2:2 odd picture", TH_PF_422, 17, 9, 1, 2, 30, 31},
        {"4:4:4 odd picture", TH_PF_444, 7, 19, 5, 3, 50, 0},
    };
    BackendWindow window;
    std::vector<std::vector<TestSupport::DecodedPicture>> references;
    for (size_t i = 0; i < std::size(cases); ++i) {
        const TestSupport::ClipBytes clip = TestSupport::EncodeTheoraClip(FormatOf(cases[i]), 2,
                                                                          TestSupport::PatternFrames());
        ASSERT_FALSE(clip.empty());
        references.emplace_back();
        ASSERT_TRUE(TestSupport::DecodeWithLibtheora(clip, references.back()));
        ASSERT_EQ(references.back().size(), 2u);
        std::ofstream(window.data + "/clip" + std::to_string(i) + ".ogv", std::ios::binary)
            .write(reinterpret_cast<const char*>(clip.data()), static_cast<std::streamsize>(clip.size()));
    }
    window.Open();

    // Case i is set up by the update of frame 2i + 1 and drawn by that frame (its first
    // video frame) and the next (its second); the updates of frames 2i + 2 and 2i + 3 read
    // them back.
    std::vector<std::shared_ptr<Sprite>> videos;
    window.onRender = [&] { RenderSystem::Instance().Update(1.0f / 60.0f); };
    window.onUpdate = [&](int frame) {
        const int index = (frame - 1) / 2;
        if (frame >= 2) {
            const int caseIndex = (frame - 2) / 2;
            const int videoFrame = (frame - 2) % 2;
            const PictureCase& c = cases[caseIndex];
            SCOPED_TRACE(std::string(c.name) + " frame " + std::to_string(videoFrame));
            const std::vector<uint32_t> screen = window.ReadScreen();
            const auto& picture = references[static_cast<size_t>(caseIndex)][static_cast<size_t>(videoFrame)];
            int wrong = 0;
            for (int y = 0; y < BackendWindow::kHeight; ++y) {
                for (int x = 0; x < BackendWindow::kWidth; ++x) {
                    const int px = x - static_cast<int>(c.left), py = y - static_cast<int>(c.top);
                    const bool inside = px >= 0 && py >= 0 && px < c.width && py < c.height;
                    const uint32_t want =
                        inside ? Rgb(TestSupport::ExpectedPixel(picture.samples[static_cast<size_t>(py * c.width + px)]))
                               : 0u;
                    const uint32_t got = Rgb(screen[static_cast<size_t>(y * BackendWindow::kWidth + x)]);
                    if (got != want && wrong++ < 3)
                        ADD_FAILURE() << "at (" << x << ", " << y << ") got " << std::hex << got << " want " << want;
                }
            }
            EXPECT_EQ(wrong, 0);
        }
        if (frame % 2 == 1 && index < static_cast<int>(std::size(cases))) {
            if (!videos.empty())
                videos.back()->SetVisible(false);
            videos.push_back(MakeVideo("video" + std::to_string(index)));
            Sprite& video = *videos.back();
            video.SetVideoFile((window.data + "/clip" + std::to_string(index) + ".ogv").c_str());
            video.SetPosition(cases[index].left, cases[index].top);
            video.SetVisible(true);
            video.VideoPlay();
        }
    };
    window.RunFrames(static_cast<int>(std::size(cases)) * 2 + 1);
}

// Full-screen fit of a 16 x 16 video on the 64 x 48 game area: scale 3, centred across;
// at its end a video that does not loop leaves the screen.
TEST(VideoPicture, FullScreenFitFillsTheAreaAndTheEndHides)
{
    BackendWindow window;
    ClipFormat f;
    f.fpsNumerator = kFramesPerSecond;
    const TestSupport::YCbCr colour = {81, 90, 240};
    const TestSupport::ClipBytes clip = TestSupport::EncodeTheoraClip(f, 2, TestSupport::SolidFrames({colour}));
    std::ofstream(window.data + "/solid.ogv", std::ios::binary)
        .write(reinterpret_cast<const char*>(clip.data()), static_cast<std::streamsize>(clip.size()));
    window.Open();
    const uint32_t want = Rgb(TestSupport::ExpectedPixel(colour));

    std::shared_ptr<Sprite> video;
    std::vector<std::vector<uint32_t>> screens;
    window.onRender = [&] { RenderSystem::Instance().Update(1.0f / 60.0f); };
    window.onUpdate = [&](int frame) {
        if (frame == 1) {
            video = MakeVideo("full");
            video->SetVideoFullScreenMode(true);  // before the video: applied when it opens
            video->SetVideoFile((window.data + "/solid.ogv").c_str());
            video->SetVisible(true);
            video->VideoPlay();
        } else {
            screens.push_back(window.ReadScreen());
        }
    };
    window.RunFrames(5);
    ASSERT_EQ(screens.size(), 4u);
    EXPECT_EQ(video->GetHorizontalScale(), 3.0f);
    EXPECT_EQ(video->GetPositionX(), 8.0f);
    for (int shot = 0; shot < 2; ++shot) {
        SCOPED_TRACE(shot);
        const auto& screen = screens[static_cast<size_t>(shot)];
        // Probes a texel away from the quad's edges, where filtering stays inside.
        struct Probe {
            int x, y;
            uint32_t rgb;
        };
        const Probe probes[] = {{9, 1, want}, {54, 46, want}, {32, 24, want}, {6, 24, 0}, {58, 24, 0}};
        for (const Probe& p : probes)
            EXPECT_LE(ColourDistance(Rgb(screen[static_cast<size_t>(p.y * BackendWindow::kWidth + p.x)]), p.rgb), 1)
                << "(" << p.x << ", " << p.y << ")";
    }
    // The third frame finds the data's end: hidden, the screen stays clear.
    EXPECT_FALSE(video->IsVisible());
    EXPECT_EQ(Rgb(screens[2][24 * BackendWindow::kWidth + 32]), 0u);
}
