#pragma once
// The one object behind the HGE interface. Its members are defined in several files by
// area: Engine.cpp (object, states, window services), SystemLoop.cpp (window, GL context,
// frame loop), Graphics.cpp (scenes and quads), Textures.cpp, Snapshot.cpp, Input.cpp,
// Audio.cpp, Resources.cpp, Misc.cpp (log, random, timer, test hooks).
//
// All layer state lives here and nowhere else: the last Release may come during static
// destruction, after System_Shutdown.
#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/hge/audio/AudioSystem.h"
#include "platform/hge/DisplayMapping.h"
#include "platform/hge/InputState.h"
#include "platform/hge/LogFile.h"
#include "platform/hge/QuadRenderer.h"
#include "platform/hge/TextureStore.h"
#include "platform/hge/hge.h"

namespace hgeplatform {

class Engine final : public HGE {
public:
    // The shared object with one more reference, made when none exists.
    static Engine* Acquire();
    void Release() override;

    bool System_Initiate() override;
    void System_Shutdown() override;
    bool System_Start() override;
    void System_Log(const char* format, ...) override
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    void System_Snapshot(const char* path) override;

    void System_SetState(hgeBoolState state, bool value) override;
    void System_SetState(hgeFuncState state, hgeCallback value) override;
    void System_SetState(hgeIntState state, int value) override;
    void System_SetState(hgeStringState state, const char* value) override;
    bool System_GetState(hgeBoolState state) override;
    hgeCallback System_GetState(hgeFuncState state) override;
    HWND System_GetState(hgeHwndState state) override;
    int System_GetState(hgeIntState state) override;
    const char* System_GetState(hgeStringState state) override;

    void Window_Minimize() override;
    void Window_Restore() override;
    void Window_Hide() override;
    void Window_Focus() override;
    bool Window_GetDesktopSize(int* width, int* height) override;
    bool System_AskYesNo(const char* text, const char* caption) override;
    bool System_RegisterIcon(int id, const void* data, DWORD size) override;

    void* Resource_Load(const char* path, DWORD* size) override;
    void Resource_Free(void* res) override;

    void Random_Seed(int seed) override;
    float Random_Float(float min, float max) override;
    float Timer_GetDelta() override;

    HEFFECT Effect_Load(const void* data, DWORD size) override;
    void Effect_Free(HEFFECT eff) override;
    HCHANNEL Effect_PlayEx(HEFFECT eff, int volume, int pan, float pitch, bool loop) override;
    HMUSIC Music_Load(const void* data, DWORD size) override;
    void Music_Free(HMUSIC mus) override;
    HCHANNEL Music_Play(HMUSIC mus, bool loop, int volume, int order, int row) override;
    HSTREAM Stream_Load(const void* data, DWORD size) override;
    void Stream_Free(HSTREAM stream) override;
    HCHANNEL Stream_Play(HSTREAM stream, bool loop, int volume) override;
    void Channel_SetVolume(HCHANNEL chn, int volume) override;
    void Channel_Pause(HCHANNEL chn) override;
    void Channel_Resume(HCHANNEL chn) override;
    void Channel_Stop(HCHANNEL chn) override;
    bool Channel_IsPlaying(HCHANNEL chn) override;
    void Channel_PauseAll() override;
    void Channel_ResumeAll() override;
    void Channel_StopAll() override;

    void Input_GetMousePos(float* x, float* y) override;
    void Input_SetMousePos(float x, float y) override;
    int Input_GetMouseWheel() override;
    bool Input_IsMouseOver() override;
    bool Input_KeyDown(int key) override;
    bool Input_KeyUp(int key) override;
    bool Input_GetKeyState(int key) override;
    int Input_GetKey() override;
    int Input_GetChar() override;
    bool Input_GetEvent(hgeInputEvent* event) override;

    bool Gfx_BeginScene(HTARGET target) override;
    void Gfx_EndScene() override;
    void Gfx_Clear(DWORD color) override;
    void Gfx_RenderQuad(const hgeQuad* quad) override;
    void Gfx_SetTransform(float x, float y, float dx, float dy, float rot, float hscale, float vscale) override;
    bool Gfx_GetStretch() override;
    void Gfx_SetStretch(bool stretch) override;
    float Gfx_GetVerticalScale() override;
    float Gfx_GetVerticalOffset() override;
    float Gfx_GetHorizontalScale() override;
    float Gfx_GetHorizontalOffset() override;

    HTARGET Target_Create(int width, int height, bool zbuffer, int unused) override;
    void Target_Free(HTARGET target) override;
    HTEXTURE Target_TakeTexture(HTARGET target) override;
    HTEXTURE Texture_Create(int width, int height) override;
    HTEXTURE Texture_Load(const void* data, DWORD size, bool mipmap) override;
    void Texture_Free(HTEXTURE tex) override;
    int Texture_GetWidth(HTEXTURE tex, bool original) override;
    int Texture_GetHeight(HTEXTURE tex, bool original) override;
    DWORD* Texture_Lock(HTEXTURE tex, bool readOnly, int x, int y, int width, int height) override;
    void Texture_Unlock(HTEXTURE tex) override;

