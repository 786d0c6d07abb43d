#pragma once
// The game's drawing, input, sound and window interface: one shared, reference-counted
// object (hgeCreate / Release) over SDL2, OpenGL 3.3 core, OpenAL and FreeImage.
//
// Conventions every caller relies on:
// - Handles are 32-bit; 0 means none. A handle carries a generation, so a stale or freed
//   handle is harmless: calls with it do nothing and return 0 / false / null.
// - Colours and texels are 32-bit ARGB; in memory a texel's bytes are B, G, R, A.
// - OpenGL is used only by the thread that called System_Initiate. Textures may be
//   created, loaded, locked and freed on any thread; their pixels reach the GPU on the
//   main thread before they are first drawn.
// - After System_Shutdown every call is harmless until System_Initiate opens it again.
#include <cstdint>

typedef uint32_t DWORD;
typedef uint32_t HTEXTURE;
typedef uint32_t HTARGET;
typedef uint32_t HEFFECT;
typedef uint32_t HMUSIC;
typedef uint32_t HSTREAM;
typedef uint32_t HCHANNEL;
typedef void* HWND;  // the SDL_Window*

typedef bool (*hgeCallback)();

#define HGE_VERSION 0x180

// Blend flags of a quad.
#define BLEND_COLORADD   1  // texel colour + vertex colour
#define BLEND_COLORMUL   0  // texel colour * vertex colour
#define BLEND_ALPHABLEND 2  // source over destination
#define BLEND_ALPHAADD   0  // source added to destination
#define BLEND_ZWRITE     4  // no visible effect: nothing is drawn with a depth buffer
#define BLEND_NOZWRITE   0
#define BLEND_DEFAULT    (BLEND_COLORMUL | BLEND_ALPHABLEND | BLEND_NOZWRITE)
#define BLEND_DEFAULT_Z  (BLEND_COLORMUL | BLEND_ALPHABLEND | BLEND_ZWRITE)

enum hgeBoolState {
    HGE_WINDOWED = 1,
    HGE_HIDEMOUSE = 6,
    HGE_SHOWSPLASH = 7,
};

enum hgeFuncState {
    HGE_FRAMEFUNC = 8,
    HGE_RENDERFUNC = 9,
    HGE_FOCUSLOSTFUNC = 10,
    HGE_FOCUSGAINFUNC = 11,
    HGE_GFXRESTOREFUNC = 12,
    HGE_EXITFUNC = 13,
};

enum hgeHwndState {
    HGE_HWND = 15,
};

enum hgeIntState {
    HGE_SCREENWIDTH = 17,
    HGE_SCREENHEIGHT = 18,
    HGE_SCREENBPP = 19,
    HGE_MUSVOLUME = 22,  // 0-100, scales every music channel
};

enum hgeStringState {
    HGE_ICON = 26,  // an integer icon id in place of the text (see System_RegisterIcon)
    HGE_TITLE = 27,
    HGE_LOGFILE = 29,
};

// Input event types.
#define INPUT_KEYDOWN     1
#define INPUT_KEYUP       2
#define INPUT_MBUTTONDOWN 3
#define INPUT_MBUTTONUP   4
#define INPUT_MOUSEMOVE   5
#define INPUT_MOUSEWHEEL  6

// Input event flags.
#define HGEINP_SHIFT      1
#define HGEINP_CTRL       2
#define HGEINP_ALT        4
#define HGEINP_CAPSLOCK   8
#define HGEINP_SCROLLLOCK 16
#define HGEINP_NUMLOCK    32
#define HGEINP_REPEAT     64

