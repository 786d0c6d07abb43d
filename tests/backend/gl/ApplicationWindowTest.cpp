#include <stdexcept>

#include "engine/Resources/ResourceFactory.h"
#include "tests/backend/gl/BackendWindow.h"

using namespace BackendTest;
using EngineCore::Resource;
using EngineCore::ResourceManager;
using MobrixCore::HGEEngineWrapperApplication;
using ScreenSettings = EngineCore::RenderSystem::ScreenSettings;

namespace {

const Resource::ResourceType kSpriteType = Resource::RT_SPRITE;
const Resource::ResourceType kTextureType = Resource::RT_TEXTURE;

bool CanMake(const char* name, Resource::ResourceType type)
{
    std::shared_ptr<Resource> r;
    return ResourceManager::Instance().GetResource(name, type, r);
}

}  // namespace

TEST(ApplicationWindow, OpensWithTheSettingsRunsTheLoopAndCloses)
{
    BackendWindow window;
    EXPECT_EQ(HGEEngineWrapperApplication::Instance(), window.app.get());
    window.Open();
    HGE* hge = Hge();
    EXPECT_EQ(hge->System_GetState(HGE_SCREENWIDTH), 64);
    EXPECT_EQ(hge->System_GetState(HGE_SCREENHEIGHT), 48);
    EXPECT_EQ(hge->System_GetState(HGE_SCREENBPP), 32);
    EXPECT_TRUE(hge->System_GetState(HGE_WINDOWED));
    EXPECT_FALSE(hge->System_GetState(HGE_SHOWSPLASH));
    EXPECT_STREQ(hge->System_GetState(HGE_TITLE), " * Ferrowind * ");
    EXPECT_EQ(std::string(hge->System_GetState(HGE_LOGFILE)), window.docs + "/Vexa.log");
    EXPECT_NE(window.app->GetWindowHandle(), nullptr);

    int renders = 0;
    window.onRender = [&]() { ++renders; };
    window.RunFrames(5);
    EXPECT_EQ(window.frame, 5);
    EXPECT_EQ(renders, 4);  // the update that ends the loop comes before that frame's drawing
    EXPECT_FLOAT_EQ(window.app->GetFrameTime(), 1.0f / 60.0f);

    // The scene is cleared to black every frame.
    const std::vector<uint32_t> screen = window.ReadScreen();
    EXPECT_EQ(Rgb(screen[0]), 0u);
    EXPECT_TRUE(window.app->Close());
}

TEST(ApplicationWindow, CreatorsLiveFromOpenToClose)
{
    BackendWindow window;
    window.AddPng("x.png", 2, 2, std::vector<uint32_t>(4, kWhite));
    window.Index();
    EXPECT_FALSE(CanMake("before", kSpriteType));
    window.Open();
    EXPECT_TRUE(CanMake("during", kSpriteType));
    EXPECT_TRUE(CanMake("x.png", kTextureType));
    // No creator for sprite groups, nor for the types whose classes are not in the back-end.
    EXPECT_FALSE(CanMake("group", Resource::RT_SPRITE_GROUP));
    ResourceManager::Instance().Clear();
    window.app->Close();
    EXPECT_FALSE(CanMake("after", kSpriteType));
    EXPECT_FALSE(CanMake("x.png", kTextureType));
}

TEST(ApplicationWindow, ExitQuestionIsAskedUntilConfirmedOnce)
{
    BackendWindow window;
    window.Open();
    HGE* hge = Hge();
    struct Step {
        int answer;
        bool quits;
    } steps[] = {{0, false}, {0, false}, {1, true}, {0, true}};  // yes sticks
    for (const Step& s : steps) {
        hge->Test_SetYesNoAnswer(s.answer);
        EXPECT_EQ(HGEEngineWrapperApplication::ExitFunction(), s.quits) << s.answer;
    }
    hge->Test_SetYesNoAnswer(-1);
}