    void Test_SetFixedDelta(float seconds) override;
    void Test_SetYesNoAnswer(int answer) override;
    bool Test_ReadPixels(HTARGET target, DWORD* out) override;
    void Test_SetAudioLoopback(bool loopback) override;
    bool Test_RenderAudio(float* out, int frames) override;

private:
    enum Phase { kCreated, kRunning, kShut };
    struct Icon {
        int width = 0, height = 0;
        std::vector<uint32_t> pixels;
    };
    struct Scene {
        HTARGET target = 0;
        GLuint framebuffer = 0;
        int width = 0, height = 0;
        // The scene's Gfx_SetTransform, the only copy: every rebinding of the scene
        // projects with it.
        float transform[7] = {0, 0, 0, 0, 0, 0, 0};
    };

    Engine();
    ~Engine() override;

    bool Running() const { return phase_.load() == kRunning; }
    bool Shut() const { return phase_.load() == kShut; }
    bool OnGlThread() const { return Running() && std::this_thread::get_id() == glThread_; }

    // SystemLoop.cpp
    bool CreateDisplay();
    // The checks and the display of System_Initiate, then the running state.
    bool OpenDisplay();
    void StartRunning();
    void DestroyDisplay();
    void ApplyWindowMode();
    void CoverDisplay();
    void UpdateMapping();
    void PumpEvents(bool* quitRequested);
    void Present();
    bool CanDrawStraightToWindow();
    // Shows a frame drawn straight into the window; `keepPicture` first copies it into the
    // scene framebuffer, for snapshots taken before the next frame.
    void SwapIfPending(bool keepPicture);
    void ApplyIcon();
    void ApplyCursor();

    // Graphics.cpp
    void BindScene(const Scene& scene);
    void ResetBatch() { batchValid_ = false; }
    void FlushIfUses(HTEXTURE tex);
    // After each screen frame: waits until at most kMaxFramesInFlight frames are queued
    // for drawing but not drawn, as a driver does at the swap. Without it a software
    // renderer lets the game run dozens of frames ahead of the picture, with their memory.
    void LimitFramesInFlight();
    void ForgetFramesInFlight();

    std::atomic<int> refs_{1};
    std::atomic<int> phase_{kCreated};

    // States (written by the main thread).
    bool windowed_ = false;
    bool hideMouse_ = true;
    bool showSplash_ = false;
    bool stretch_ = false;
    int width_ = 800;
    int height_ = 600;
    int bpp_ = 32;
    // Atomic: the loader thread sets the music volume while the main thread reads it.
    std::atomic<int> musicVolume_{100};
    hgeCallback frameFunc_ = nullptr;
    hgeCallback renderFunc_ = nullptr;
    hgeCallback focusLostFunc_ = nullptr;
    hgeCallback focusGainFunc_ = nullptr;
    hgeCallback gfxRestoreFunc_ = nullptr;
    hgeCallback exitFunc_ = nullptr;
    const char* iconState_ = nullptr;
    std::string iconPath_;
    std::string title_;
    std::map<int, Icon> icons_;

    // Window and GL.
    bool sdlVideo_ = false;
    SDL_Window* window_ = nullptr;
    SDL_GLContext context_ = nullptr;
    std::thread::id glThread_;
    bool vsync_ = false;
    bool minimised_ = false;
    bool gfxRestorePending_ = false;
    bool inLoop_ = false;
    DisplayMapping mapping_;
    GLuint sceneFramebuffer_ = 0;
    GLuint sceneTexture_ = 0;
    // A 1:1 windowed frame is drawn straight into the window and shown at the next frame's
    // start, so that until then the window's back buffer holds the last picture.
    bool swapPending_ = false;
    bool lastFrameInWindow_ = false;

    // Drawing.
    static constexpr size_t kMaxFramesInFlight = 2;
    std::deque<GLsync> framesInFlight_;
    QuadRenderer renderer_;
    std::vector<Scene> scenes_;
    bool batchValid_ = false;
    HTEXTURE batchTexture_ = 0;
    uint32_t batchChanges_ = 0;  // the texture store's Changes() when the batch began
    int batchBlend_ = 0;

    TextureStore textures_;
    InputState input_;
    AudioSystem audio_;
    bool audioLoopback_ = false;
    LogFile log_;

    // Timer and random.
    uint64_t lastCounter_ = 0;
    float delta_ = 0.0f;
    float fixedDelta_ = 0.0f;
    std::atomic<uint32_t> randomSeed_{1};

    std::atomic<int> yesNoAnswer_{-1};
};

}  // namespace hgeplatform
