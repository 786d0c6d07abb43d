// The interface object, its states and the frame loop.
#include <SDL.h>
#include <FreeImage.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "tests/platform/gl/HgeWindow.h"
#include "tests/support/TempFolder.h"

namespace hgetest {
namespace {

// Callbacks are plain functions: they reach the test through these.
HGE* g_hge = nullptr;
int g_frames = 0;
int g_renders = 0;
int g_stopAfter = 0;
int g_exitCalls = 0;
bool g_exitAnswer = false;
int g_restores = 0;
std::vector<float> g_frameDeltas;
std::vector<float> g_renderDeltas;

void ResetCounters() {
    g_frames = g_renders = g_exitCalls = g_restores = 0;
    g_stopAfter = 0;
    g_exitAnswer = false;
    g_frameDeltas.clear();
    g_renderDeltas.clear();
}

// Draws frame n in colour 0xFF0000nn.
bool NumberedRender() {
    ++g_renders;
    g_hge->Gfx_BeginScene();
    g_hge->Gfx_Clear(0xFF000000u | DWORD(g_renders));
    g_hge->Gfx_EndScene();
    return false;
}

bool CountingFrame() {
    g_frameDeltas.push_back(g_hge->Timer_GetDelta());
    return ++g_frames >= g_stopAfter;
}

bool CountingRender() {
    g_renderDeltas.push_back(g_hge->Timer_GetDelta());
    ++g_renders;
    return false;
}

bool Exit() {
    ++g_exitCalls;
    return g_exitAnswer;
}

bool Restore() {
    ++g_restores;
    return true;
}

class SystemTest : public HgeWindowTest {
protected:
    void SetUp() override {
        HgeWindowTest::SetUp();
        g_hge = hge;
        ResetCounters();
        hge->System_SetState(HGE_FRAMEFUNC, CountingFrame);
        hge->System_SetState(HGE_RENDERFUNC, CountingRender);
    }
};

TEST(HgeObjectTest, SharedAndCountedPerCreate) {
    EXPECT_EQ(hgeCreate(0x170), nullptr);
    HGE* a = hgeCreate(HGE_VERSION);
    HGE* b = hgeCreate(HGE_VERSION);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b);
    a->System_SetState(HGE_SCREENWIDTH, 320);
    a->Release();
    EXPECT_EQ(b->System_GetState(HGE_SCREENWIDTH), 320);  // still alive
    b->Release();
    HGE* c = hgeCreate(HGE_VERSION);
    EXPECT_EQ(c->System_GetState(HGE_SCREENWIDTH), 800);  // a fresh object
    c->Release();
}

TEST(HgeObjectTest, StatesSetBeforeInitiateHoldAfterIt) {
    HGE* hge = hgeCreate(HGE_VERSION);
    EXPECT_EQ(hge->System_GetState(HGE_HWND), nullptr);
    hge->System_SetState(HGE_WINDOWED, true);
    hge->System_SetState(HGE_SCREENWIDTH, 96);
    hge->System_SetState(HGE_SCREENHEIGHT, 64);
    hge->System_SetState(HGE_SCREENBPP, 16);
    hge->System_SetState(HGE_MUSVOLUME, 140);
    hge->System_SetState(HGE_HIDEMOUSE, false);
    hge->System_SetState(HGE_SHOWSPLASH, false);
    hge->System_SetState(HGE_TITLE, " * title * ");
    hge->System_SetState(HGE_ICON, reinterpret_cast<const char*>(102));
    hge->System_SetState(HGE_EXITFUNC, Exit);
    ASSERT_TRUE(hge->System_Initiate());
    EXPECT_TRUE(hge->System_GetState(HGE_WINDOWED));
    EXPECT_EQ(hge->System_GetState(HGE_SCREENWIDTH), 96);
    EXPECT_EQ(hge->System_GetState(HGE_SCREENHEIGHT), 64);
    EXPECT_EQ(hge->System_GetState(HGE_SCREENBPP), 16);
    EXPECT_EQ(hge->System_GetState(HGE_MUSVOLUME), 100);  // clamped
    EXPECT_FALSE(hge->System_GetState(HGE_HIDEMOUSE));
    EXPECT_STREQ(hge->System_GetState(HGE_TITLE), " * title * ");
    EXPECT_EQ(hge->System_GetState(HGE_ICON), reinterpret_cast<const char*>(102));
    EXPECT_EQ(hge->System_GetState(HGE_EXITFUNC), &Exit);
    SDL_Window* window = static_cast<SDL_Window*>(hge->System_GetState(HGE_HWND));
    ASSERT_NE(window, nullptr);
    int w = 0, h = 0;
    SDL_GetWindowSize(window, &w, &h);
    EXPECT_EQ(w, 96);
    EXPECT_EQ(h, 64);
    EXPECT_STREQ(SDL_GetWindowTitle(window), " * title * ");
    EXPECT_FALSE(hge->System_Initiate());  // already open
    hge->System_Shutdown();
    EXPECT_EQ(hge->System_GetState(HGE_HWND), nullptr);
    hge->Release();
}

TEST_F(SystemTest, LoopRunsUntilTheFrameFunctionSaysStop) {
    g_stopAfter = 5;
    hge->Test_SetFixedDelta(0.025f);
    EXPECT_TRUE(hge->System_Start());
    EXPECT_EQ(g_frames, 5);
    EXPECT_EQ(g_renders, 4);  // the stopping frame is not rendered
    for (float d : g_frameDeltas) EXPECT_FLOAT_EQ(d, 0.025f);
    for (float d : g_renderDeltas) EXPECT_FLOAT_EQ(d, 0.025f);

    // Back on the real clock: deltas are measured, never above a tenth of a second.
    hge->Test_SetFixedDelta(0);
    ResetCounters();
    g_stopAfter = 3;
    EXPECT_TRUE(hge->System_Start());
    ASSERT_EQ(g_renderDeltas.size(), 2u);
    for (size_t i = 0; i < g_renderDeltas.size(); ++i) {
        EXPECT_EQ(g_renderDeltas[i], g_frameDeltas[i]);
        EXPECT_GE(g_frameDeltas[i], 0.0f);
        EXPECT_LE(g_frameDeltas[i], 0.1f);
    }
}

bool ThrowingFrame() {
    ++g_frames;
    throw std::runtime_error("script failed");
}

TEST_F(SystemTest, ExceptionsFromCallbacksPassThroughAndTheLoopCanRunAgain) {
    hge->System_SetState(HGE_FRAMEFUNC, ThrowingFrame);
    EXPECT_THROW(hge->System_Start(), std::runtime_error);
    EXPECT_EQ(g_frames, 1);
    hge->System_SetState(HGE_FRAMEFUNC, CountingFrame);
    g_stopAfter = 3;
    EXPECT_TRUE(hge->System_Start());
    EXPECT_EQ(g_frames, 3);
}

bool ThrowingRender() {
    g_hge->Gfx_BeginScene();
    throw std::runtime_error("script failed while drawing");
}

TEST_F(SystemTest, SceneLeftOpenByAnExceptionDoesNotBlockTheNextFrames) {
    hge->System_SetState(HGE_RENDERFUNC, ThrowingRender);
    g_stopAfter = 5;
    EXPECT_THROW(hge->System_Start(), std::runtime_error);
    hge->System_SetState(HGE_RENDERFUNC, NumberedRender);
    ResetCounters();
    g_stopAfter = 3;
    EXPECT_TRUE(hge->System_Start());
    EXPECT_EQ(At(ReadScene(), 1, 1), 0xFF000002u);
}

TEST_F(SystemTest, LoopWithoutFrameFunctionDoesNotRun) {
    hge->System_SetState(HGE_FRAMEFUNC, static_cast<hgeCallback>(nullptr));
    EXPECT_FALSE(hge->System_Start());
    EXPECT_EQ(g_renders, 0);
}

TEST_F(SystemTest, WindowCloseAsksTheExitFunction) {
    hge->System_SetState(HGE_EXITFUNC, Exit);
    g_stopAfter = 3;
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    g_exitAnswer = false;  // refused: the loop goes on
    EXPECT_TRUE(hge->System_Start());
    EXPECT_EQ(g_exitCalls, 1);
    EXPECT_EQ(g_frames, 3);

    ResetCounters();
    g_stopAfter = 100;
    g_exitAnswer = true;
    SDL_PushEvent(&quit);
    EXPECT_TRUE(hge->System_Start());
    EXPECT_EQ(g_exitCalls, 1);
    EXPECT_EQ(g_frames, 0);
}

TEST_F(SystemTest, ModeChangesNotifyOnceAtTheNextFrame) {
    hge->System_SetState(HGE_GFXRESTOREFUNC, Restore);
    hge->System_SetState(HGE_WINDOWED, false);
    hge->Gfx_SetStretch(true);
    EXPECT_EQ(g_restores, 0);  // not from inside the call that changed it
    g_stopAfter = 2;
    hge->System_Start();
    EXPECT_EQ(g_restores, 1);
    hge->Gfx_SetStretch(true);  // no change, no notice
    ResetCounters();
    g_stopAfter = 2;
    hge->System_Start();
    EXPECT_EQ(g_restores, 0);
}

TEST_F(SystemTest, SnapshotWritesTheFrameAsBmp) {
    ASSERT_TRUE(hge->Gfx_BeginScene());
    hge->Gfx_Clear(0xFF102030);
    const hgeQuad q = Quad(0, 0, 10, 5, 0xFFFF8000);
    hge->Gfx_RenderQuad(&q);
    const hgeQuad r = Quad(50, 40, 64, 48, 0xFF00FFFF);
    hge->Gfx_RenderQuad(&r);
    hge->Gfx_EndScene();
    const auto frame = ReadScene();

    const std::string path =
        (std::filesystem::temp_directory_path() / ("hge-snapshot-" + std::to_string(getpid()) + ".bmp")).string();
    hge->System_Snapshot(path.c_str());
    FIBITMAP* bmp = FreeImage_Load(FIF_BMP, path.c_str(), 0);
    ASSERT_NE(bmp, nullptr);
    EXPECT_EQ(FreeImage_GetBPP(bmp), 24u);
    ASSERT_EQ(int(FreeImage_GetWidth(bmp)), width);
    ASSERT_EQ(int(FreeImage_GetHeight(bmp)), height);
    int differing = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            RGBQUAD c;
            FreeImage_GetPixelColor(bmp, x, height - 1 - y, &c);
            const DWORD got = 0xFF000000u | (DWORD(c.rgbRed) << 16) | (DWORD(c.rgbGreen) << 8) | c.rgbBlue;
            differing += got != (At(frame, x, y) | 0xFF000000u);
        }
    EXPECT_EQ(differing, 0);
    FreeImage_Unload(bmp);
    std::remove(path.c_str());