TEST(ApplicationWindow, DelegatesReachTheLayer)
{
    BackendWindow window;
    ScreenSettings seen{};
    int restored = 0;
    window.app->SetScreenSettingsUpdater([&](const ScreenSettings& s) {
        seen = s;
        ++restored;
    });
    // The launcher takes the delegates before the window exists.
    auto music = window.app->GetMusicVolumeDelegate();
    auto cursor = window.app->GetSystemCursorDelegate();
    auto display = window.app->GetScreenSettingsDelegate();
    music(0.25f);
    cursor(false);
    window.app->SetApplicationIcon(102);
    window.Open();
    HGE* hge = Hge();
    EXPECT_EQ(reinterpret_cast<uintptr_t>(hge->System_GetState(HGE_ICON)), 102u);
    EXPECT_EQ(hge->System_GetState(HGE_MUSVOLUME), 25);
    EXPECT_TRUE(hge->System_GetState(HGE_HIDEMOUSE));

    struct VolumeCase {
        float volume;
        int state;
    } volumes[] = {{1.7f, 100}, {-0.2f, 0}, {0.5f, 50}, {0.999f, 99}, {1.0f, 100}};
    for (const VolumeCase& c : volumes) {
        music(c.volume);
        EXPECT_EQ(hge->System_GetState(HGE_MUSVOLUME), c.state) << c.volume;
    }
    cursor(true);
    EXPECT_FALSE(hge->System_GetState(HGE_HIDEMOUSE));

    ScreenSettings change{};
    change.bpp = 16;
    change.width = 800;
    change.height = 600;
    change.windowed = true;
    change.stretch = true;
    display(change);
    EXPECT_TRUE(hge->Gfx_GetStretch());
    EXPECT_EQ(hge->System_GetState(HGE_SCREENWIDTH), 64);  // size and depth stay
    EXPECT_EQ(hge->System_GetState(HGE_SCREENBPP), 32);

    EXPECT_TRUE(HGEEngineWrapperApplication::GfxRestoreFunction());
    EXPECT_EQ(restored, 1);
    EXPECT_EQ(seen.bpp, 32);
    EXPECT_EQ(seen.width, 64);
    EXPECT_EQ(seen.height, 48);
    EXPECT_TRUE(seen.windowed);
    EXPECT_TRUE(seen.stretch);
}

TEST(ApplicationWindow, CloseWithoutOpen)
{
    {
        HGEEngineWrapperApplication never;
        EXPECT_EQ(HGEEngineWrapperApplication::Instance(), &never);
        EXPECT_TRUE(never.Close());
    }
    EXPECT_EQ(HGEEngineWrapperApplication::Instance(), nullptr);
}

namespace {

// HGE shuts down for good: each failure needs a process of its own, hence one test each.
void ExpectFailedOpenThenClose(const char* variable, const std::string& value)
{
    BackendWindow window;
    const char* old = getenv(variable);
    const std::string saved = old ? old : "";
    setenv(variable, value.c_str(), 1);
    std::string error;
    try {
        window.app->Open([](float) { return false; }, [](float) { return true; });
    } catch (const std::runtime_error& e) {
        error = e.what();
    }
    setenv(variable, saved.c_str(), 1);
    EXPECT_NE(error.find("Error: HGEEngineWrapperApplication::Open() error."), std::string::npos) << error;
    // The updaters stay installed whatever step failed.
    EXPECT_TRUE(static_cast<bool>(window.app->GetRenderUpdater()));
    EXPECT_TRUE(static_cast<bool>(window.app->GetApplicationUpdater()));
    EXPECT_TRUE(window.app->Close());
    EXPECT_TRUE(window.app->Close());
}

}  // namespace

TEST(ApplicationWindow, CloseAfterOpenFoundNoDocumentsFolder)
{
    TestSupport::TempFolder folder;
    folder.WriteFile("not-a-folder", "x");
    ExpectFailedOpenThenClose("XDG_DOCUMENTS_DIR", folder / "not-a-folder");
}

TEST(ApplicationWindow, CloseAfterTheWindowCouldNotBeMade)
{
    ExpectFailedOpenThenClose("SDL_VIDEODRIVER", "no-such-driver");
}

namespace {

// An error thrown by an updater leaves the loop for the launcher's handler, which then
// hides the window and closes the back-end.
void ExpectUpdaterErrorReachesTheCaller(bool fromRender)
{
    BackendWindow window;
    window.Open();
    window.onUpdate = [&](int frame) {
        if (!fromRender && frame == 3)
            throw std::runtime_error("from the update");
    };
    window.onRender = [&]() {
        if (fromRender && window.frame == 3)
            throw std::runtime_error("from the drawing");
    };
    window.frame = 0;
    window.lastFrame = 100;
    std::string error;
    try {
        window.app->Run();
    } catch (const std::runtime_error& e) {
        error = e.what();
    }
    EXPECT_EQ(error, fromRender ? "from the drawing" : "from the update");
    EXPECT_EQ(window.frame, 3);
    EXPECT_NE(window.app->GetWindowHandle(), nullptr);
    EXPECT_TRUE(window.app->Close());
}

}  // namespace

TEST(ApplicationWindow, ErrorOfTheUpdateReachesTheCaller)
{
    ExpectUpdaterErrorReachesTheCaller(false);
}

TEST(ApplicationWindow, ErrorInsideTheSceneReachesTheCaller)
{
    ExpectUpdaterErrorReachesTheCaller(true);
}
