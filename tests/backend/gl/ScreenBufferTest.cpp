#include <thread>

#include "backend/Base/HGESprite.h"
#include "engine/Renderer/ScreenBuffer.h"
#include "engine/Renderer/Texture.h"
#include "tests/backend/gl/BackendWindow.h"

using namespace BackendTest;
using EngineCore::Resource;
using EngineCore::ResourceManager;
using EngineCore::ScreenBuffer;
using EngineCore::Sprite;
using EngineCore::Texture;

namespace {

const Resource::ResourceType kSpriteType = Resource::RT_SPRITE;
const Resource::ResourceType kTextureType = Resource::RT_TEXTURE;

// The render system is the screen buffer's only caller; the tests reach it the same way.
struct Access : ScreenBuffer {
    static bool Capture(ScreenBuffer& b, float a, float c, std::shared_ptr<Resource>& out)
    {
        return (b.*(&Access::GetCurrentTexture))(a, c, out);
    }
    static bool Shot(ScreenBuffer& b, const char* path)
    {
        return (b.*(&Access::MakeScreenshot))(path);
    }
};

int NumberOf(const std::shared_ptr<Resource>& r)
{
    const std::string name = r->GetName();
    const std::string prefix = "HGE.ScreenBuffer";
    EXPECT_EQ(name.compare(0, prefix.size(), prefix), 0) << name;
    return std::stoi(name.substr(prefix.size()));
}

// The "scene" sprite showing the whole 8 x 8 "quarters.png".
void ShowQuarters(std::shared_ptr<Sprite>& scene)
{
    std::shared_ptr<Resource> tex;
    std::shared_ptr<Resource> res;
    ASSERT_TRUE(ResourceManager::Instance().GetResource("quarters.png", kTextureType, tex));
    ASSERT_TRUE(ResourceManager::Instance().GetResource("scene", kSpriteType, res));
    scene = std::dynamic_pointer_cast<Sprite>(res);
    ASSERT_TRUE(scene->SetTexture(tex));
    scene->SetTextureRect(0, 0, 8, 8);
}

struct Expect {
    int x, y;
    uint32_t argb;
};

void CheckTexture(const std::shared_ptr<Resource>& r, unsigned w, unsigned h, const std::vector<Expect>& probes)
{
    auto texture = std::dynamic_pointer_cast<Texture>(r);
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->GetWidth(), w);
    EXPECT_EQ(texture->GetHeight(), h);
    uint32_t* px = nullptr;
    ASSERT_TRUE(texture->Lock(0, 0, w, h, true, px));
    for (const Expect& e : probes) {
        const uint32_t got = px[e.y * static_cast<int>(w) + e.x];
        const bool transparent = (e.argb >> 24) == 0;
        if (transparent)
            EXPECT_EQ(got >> 24, 0u) << "(" << e.x << "," << e.y << ") " << std::hex << got;
        else
            EXPECT_EQ(got, e.argb) << "(" << e.x << "," << e.y << ") " << std::hex << got;
    }
    texture->Unlock();
}

}  // namespace