// Key codes: Windows virtual-key codes; mouse buttons 1, 2, 4.
#define HGEK_LBUTTON    0x01
#define HGEK_RBUTTON    0x02
#define HGEK_MBUTTON    0x04
#define HGEK_BACKSPACE  0x08
#define HGEK_TAB        0x09
#define HGEK_ENTER      0x0D
#define HGEK_SHIFT      0x10
#define HGEK_CTRL       0x11
#define HGEK_ALT        0x12
#define HGEK_PAUSE      0x13
#define HGEK_CAPSLOCK   0x14
#define HGEK_ESCAPE     0x1B
#define HGEK_SPACE      0x20
#define HGEK_PGUP       0x21
#define HGEK_PGDN       0x22
#define HGEK_END        0x23
#define HGEK_HOME       0x24
#define HGEK_LEFT       0x25
#define HGEK_UP         0x26
#define HGEK_RIGHT      0x27
#define HGEK_DOWN       0x28
#define HGEK_INSERT     0x2D
#define HGEK_DELETE     0x2E
#define HGEK_0          0x30  // digits 0x30-0x39
#define HGEK_A          0x41  // letters 0x41-0x5A
#define HGEK_LWIN       0x5B
#define HGEK_RWIN       0x5C
#define HGEK_APPS       0x5D
#define HGEK_NUMPAD0    0x60  // number pad 0x60-0x69
#define HGEK_MULTIPLY   0x6A
#define HGEK_ADD        0x6B
#define HGEK_SUBTRACT   0x6D
#define HGEK_DECIMAL    0x6E
#define HGEK_DIVIDE     0x6F
#define HGEK_F1         0x70  // F1-F12 0x70-0x7B
#define HGEK_NUMLOCK    0x90
#define HGEK_SCROLLLOCK 0x91
#define HGEK_SEMICOLON  0xBA
#define HGEK_EQUALS     0xBB
#define HGEK_COMMA      0xBC
#define HGEK_MINUS      0xBD
#define HGEK_PERIOD     0xBE
#define HGEK_SLASH      0xBF
#define HGEK_GRAVE      0xC0
#define HGEK_LBRACKET   0xDB
#define HGEK_BACKSLASH  0xDC
#define HGEK_RBRACKET   0xDD
#define HGEK_APOSTROPHE 0xDE

struct hgeVertex {
    float x, y;  // screen position
    float z;     // unused by drawing (no depth buffer)
    DWORD col;   // ARGB
    float tx, ty;  // texture coordinates, (0, 0) = top left of the texture
};

// Vertices in the order top left, top right, bottom right, bottom left.
struct hgeQuad {
    hgeVertex v[4];
    HTEXTURE tex;  // 0 = untextured
    int blend;
};

struct hgeInputEvent {
    int type;   // INPUT_*
    int key;    // key code or mouse button
    int flags;  // HGEINP_*
    int chr;    // character typed (0-255), 0 for none
    int wheel;  // wheel movement of a wheel event
    float x;    // pointer position, window pixels
    float y;
};

class HGE {
public:
    // Drops one reference; the last one destroys the object (shutting it down first).
    virtual void Release() = 0;

