// SDL events through the frame loop's pump into hgeInputEvents, and the display mapping.
#include <SDL.h>

#include <cstring>

#include "tests/platform/gl/HgeWindow.h"

namespace hgetest {
namespace {

HGE* g_hge = nullptr;
std::vector<std::vector<hgeInputEvent>> g_frames;
std::vector<int> g_wheels;
std::vector<bool> g_over;
int g_stopAfter = 1;

bool Collect() {
    std::vector<hgeInputEvent> events;
    hgeInputEvent e;
    while (g_hge->Input_GetEvent(&e)) events.push_back(e);
    g_frames.push_back(events);
    g_wheels.push_back(g_hge->Input_GetMouseWheel());
    g_over.push_back(g_hge->Input_IsMouseOver());
    return int(g_frames.size()) >= g_stopAfter;
}

void PushKey(Uint32 type, SDL_Keycode sym, SDL_Scancode scan, Uint8 repeat = 0) {
    SDL_Event ev{};
    ev.type = type;
    ev.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    ev.key.repeat = repeat;
    ev.key.keysym.sym = sym;
    ev.key.keysym.scancode = scan;
    SDL_PushEvent(&ev);
}

void PushText(const char* utf8) {
    SDL_Event ev{};
    ev.type = SDL_TEXTINPUT;
    std::strncpy(ev.text.text, utf8, sizeof(ev.text.text) - 1);
    SDL_PushEvent(&ev);
}

void PushButton(Uint32 type, Uint8 button, int x, int y) {
    SDL_Event ev{};
    ev.type = type;
    ev.button.button = button;
    ev.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    ev.button.x = x;
    ev.button.y = y;
    SDL_PushEvent(&ev);
}

void PushWheel(int y, bool flipped = false) {
    SDL_Event ev{};
    ev.type = SDL_MOUSEWHEEL;
    ev.wheel.y = y;
    ev.wheel.direction = flipped ? SDL_MOUSEWHEEL_FLIPPED : SDL_MOUSEWHEEL_NORMAL;
    SDL_PushEvent(&ev);
}

void PushWindowEvent(HGE* hge, Uint8 what) {
    SDL_Event ev{};
    ev.type = SDL_WINDOWEVENT;
    ev.window.event = what;
    ev.window.windowID = SDL_GetWindowID(static_cast<SDL_Window*>(hge->System_GetState(HGE_HWND)));
    SDL_PushEvent(&ev);
}

class InputTest : public HgeWindowTest {
protected:
    void SetUp() override {
        HgeWindowTest::SetUp();
        g_hge = hge;
        g_frames.clear();
        g_wheels.clear();
        g_over.clear();
        g_stopAfter = 1;
        hge->System_SetState(HGE_FRAMEFUNC, Collect);
        hge->Test_SetFixedDelta(0.01f);
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    void RunFrames(int n) {
        g_stopAfter = int(g_frames.size()) + n;
        hge->System_Start();
    }
};

TEST_F(InputTest, KeysBecomeVirtualKeyCodesWithTheirCharacters) {
    PushKey(SDL_KEYDOWN, SDLK_a, SDL_SCANCODE_A);
    PushText("a");
    PushKey(SDL_KEYDOWN, SDLK_a, SDL_SCANCODE_A, 1);  // held: a repeat is one more key-down
    PushText("a");
    PushKey(SDL_KEYUP, SDLK_a, SDL_SCANCODE_A);
    PushKey(SDL_KEYDOWN, SDLK_RETURN, SDL_SCANCODE_RETURN);
    PushKey(SDL_KEYDOWN, SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE);
    PushKey(SDL_KEYDOWN, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE);
    PushKey(SDL_KEYDOWN, SDLK_TAB, SDL_SCANCODE_TAB);
    PushKey(SDL_KEYDOWN, SDLK_e, SDL_SCANCODE_E);
    PushText("\xC3\xA9");  // U+00E9: 8 bits, delivered
    PushKey(SDL_KEYDOWN, SDLK_e, SDL_SCANCODE_E);
    PushText("\xE2\x82\xAC");  // U+20AC: not delivered
    PushKey(SDL_KEYDOWN, SDLK_RSHIFT, SDL_SCANCODE_RSHIFT);
    PushKey(SDL_KEYDOWN, SDLK_KP_7, SDL_SCANCODE_KP_7);
    PushKey(SDL_KEYDOWN, SDLK_SEMICOLON, SDL_SCANCODE_SEMICOLON);
    PushKey(SDL_KEYDOWN, 0x444, SDL_SCANCODE_A);  // a Cyrillic layout: the key's position
    RunFrames(1);

    struct Want {
        int type, key, chr;
    } const want[] = {
        {INPUT_KEYDOWN, 'A', 'a'}, {INPUT_KEYDOWN, 'A', 'a'}, {INPUT_KEYUP, 'A', 0},
        {INPUT_KEYDOWN, HGEK_ENTER, 13}, {INPUT_KEYDOWN, HGEK_BACKSPACE, 8}, {INPUT_KEYDOWN, HGEK_ESCAPE, 27},
        {INPUT_KEYDOWN, HGEK_TAB, 9}, {INPUT_KEYDOWN, 'E', 0xE9}, {INPUT_KEYDOWN, 'E', 0},
        {INPUT_KEYDOWN, HGEK_SHIFT, 0}, {INPUT_KEYDOWN, HGEK_NUMPAD0 + 7, 0}, {INPUT_KEYDOWN, HGEK_SEMICOLON, 0},
        {INPUT_KEYDOWN, 'A', 0},
    };
    ASSERT_EQ(g_frames.size(), 1u);
    const auto& got = g_frames[0];
    ASSERT_EQ(got.size(), sizeof(want) / sizeof(want[0]));
    for (size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(::testing::Message() << "event " << i);
        EXPECT_EQ(got[i].type, want[i].type);
        EXPECT_EQ(got[i].key, want[i].key);
        EXPECT_EQ(got[i].chr, want[i].chr);
    }
    EXPECT_TRUE(got[1].flags & HGEINP_REPEAT);
    EXPECT_FALSE(got[0].flags & HGEINP_REPEAT);
}

TEST_F(InputTest, KeyStatesAndEdgesFollowTheFrames) {
    PushKey(SDL_KEYDOWN, SDLK_LEFT, SDL_SCANCODE_LEFT);
    RunFrames(1);
    EXPECT_TRUE(hge->Input_GetKeyState(HGEK_LEFT));  // still held after the frame
    PushKey(SDL_KEYUP, SDLK_LEFT, SDL_SCANCODE_LEFT);
    RunFrames(1);
    EXPECT_FALSE(hge->Input_GetKeyState(HGEK_LEFT));
    EXPECT_FALSE(hge->Input_KeyDown(HGEK_LEFT));  // edges end with their frame
    EXPECT_EQ(hge->Input_GetKey(), 0);
    EXPECT_FALSE(hge->Input_GetKeyState(0));
    EXPECT_FALSE(hge->Input_GetKeyState(300));
}

TEST_F(InputTest, MouseButtonsPositionsAndThePerFrameWheel) {
    PushWindowEvent(hge, SDL_WINDOWEVENT_ENTER);
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 20);
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 11, 21);
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 12, 22);
    PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 13, 23);
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1, 13, 23);  // no code: dropped
    PushWheel(2);
    PushWheel(1, true);
    RunFrames(1);
    PushWindowEvent(hge, SDL_WINDOWEVENT_LEAVE);
    RunFrames(1);

    const auto& got = g_frames[0];
    ASSERT_EQ(got.size(), 6u);
    struct Want {
        int type, key, wheel;
        float x, y;
    } const want[] = {
        {INPUT_MBUTTONDOWN, HGEK_LBUTTON, 0, 10, 20}, {INPUT_MBUTTONDOWN, HGEK_RBUTTON, 0, 11, 21},
        {INPUT_MBUTTONDOWN, HGEK_MBUTTON, 0, 12, 22}, {INPUT_MBUTTONUP, HGEK_RBUTTON, 0, 13, 23},
        {INPUT_MOUSEWHEEL, 0, 2, 13, 23},            {INPUT_MOUSEWHEEL, 0, -1, 13, 23},
    };
    for (size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(::testing::Message() << "event " << i);
        EXPECT_EQ(got[i].type, want[i].type);
        EXPECT_EQ(got[i].key, want[i].key);
        EXPECT_EQ(got[i].wheel, want[i].wheel);
        EXPECT_EQ(got[i].x, want[i].x);
        EXPECT_EQ(got[i].y, want[i].y);
    }
    EXPECT_EQ(g_wheels[0], 1);
    EXPECT_EQ(g_wheels[1], 0);
    EXPECT_TRUE(g_over[0]);
    EXPECT_FALSE(g_over[1]);
    EXPECT_TRUE(hge->Input_GetKeyState(HGEK_LBUTTON));
    EXPECT_TRUE(hge->Input_GetKeyState(HGEK_MBUTTON));
    EXPECT_FALSE(hge->Input_GetKeyState(HGEK_RBUTTON));
    float x = 0, y = 0;
    hge->Input_GetMousePos(&x, &y);
    EXPECT_EQ(x, 13);
    EXPECT_EQ(y, 23);
}

