// What the back-end tells the engine about the display, and display changes applied
// while the window is open.
#include "tests/backend/gl/BackendWindow.h"

using namespace BackendTest;
using ScreenSettings = EngineCore::RenderSystem::ScreenSettings;

TEST(DisplaySettings, TheDesktopSizeReachesTheRenderSystemWhenTheWindowOpens)
{
    EngineCore::RenderSystem& render = EngineCore::RenderSystem::Instance();
    render.SetMonitorSize(0, 0);
    BackendWindow window;
    window.Open();
    int width = 0, height = 0;
    ASSERT_TRUE(Hge()->Window_GetDesktopSize(&width, &height));
    EXPECT_GT(width, 0);
    EXPECT_GT(height, 0);
    EXPECT_EQ(static_cast<unsigned>(width), render.GetMonitorWidth());
    EXPECT_EQ(static_cast<unsigned>(height), render.GetMonitorHeight());
}

TEST(DisplaySettings, WindowedFullScreenAndStretchApplyLive)
{
    BackendWindow window;
    window.Open();
    EngineCore::RenderSystem& render = EngineCore::RenderSystem::Instance();
    render.SetChangeScreenSettingsFunction(window.app->GetScreenSettingsDelegate());
    int restored = 0;
    window.app->SetScreenSettingsUpdater([&](const ScreenSettings&) { ++restored; });
    struct Case {
        bool windowed, stretch;
    } cases[] = {{false, false}, {false, true}, {true, false}};
    for (const Case& c : cases) {
        ScreenSettings settings = render.GetScreenSettings();
        settings.windowed = c.windowed;
        settings.stretch = c.stretch;
        render.ApplyScreenSettings(settings);
        EXPECT_EQ(c.windowed, Hge()->System_GetState(HGE_WINDOWED));
        EXPECT_EQ(c.stretch, Hge()->Gfx_GetStretch());
        window.RunFrames(2);
    }
    // The graphics-restored report follows each change once.
    EXPECT_EQ(3, restored);
    render.SetChangeScreenSettingsFunction(nullptr);
    window.app->SetScreenSettingsUpdater(nullptr);
}