    // --- System -------------------------------------------------------------------
    // Creates the window and devices from the stored states; false on failure or when
    // already running. After System_Shutdown it may be called again.
    virtual bool System_Initiate() = 0;
    // Closes everything. Safe without Initiate, after a failed Initiate, twice, and
    // with a scene left open.
    virtual void System_Shutdown() = 0;
    // Runs the frame loop on the calling thread until the frame function returns true
    // or the exit function accepts a window close. Exceptions from callbacks pass through.
    virtual bool System_Start() = 0;
    // printf-style; one line per call into the log file.
    virtual void System_Log(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        = 0;
    // Writes the last completed screen picture (the game's size) as a 24-bit BMP. Errors
    // are not reported.
    virtual void System_Snapshot(const char* path) = 0;

    virtual void System_SetState(hgeBoolState state, bool value) = 0;
    virtual void System_SetState(hgeFuncState state, hgeCallback value) = 0;
    virtual void System_SetState(hgeIntState state, int value) = 0;
    virtual void System_SetState(hgeStringState state, const char* value) = 0;
    virtual bool System_GetState(hgeBoolState state) = 0;
    virtual hgeCallback System_GetState(hgeFuncState state) = 0;
    virtual HWND System_GetState(hgeHwndState state) = 0;
    virtual int System_GetState(hgeIntState state) = 0;
    virtual const char* System_GetState(hgeStringState state) = 0;

    // Window services (extensions): what the game needs of its window besides drawing.
    virtual void Window_Minimize() = 0;
    virtual void Window_Restore() = 0;
    virtual void Window_Hide() = 0;
    virtual void Window_Focus() = 0;
    // The desktop's size in pixels (the display mode of the window's display, else of
    // the first one); false while no video is open.
    virtual bool Window_GetDesktopSize(int* width, int* height) = 0;
    // Asks a yes/no question in a message box; true for yes. When no box can be
    // shown (no display), the answer is yes.
    virtual bool System_AskYesNo(const char* text, const char* caption) = 0;
    // Registers an image file (PNG, ...) as the window icon with the given id, for
    // HGE_ICON. The bytes are decoded at once and need not outlive the call.
    virtual bool System_RegisterIcon(int id, const void* data, DWORD size) = 0;

    // Reads a whole file from disk (backslashes become "/", letter case is ignored when
    // the name is not found as written; relative names are tried against the working
    // folder, then the program's folder). Null when missing. Free with Resource_Free.
    virtual void* Resource_Load(const char* path, DWORD* size = nullptr) = 0;
    virtual void Resource_Free(void* res) = 0;

    virtual void Random_Seed(int seed = 0) = 0;  // 0: seed from the clock
    virtual float Random_Float(float min, float max) = 0;  // uniform in [min, max]

    // Duration of the last frame in seconds (the same for the frame and the render
    // function of one loop iteration), at most 0.1 after a stall.
    virtual float Timer_GetDelta() = 0;

    // --- Audio --------------------------------------------------------------------
    virtual HEFFECT Effect_Load(const void* data, DWORD size) = 0;
    virtual void Effect_Free(HEFFECT eff) = 0;  // stops its channels
    virtual HCHANNEL Effect_PlayEx(HEFFECT eff, int volume = 100, int pan = 0, float pitch = 1.0f,
                                   bool loop = false) = 0;
    virtual HMUSIC Music_Load(const void* data, DWORD size) = 0;
    virtual void Music_Free(HMUSIC mus) = 0;
    virtual HCHANNEL Music_Play(HMUSIC mus, bool loop, int volume = 100, int order = -1,
                                int row = -1) = 0;
    // The bytes must outlive the stream.
    virtual HSTREAM Stream_Load(const void* data, DWORD size) = 0;
    virtual void Stream_Free(HSTREAM stream) = 0;
    virtual HCHANNEL Stream_Play(HSTREAM stream, bool loop, int volume = 100) = 0;

    virtual void Channel_SetVolume(HCHANNEL chn, int volume) = 0;
    virtual void Channel_Pause(HCHANNEL chn) = 0;
    virtual void Channel_Resume(HCHANNEL chn) = 0;
    virtual void Channel_Stop(HCHANNEL chn) = 0;
    virtual bool Channel_IsPlaying(HCHANNEL chn) = 0;  // a paused channel is not playing
    virtual void Channel_PauseAll() = 0;
    virtual void Channel_ResumeAll() = 0;  // resumes what Channel_PauseAll paused
    virtual void Channel_StopAll() = 0;

    // --- Input --------------------------------------------------------------------
    virtual void Input_GetMousePos(float* x, float* y) = 0;  // window pixels
    // Game coordinates, mapped to window pixels through the display scale and offsets.
    virtual void Input_SetMousePos(float x, float y) = 0;
    virtual int Input_GetMouseWheel() = 0;  // wheel movement of this frame
    virtual bool Input_IsMouseOver() = 0;
    virtual bool Input_KeyDown(int key) = 0;  // pressed this frame
    virtual bool Input_KeyUp(int key) = 0;    // released this frame
    virtual bool Input_GetKeyState(int key) = 0;  // held now
    virtual int Input_GetKey() = 0;   // last key pressed this frame, 0 for none
    virtual int Input_GetChar() = 0;  // last character typed this frame, 0 for none
    virtual bool Input_GetEvent(hgeInputEvent* event) = 0;  // false when none is queued

    // --- Graphics -----------------------------------------------------------------
    virtual bool Gfx_BeginScene(HTARGET target = 0) = 0;  // 0: the screen
    virtual void Gfx_EndScene() = 0;
    virtual void Gfx_Clear(DWORD color) = 0;
    // Queues a quad; texture 0 draws untextured, a stale texture draws nothing. Main
    // thread, inside a scene.
    virtual void Gfx_RenderQuad(const hgeQuad* quad) = 0;
    // Scales by (hscale, vscale) and rotates by rot about (x, y), then moves by (dx, dy).
    // Without arguments (hscale and vscale 0) the transform is reset; every
    // Gfx_BeginScene resets it too.
    virtual void Gfx_SetTransform(float x = 0, float y = 0, float dx = 0, float dy = 0, float rot = 0,
                                  float hscale = 0, float vscale = 0) = 0;
    // Full screen: stretch the picture over the screen, or keep its aspect with bars.
    virtual bool Gfx_GetStretch() = 0;
    virtual void Gfx_SetStretch(bool stretch) = 0;
    // game x = window x / horizontal scale + horizontal offset; likewise y. Never 0.
    virtual float Gfx_GetVerticalScale() = 0;
    virtual float Gfx_GetVerticalOffset() = 0;
    virtual float Gfx_GetHorizontalScale() = 0;
    virtual float Gfx_GetHorizontalOffset() = 0;

    // Render targets: a picture of exactly w x h. zbuffer has no effect.
    virtual HTARGET Target_Create(int width, int height, bool zbuffer = false, int unused = 0) = 0;
    virtual void Target_Free(HTARGET target) = 0;
    // The target's picture as an ordinary, lockable texture that outlives the target;
    // the target draws into a new picture afterwards.
    virtual HTEXTURE Target_TakeTexture(HTARGET target) = 0;

    virtual HTEXTURE Texture_Create(int width, int height) = 0;  // transparent black
    virtual HTEXTURE Texture_Load(const void* data, DWORD size, bool mipmap = false) = 0;
    virtual void Texture_Free(HTEXTURE tex) = 0;
    // original true: the image size; false: the surface size (the same here).
    virtual int Texture_GetWidth(HTEXTURE tex, bool original = false) = 0;
    virtual int Texture_GetHeight(HTEXTURE tex, bool original = false) = 0;
    // Pointer to texel (x, y) of the CPU copy; rows are as many texels apart as the
    // texture is wide. width or height 0 means "to the edge". Null on failure. Locking
    // a locked texture is allowed.
    virtual DWORD* Texture_Lock(HTEXTURE tex, bool readOnly = true, int x = 0, int y = 0, int width = 0,
                                int height = 0) = 0;
    virtual void Texture_Unlock(HTEXTURE tex) = 0;

    // --- Test hooks (extensions) --------------------------------------------------
    // Every frame lasts `seconds` from now on; 0 returns to the real clock.
    virtual void Test_SetFixedDelta(float seconds) = 0;
    // Answer for System_AskYesNo: 1 yes, 0 no, -1 ask (the default).
    virtual void Test_SetYesNoAnswer(int answer) = 0;
    // Copies the picture of a target (0: the screen scene, the last drawn frame) into
    // `out` as ARGB texels, top row first, width x height of that picture.
    virtual bool Test_ReadPixels(HTARGET target, DWORD* out) = 0;
    // Before System_Initiate: sound is mixed only when Test_RenderAudio asks for it.
    virtual void Test_SetAudioLoopback(bool loopback) = 0;
    // Mixes `frames` stereo frames (interleaved float, left first) on the loopback device;
    // false on any other.
    virtual bool Test_RenderAudio(float* out, int frames) = 0;

protected:
    virtual ~HGE() = default;
};

// The shared interface object; each call adds a reference. Null when `version` is not
// HGE_VERSION or the object cannot be made.
HGE* hgeCreate(int version = HGE_VERSION);