TEST(ScreenBuffer, CurrentTextureIsTheSceneScaledIntoAWidthSquaredTarget)
{
    BackendWindow window;
    window.OpenWithQuarters("quarters.png");

    std::shared_ptr<ScreenBuffer> buffer;
    ASSERT_TRUE(window.app->GetScreenBufferManager(buffer));
    std::shared_ptr<ScreenBuffer> again;
    window.app->GetScreenBufferManager(again);
    EXPECT_EQ(buffer, again);

    std::shared_ptr<Sprite> scene;
    ASSERT_NO_FATAL_FAILURE(ShowQuarters(scene));
    // The whole 64 x 48 screen. Magnified pictures are filtered, so the probes stay a
    // texel away from the edges between the quarters.
    scene->SetHorizontalScale(8);
    scene->SetVerticalScale(6);
    scene->SetVisible(true);
    window.onRender = [&]() { scene->Render(); };

    std::shared_ptr<Resource> full;
    std::shared_ptr<Resource> half;
    window.onUpdate = [&](int frame) {
        if (frame == 2) {
            bool offThread = true;
            std::shared_ptr<Resource> none;
            std::thread([&]() { offThread = Access::Capture(*buffer, 1, 1, none); }).join();
            EXPECT_FALSE(offThread);
            EXPECT_FALSE(none);
            ASSERT_TRUE(Access::Capture(*buffer, 1, 1, full));
            ASSERT_TRUE(Access::Capture(*buffer, 0.5f, 0.5f, half));
        } else if (frame == 3) {
            // The capture's scale does not stay on the screen's frames.
            const std::vector<uint32_t> screen = window.ReadScreen();
            EXPECT_EQ(Rgb(screen[8 * 64 + 8]), Rgb(kRed));
            EXPECT_EQ(Rgb(screen[8 * 64 + 56]), Rgb(kGreen));
            EXPECT_EQ(Rgb(screen[44 * 64 + 56]), Rgb(kWhite));
        }
    };
    window.RunFrames(3);
    ASSERT_TRUE(full);
    ASSERT_TRUE(half);

    // The off-thread call used up a number too.
    const int first = NumberOf(full);
    EXPECT_EQ(NumberOf(half), first + 1);
    EXPECT_TRUE(ResourceManager::Instance().IsExist(full->GetName()));
    EXPECT_GE(first, 1);

    CheckTexture(full, 64, 64,
                 {{8, 8, kRed}, {56, 8, kGreen}, {8, 36, kBlue}, {56, 44, kWhite}, {0, 48, 0}, {63, 63, 0}});
    CheckTexture(half, 32, 32,
                 {{4, 4, kRed}, {28, 4, kGreen}, {4, 18, kBlue}, {28, 20, kWhite}, {0, 24, 0}, {31, 31, 0}});
}

TEST(ScreenBuffer, ScreenshotIsABitmapOfTheLastFrame)
{
    BackendWindow window;
    window.OpenWithQuarters("quarters.png");

    std::shared_ptr<ScreenBuffer> buffer;
    window.app->GetScreenBufferManager(buffer);
    std::shared_ptr<Sprite> scene;
    ASSERT_NO_FATAL_FAILURE(ShowQuarters(scene));
    scene->SetPosition(5, 7);
    scene->SetHorizontalScale(3);
    scene->SetVisible(true);
    window.onRender = [&]() { scene->Render(); };

    const std::string path = window.docs + "/shot.bmp";
    std::vector<uint32_t> screen;
    window.onUpdate = [&](int frame) {
        if (frame != 2)
            return;
        bool offThread = true;
        std::thread([&]() { offThread = Access::Shot(*buffer, (window.docs + "/other.bmp").c_str()); }).join();
        EXPECT_FALSE(offThread);
        EXPECT_TRUE(Access::Shot(*buffer, path.c_str()));
        screen = window.ReadScreen();
    };
    window.RunFrames(2);
    EXPECT_FALSE(std::filesystem::exists(window.docs + "/other.bmp"));

    FIBITMAP* loaded = FreeImage_Load(FIF_BMP, path.c_str(), 0);
    ASSERT_NE(loaded, nullptr);
    FIBITMAP* bitmap = FreeImage_ConvertTo32Bits(loaded);
    FreeImage_Unload(loaded);
    ASSERT_EQ(FreeImage_GetWidth(bitmap), 64u);
    ASSERT_EQ(FreeImage_GetHeight(bitmap), 48u);
    int mismatches = 0;
    for (int y = 0; y < 48; ++y) {
        const uint32_t* line = reinterpret_cast<const uint32_t*>(FreeImage_GetScanLine(bitmap, 47 - y));
        for (int x = 0; x < 64; ++x)
            if (Rgb(line[x]) != Rgb(screen[static_cast<size_t>(y * 64 + x)]))
                ++mismatches;
    }
    FreeImage_Unload(bitmap);
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(Rgb(screen[9 * 64 + 8]), Rgb(kRed));
}

TEST(ScreenBuffer, NoRenderUpdaterNoTexture)
{
    BackendWindow window;
    ASSERT_TRUE(window.app->Open(EngineWrapperCore::EngineWrapperApplication::Updater(),
                                 [](float) { return true; }));
    std::shared_ptr<ScreenBuffer> buffer;
    window.app->GetScreenBufferManager(buffer);
    std::shared_ptr<Resource> out;
    EXPECT_FALSE(Access::Capture(*buffer, 1, 1, out));
    EXPECT_FALSE(out);
}