    hge->System_Snapshot("/nonexistent-folder/x.bmp");  // errors stay invisible
}

TEST_F(SystemTest, TheLastFrameStaysReadableAfterTheLoopAndDuringTheExitQuestion) {
    hge->System_SetState(HGE_RENDERFUNC, NumberedRender);
    g_stopAfter = 4;
    ASSERT_TRUE(hge->System_Start());
    ASSERT_EQ(g_renders, 3);
    EXPECT_EQ(At(ReadScene(), 5, 5), 0xFF000003u);

    // A snapshot from the exit function sees the frame before it.
    struct Local {
        static bool ExitReads() {
            std::vector<DWORD> px(size_t(kWidth) * kHeight);
            g_hge->Test_ReadPixels(0, px.data());
            g_exitCalls = int(px[0] & 0xFF);
            return true;
        }
    };
    hge->System_SetState(HGE_EXITFUNC, Local::ExitReads);
    ResetCounters();
    g_stopAfter = 100;
    struct Quitter {
        static bool Frame() {
            if (++g_frames == 3) {
                SDL_Event quit{};
                quit.type = SDL_QUIT;
                SDL_PushEvent(&quit);
            }
            return false;
        }
    };
    hge->System_SetState(HGE_FRAMEFUNC, Quitter::Frame);
    ASSERT_TRUE(hge->System_Start());
    EXPECT_EQ(g_renders, 3);
    EXPECT_EQ(g_exitCalls, 3);
}