// Full screen: 1024 x 768 on the offscreen driver's desktop, whatever the display elsewhere.
class LetterboxTest : public InputTest {
protected:
    void SetUp() override {
        width = 800;
        height = 400;
        hge = hgeCreate(HGE_VERSION);
        hge->System_SetState(HGE_WINDOWED, false);
        hge->System_SetState(HGE_SCREENWIDTH, width);
        hge->System_SetState(HGE_SCREENHEIGHT, height);
        ASSERT_TRUE(hge->System_Initiate());
        g_hge = hge;
        g_frames.clear();
        g_wheels.clear();
        g_over.clear();
        hge->System_SetState(HGE_FRAMEFUNC, Collect);
        hge->Test_SetFixedDelta(0.01f);
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
};

TEST_F(LetterboxTest, BarsAndStretchMapThePointerBackToTheGame) {
    SDL_Window* window = static_cast<SDL_Window*>(hge->System_GetState(HGE_HWND));
    int ww = 0, wh = 0;
    SDL_GetWindowSize(window, &ww, &wh);
    ASSERT_LT(ww * 400, wh * 800);  // taller than the game: bars above and below
    // On 1024 x 768: 1.28 times, bars of 128 pixels, 100 game pixels each.
    const float s = float(ww) / 800.0f;
    const float barY = (float(wh) - 400.0f * s) / 2.0f;
    EXPECT_FLOAT_EQ(hge->Gfx_GetHorizontalScale(), s);
    EXPECT_FLOAT_EQ(hge->Gfx_GetVerticalScale(), s);
    EXPECT_FLOAT_EQ(hge->Gfx_GetHorizontalOffset(), 0.0f);
    EXPECT_FLOAT_EQ(hge->Gfx_GetVerticalOffset(), -barY / s);
    EXPECT_TRUE(hge->Input_IsMouseOver());  // full screen: always

    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, ww / 2, wh / 2);
    RunFrames(1);
    ASSERT_EQ(g_frames[0].size(), 1u);
    const hgeInputEvent& e = g_frames[0][0];
    EXPECT_FLOAT_EQ(e.x / hge->Gfx_GetHorizontalScale() + hge->Gfx_GetHorizontalOffset(), 400.0f);
    EXPECT_FLOAT_EQ(e.y / hge->Gfx_GetVerticalScale() + hge->Gfx_GetVerticalOffset(), 200.0f);

