// Full screen on an X server with no window manager: nothing grants the request, yet the
// picture must fill the screen, and the pointer must map back to the game.
#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>

#include "tests/e2e/gl/XServer.h"
#include "tests/platform/gl/HgeWindow.h"
#include "tests/support/EnvGuard.h"

// Last: Xlib's macros (Bool, None, Status) would break the headers above.
#include "tests/e2e/gl/XWindows.h"

namespace hgetest {
namespace {

constexpr int kScreenWidth = 1280;  // the XServer's screen
constexpr int kScreenHeight = 1024;
constexpr DWORD kBackground = 0xFF0000FF;
constexpr DWORD kCorner = 0xFFFF0000;

HGE* g_hge = nullptr;
int g_frames = 0;
int g_stopAfter = 0;
hgeQuad g_corner{};

bool CountFrames() { return ++g_frames >= g_stopAfter; }

// Blue, with the game's bottom right 64 x 64 corner red.
bool DrawCorner() {
    g_hge->Gfx_BeginScene();
    g_hge->Gfx_Clear(kBackground);
    g_hge->Gfx_RenderQuad(&g_corner);
    g_hge->Gfx_EndScene();
    return false;
}

// `xdotool ... --shell` output: NAME=value lines.
std::map<std::string, int> ShellValues(const std::string& text) {
    std::map<std::string, int> values;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t eq = line.find('=');
        if (eq != std::string::npos) values[line.substr(0, eq)] = std::atoi(line.c_str() + eq + 1);
    }
    return values;
}

class FullScreenTest : public HgeWindowTest {
protected:
    void SetUp() override {
        ASSERT_FALSE(screen.Display().empty()) << "no virtual X server: scripts/setup.sh installs Xvfb";
        setenv("DISPLAY", screen.Display().c_str(), 1);
        setenv("SDL_VIDEODRIVER", "x11", 1);
        width = 1024;
        height = 768;
        hge = hgeCreate(HGE_VERSION);
        ASSERT_NE(hge, nullptr);
        hge->System_SetState(HGE_WINDOWED, false);
        hge->System_SetState(HGE_SCREENWIDTH, width);
        hge->System_SetState(HGE_SCREENHEIGHT, height);
        hge->System_SetState(HGE_TITLE, "Full screen test");
        ASSERT_TRUE(hge->System_Initiate());
        g_hge = hge;
        g_corner = Quad(960, 704, 1024, 768, kCorner);
        hge->System_SetState(HGE_FRAMEFUNC, CountFrames);
        hge->System_SetState(HGE_RENDERFUNC, DrawCorner);
        hge->Test_SetFixedDelta(0.01f);
    }

    void RunFrames(int n) {
        g_stopAfter = g_frames + n;
        hge->System_Start();
    }

    // Where the window really is, as the X server has it.
    std::map<std::string, int> Geometry() {
        std::string text;
        EXPECT_EQ(E2E::RunTool({"xdotool", "search", "--sync", "--onlyvisible", "--name", "^Full screen test$",
                                "getwindowgeometry", "--shell"},
                               screen.Display(), &text),
                  0);
        return ShellValues(text);
    }

    unsigned long Pixel(int x, int y) {
        E2E::XConnection connection(screen.Display());
        return connection.Open() ? connection.ScreenPixel(x, y) : ~0ul;
    }

    E2E::XServer screen;
    TestSupport::EnvGuard display{"DISPLAY"}, driver{"SDL_VIDEODRIVER"};
};

TEST_F(FullScreenTest, WithoutAWindowManagerThePictureStillFillsTheScreen) {
    RunFrames(5);
    auto where = Geometry();
    EXPECT_EQ(where["X"], 0);
    EXPECT_EQ(where["Y"], 0);
    EXPECT_EQ(where["WIDTH"], kScreenWidth);
    EXPECT_EQ(where["HEIGHT"], kScreenHeight);

    // 1.25 times the game, with bars of 32 pixels above and below.
    const float s = 1.25f;
    const int barY = 32;
    EXPECT_FLOAT_EQ(hge->Gfx_GetHorizontalScale(), s);
    EXPECT_FLOAT_EQ(hge->Gfx_GetVerticalScale(), s);

    // The picture on the screen: the red corner at the screen's bottom right, above the bar.
    EXPECT_EQ(Pixel(kScreenWidth - 10, kScreenHeight - barY - 10), kCorner & 0xFFFFFFu);
    EXPECT_EQ(Pixel(kScreenWidth / 2, kScreenHeight / 2), kBackground & 0xFFFFFFu);
    EXPECT_EQ(Pixel(kScreenWidth / 2, barY / 2), 0u);
    EXPECT_EQ(Pixel(kScreenWidth / 2, kScreenHeight - barY / 2), 0u);

    // The real pointer over the game's point (768, 576) reads back as that point.
    const int px = int(std::lround(768 * s)), py = barY + int(std::lround(576 * s));
    ASSERT_EQ(E2E::RunTool({"xdotool", "mousemove", "--sync", std::to_string(px), std::to_string(py)},
                           screen.Display()),
              0);
    RunFrames(3);
    float x = 0, y = 0;
    hge->Input_GetMousePos(&x, &y);
    EXPECT_NEAR(x / hge->Gfx_GetHorizontalScale() + hge->Gfx_GetHorizontalOffset(), 768.0f, 1.0f);
    EXPECT_NEAR(y / hge->Gfx_GetVerticalScale() + hge->Gfx_GetVerticalOffset(), 576.0f, 1.0f);

    // Back to a window of the game's size, and full screen again.
    hge->System_SetState(HGE_WINDOWED, true);
    RunFrames(3);
    where = Geometry();
    EXPECT_EQ(where["WIDTH"], 1024);
    EXPECT_EQ(where["HEIGHT"], 768);
    hge->System_SetState(HGE_WINDOWED, false);
    RunFrames(5);
    where = Geometry();
    EXPECT_EQ(where["X"], 0);
    EXPECT_EQ(where["Y"], 0);
    EXPECT_EQ(where["WIDTH"], kScreenWidth);
    EXPECT_EQ(where["HEIGHT"], kScreenHeight);
    EXPECT_EQ(Pixel(kScreenWidth - 10, kScreenHeight - barY - 10), kCorner & 0xFFFFFFu);
}

}  // namespace
}  // namespace hgetest