TEST_F(SystemTest, ExitQuestionTakesTheTestAnswerAndSaysYesWithoutADisplay) {
    hge->Test_SetYesNoAnswer(0);
    EXPECT_FALSE(hge->System_AskYesNo("You really want to quit?", "Information"));
    hge->Test_SetYesNoAnswer(1);
    EXPECT_TRUE(hge->System_AskYesNo("You really want to quit?", "Information"));
    hge->Test_SetYesNoAnswer(-1);
    EXPECT_TRUE(hge->System_AskYesNo("You really want to quit?", "Information"));
}

TEST_F(SystemTest, ShutdownWithASceneOpenAndEveryCallAfterwardsIsHarmless) {
    HTEXTURE tex = hge->Texture_Create(4, 4);
    HTARGET target = hge->Target_Create(4, 4, false, 0);
    ASSERT_TRUE(hge->Gfx_BeginScene());
    const hgeQuad q = Quad(0, 0, 4, 4, 0xFFFFFFFF, tex);
    hge->Gfx_RenderQuad(&q);
    hge->System_Shutdown();

    hgeQuad again = q;
    hge->Gfx_RenderQuad(&again);
    hge->Gfx_EndScene();
    EXPECT_FALSE(hge->Gfx_BeginScene());
    hge->Gfx_Clear(0);
    hge->Gfx_SetTransform(0, 0, 0, 0, 0, 2, 2);
    EXPECT_EQ(hge->Texture_Lock(tex, false), nullptr);
    hge->Texture_Unlock(tex);
    hge->Texture_Free(tex);
    EXPECT_EQ(hge->Texture_Create(4, 4), 0u);
    EXPECT_EQ(hge->Target_Create(4, 4, false, 0), 0u);
    EXPECT_EQ(hge->Target_TakeTexture(target), 0u);
    hge->Target_Free(target);
    EXPECT_FALSE(hge->System_Start());
    const TestSupport::TempFolder folder;
    const std::string never = folder / "never.bmp";
    hge->System_Snapshot(never.c_str());
    EXPECT_FALSE(std::filesystem::exists(never)) << "a shut-down object wrote a snapshot";
    EXPECT_FALSE(hge->Test_ReadPixels(0, nullptr));
    EXPECT_EQ(hge->Effect_Load("x", 1), 0u);
    hge->Channel_Stop(1);
    hge->Channel_StopAll();
    EXPECT_FALSE(hge->Channel_IsPlaying(1));
    hgeInputEvent e;
    EXPECT_FALSE(hge->Input_GetEvent(&e));
    hge->Input_SetMousePos(1, 1);
    hge->System_SetState(HGE_WINDOWED, false);
    hge->Gfx_SetStretch(true);
    hge->Window_Minimize();
    hge->Window_Restore();
    hge->System_Shutdown();

    // The object opens again and draws.
    ASSERT_TRUE(hge->System_Initiate());
    EXPECT_FALSE(hge->System_Initiate());  // already open
    EXPECT_EQ(hge->Texture_GetWidth(tex, true), 0);  // textures went with the shutdown
    HTEXTURE fresh = hge->Texture_Create(8, 8);
    EXPECT_NE(fresh, tex);  // and their handles stay stale
    EXPECT_EQ(hge->Texture_GetWidth(tex, true), 0);
    ASSERT_TRUE(hge->Gfx_BeginScene());
    hge->Gfx_Clear(0xFF000000);
    const hgeQuad white = Quad(0, 0, 4, 4, 0xFFFFFFFF);
    hge->Gfx_RenderQuad(&white);
    hge->Gfx_EndScene();
    EXPECT_EQ(At(ReadScene(), 2, 2), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace hgetest