    // Setting the pointer takes game coordinates.
    hge->Input_SetMousePos(100, 50);
    float x = 0, y = 0;
    hge->Input_GetMousePos(&x, &y);
    EXPECT_FLOAT_EQ(x, 100.0f * s);
    EXPECT_FLOAT_EQ(y, 50.0f * s + barY);

    // The picture itself stays at the game's size, whatever the window.
    ASSERT_TRUE(hge->Gfx_BeginScene());
    hge->Gfx_Clear(0xFF000000);
    const hgeQuad q = Quad(790, 390, 800, 400, 0xFF00FF00);
    hge->Gfx_RenderQuad(&q);
    hge->Gfx_EndScene();
    const auto px = ReadScene();
    EXPECT_EQ(At(px, 795, 395), 0xFF00FF00u);
    EXPECT_EQ(At(px, 785, 395), 0xFF000000u);

    hge->Gfx_SetStretch(true);
    EXPECT_FLOAT_EQ(hge->Gfx_GetHorizontalScale(), s);
    EXPECT_FLOAT_EQ(hge->Gfx_GetVerticalScale(), float(wh) / 400.0f);
    EXPECT_FLOAT_EQ(hge->Gfx_GetVerticalOffset(), 0.0f);

    hge->System_SetState(HGE_WINDOWED, true);
    EXPECT_FLOAT_EQ(hge->Gfx_GetHorizontalScale(), 1.0f);
    EXPECT_FLOAT_EQ(hge->Gfx_GetVerticalScale(), 1.0f);
    SDL_GetWindowSize(window, &ww, &wh);
    EXPECT_EQ(ww, 800);
    EXPECT_EQ(wh, 400);
}

}  // namespace
}  // namespace hgetest
