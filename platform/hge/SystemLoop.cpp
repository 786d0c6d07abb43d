// Window, GL context and the frame loop.
#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/hge/Engine.h"
#include "platform/hge/ImageDecoder.h"

namespace hgeplatform {

namespace {
constexpr float kMaxDelta = 0.1f;          // a stall counts as one long frame, no longer
constexpr uint32_t kFrameCapMs = 16;       // when the display cannot wait for vsync
constexpr Uint32 kVideoSystems = SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER;
}  // namespace

bool Engine::CreateDisplay() {
    if (SDL_InitSubSystem(kVideoSystems) != 0) {
        System_Log("Can't initialise the video system: %s", SDL_GetError());
        return false;
    }
    sdlVideo_ = true;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);

    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_ALLOW_HIGHDPI;
    int windowWidth = width_, windowHeight = height_;
    SDL_Rect display{};
    if (!windowed_) {
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
        // As large as its display, for the reason given at CoverDisplay.
        if (SDL_GetDisplayBounds(0, &display) == 0 && display.w > 0 && display.h > 0) {
            windowWidth = display.w;
            windowHeight = display.h;
        }
    }
    window_ = SDL_CreateWindow(title_.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, windowWidth,
                               windowHeight, flags);
    if (!window_) {
        System_Log("Can't create window: %s", SDL_GetError());
        return false;
    }
    context_ = SDL_GL_CreateContext(window_);
    if (!context_ || SDL_GL_MakeCurrent(window_, context_) != 0) {
        System_Log("Can't create OpenGL context: %s", SDL_GetError());
        return false;
    }
    if (epoxy_gl_version() < 33) {
        System_Log("OpenGL 3.3 is not available");
        return false;
    }
    vsync_ = SDL_GL_SetSwapInterval(1) == 0;

    if (!renderer_.Init()) {
        System_Log("Can't build the quad shader");
        return false;
    }
    glGenTextures(1, &sceneTexture_);
    glBindTexture(GL_TEXTURE_2D, sceneTexture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, TextureStore::kPictureFormat, width_, height_, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
    glGenFramebuffers(1, &sceneFramebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, sceneFramebuffer_);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, sceneTexture_, 0);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        System_Log("Can't create the scene framebuffer");
        return false;
    }
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    return true;
}

void Engine::DestroyDisplay() {
    if (context_ && window_) {
        SDL_GL_MakeCurrent(window_, context_);
        ForgetFramesInFlight();
        textures_.ReleaseGl();
        renderer_.Shutdown();
        if (sceneFramebuffer_) glDeleteFramebuffers(1, &sceneFramebuffer_);
        if (sceneTexture_) glDeleteTextures(1, &sceneTexture_);
    }
    sceneFramebuffer_ = sceneTexture_ = 0;
    framesInFlight_.clear();  // the context's fences go with it
    if (context_) SDL_GL_DeleteContext(context_);
    context_ = nullptr;
    if (window_) SDL_DestroyWindow(window_);
    window_ = nullptr;
    if (sdlVideo_) SDL_QuitSubSystem(kVideoSystems);
    sdlVideo_ = false;
}

extern thread_local std::string* g_openingLines;

bool Engine::System_Initiate() {
    // The object outlives a shutdown (its holders keep it to process exit), so it may open
    // again afterwards.
    if (phase_.load() == kRunning) return false;
    // The cause of a failure goes to stderr as well: the log may be the one thing the
    // user does not look at, or may not be writable.
    std::string failure;
    g_openingLines = &failure;
    const bool opened = OpenDisplay();
    g_openingLines = nullptr;
    if (!opened) {
        if (!failure.empty()) std::fwrite(failure.data(), 1, failure.size(), stderr);
        return false;
    }
    StartRunning();
    return true;
}

bool Engine::OpenDisplay() {
    if (width_ <= 0 || height_ <= 0 || width_ > TextureStore::kMaxSide || height_ > TextureStore::kMaxSide) {
        System_Log("Invalid screen size %dx%d", width_, height_);
        return false;
    }
    if (!CreateDisplay()) {
        DestroyDisplay();
        return false;
    }
    return true;
}

void Engine::StartRunning() {
    glThread_ = std::this_thread::get_id();
    input_ = InputState();
    minimised_ = false;
    gfxRestorePending_ = false;
    phase_.store(kRunning);

    SDL_StartTextInput();
    input_.SetMouseOver(SDL_GetMouseFocus() == window_);
    ApplyCursor();
    ApplyIcon();
    UpdateMapping();
    if (audioLoopback_)
        audio_.Initiate(AudioSystem::Device::Loopback);
    else
        audio_.Initiate();
    audio_.SetMusicVolume(musicVolume_);
    lastCounter_ = SDL_GetPerformanceCounter();
    delta_ = 0.0f;
}

void Engine::System_Shutdown() {
    const int phase = phase_.exchange(kShut);
    if (phase == kShut) return;
    if (phase == kRunning) {
        scenes_.clear();
        swapPending_ = lastFrameInWindow_ = false;
        ResetBatch();
        audio_.Shutdown();
        if (window_) SDL_StopTextInput();
    }
    DestroyDisplay();
    textures_.Clear();
}

void Engine::ApplyCursor() { SDL_ShowCursor(hideMouse_ ? SDL_DISABLE : SDL_ENABLE); }

void Engine::ApplyIcon() {
    if (!window_) return;
    const Icon* icon = nullptr;
    Icon fromFile;
    const uintptr_t value = reinterpret_cast<uintptr_t>(iconState_);
    if (value != 0 && value < 0x10000u) {
        auto it = icons_.find(int(value));
        if (it != icons_.end()) icon = &it->second;
    } else if (value != 0) {
        // A file name: read and decode it now.
        DWORD size = 0;
        void* bytes = Resource_Load(iconState_, &size);
        if (bytes && DecodeImage(bytes, size, 1024, &fromFile.width, &fromFile.height, &fromFile.pixels))
            icon = &fromFile;
        Resource_Free(bytes);
    }
    if (!icon) return;
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint32_t*>(icon->pixels.data()), icon->width, icon->height, 32, icon->width * 4,
        SDL_PIXELFORMAT_ARGB8888);
    if (!surface) return;
    SDL_SetWindowIcon(window_, surface);
    SDL_FreeSurface(surface);
}

void Engine::ApplyWindowMode() {
    if (!window_) return;
    if (windowed_) {
        SDL_SetWindowFullscreen(window_, 0);
        SDL_SetWindowSize(window_, width_, height_);
        SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    } else {
        CoverDisplay();
        SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
    }
    UpdateMapping();
}

// Full screen is a request to the window manager, and SDL reports the display's size as the
// window's whether or not it was granted. With no window manager nothing grants it: a
// window of the game's size would show a cropped picture. So a full-screen window is first
// made the size of its display and placed on it, and the size SDL reports is the real one.
void Engine::CoverDisplay() {
    if (!window_ || (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN)) return;
    int index = SDL_GetWindowDisplayIndex(window_);
    if (index < 0) index = 0;
    SDL_Rect display{};
    if (SDL_GetDisplayBounds(index, &display) != 0 || display.w <= 0 || display.h <= 0) return;
    SDL_SetWindowSize(window_, display.w, display.h);
    SDL_SetWindowPosition(window_, display.x, display.y);
}

void Engine::UpdateMapping() {
    int w = width_, h = height_;
    if (window_) SDL_GetWindowSize(window_, &w, &h);
    mapping_ = ComputeDisplayMapping(windowed_, stretch_, width_, height_, w, h);
}

bool Engine::CanDrawStraightToWindow() {
    if (!window_ || mapping_.x != 0 || mapping_.y != 0 || mapping_.width != width_ || mapping_.height != height_)
        return false;
    int drawW = 0, drawH = 0;
    SDL_GL_GetDrawableSize(window_, &drawW, &drawH);
    return drawW == width_ && drawH == height_;
}

void Engine::SwapIfPending(bool keepPicture) {
    if (!swapPending_ || !window_) return;
    swapPending_ = false;
    if (keepPicture) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, sceneFramebuffer_);
        glBlitFramebuffer(0, 0, width_, height_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        lastFrameInWindow_ = false;
    }
    SDL_GL_SwapWindow(window_);
    if (!scenes_.empty()) BindScene(scenes_.back());
}

void Engine::Present() {
    if (!window_ || minimised_) return;
    int winW = 0, winH = 0, drawW = 0, drawH = 0;
    SDL_GetWindowSize(window_, &winW, &winH);
    SDL_GL_GetDrawableSize(window_, &drawW, &drawH);
    const float fx = winW > 0 ? float(drawW) / float(winW) : 1.0f;
    const float fy = winH > 0 ? float(drawH) / float(winH) : 1.0f;
    const int x0 = int(float(mapping_.x) * fx);
    const int x1 = int(float(mapping_.x + mapping_.width) * fx);
    const int top = int(float(mapping_.y) * fy);
    const int bottom = int(float(mapping_.y + mapping_.height) * fy);

    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glViewport(0, 0, drawW, drawH);
    // Bars only where the picture leaves some.
    if (x0 > 0 || top > 0 || x1 < drawW || bottom < drawH) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, sceneFramebuffer_);
    // The scene is stored bottom row first, like the window, so an unscaled picture is a
    // plain copy.
    const bool exact = (x1 - x0) == width_ && (bottom - top) == height_;
    glBlitFramebuffer(0, 0, width_, height_, x0, drawH - bottom, x1, drawH - top, GL_COLOR_BUFFER_BIT,
                      exact ? GL_NEAREST : GL_LINEAR);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    SDL_GL_SwapWindow(window_);
}

void Engine::PumpEvents(bool* quitRequested) {
    SDL_Event ev;
    while (SDL_PollEvent(&ev)) {
        if (ev.type == SDL_QUIT) {
            *quitRequested = true;
            continue;
        }
        if (ev.type == SDL_WINDOWEVENT) {
            if (window_ && ev.window.windowID != SDL_GetWindowID(window_)) continue;
            switch (ev.window.event) {
            case SDL_WINDOWEVENT_ENTER: input_.SetMouseOver(true); break;
            case SDL_WINDOWEVENT_LEAVE: input_.SetMouseOver(false); break;
            case SDL_WINDOWEVENT_MINIMIZED: minimised_ = true; break;
            case SDL_WINDOWEVENT_RESTORED:
            case SDL_WINDOWEVENT_MAXIMIZED:
            case SDL_WINDOWEVENT_SHOWN: minimised_ = false; break;
            case SDL_WINDOWEVENT_SIZE_CHANGED: UpdateMapping(); break;
            case SDL_WINDOWEVENT_FOCUS_LOST:
                input_.ReleaseAll();
                if (focusLostFunc_) focusLostFunc_();
                break;
            case SDL_WINDOWEVENT_FOCUS_GAINED:
                if (focusGainFunc_) focusGainFunc_();
                break;
            default: break;
            }
            continue;
        }
        input_.Handle(ev);
    }
}

bool Engine::System_Start() {
    if (!Running() || !OnGlThread() || inLoop_) return false;
    if (!frameFunc_) {
        System_Log("System_Start: no frame function");
        return false;
    }
    inLoop_ = true;
    struct LoopGuard {
        Engine* e;
        ~LoopGuard() {
            e->inLoop_ = false;
            e->input_.EndFrame();
            if (!e->Running()) return;
            // A callback that threw inside a scene leaves it open: drop it, or no screen
            // scene could begin again.
            if (!e->scenes_.empty()) {
                e->renderer_.Discard();
                e->scenes_.clear();
                e->ResetBatch();
                glBindFramebuffer(GL_FRAMEBUFFER, 0);
            }
            e->SwapIfPending(true);
        }
    } guard{this};

    lastCounter_ = SDL_GetPerformanceCounter();
    const double frequency = double(SDL_GetPerformanceFrequency());
    for (;;) {
        if (!Running()) return true;
        // Mode changes coalesce into one notice, given outside whatever call made them.
        if (gfxRestorePending_) {
            gfxRestorePending_ = false;
            if (gfxRestoreFunc_) gfxRestoreFunc_();
        }
        bool quit = false;
        PumpEvents(&quit);
        if (quit) {
            SwapIfPending(true);  // the last picture stays on screen while the game asks
            if (!exitFunc_ || exitFunc_()) return true;
        }

        const uint64_t now = SDL_GetPerformanceCounter();
        const float real = float(double(now - lastCounter_) / frequency);
        lastCounter_ = now;
        delta_ = fixedDelta_ > 0.0f ? fixedDelta_ : std::min(real, kMaxDelta);

        if (frameFunc_ && frameFunc_()) return true;
        if (!Running()) return true;
        if (renderFunc_) renderFunc_();
        input_.EndFrame();

        // Without vsync, or minimised (nothing is presented), the loop would spin a core.
        if ((!vsync_ || minimised_) && fixedDelta_ <= 0.0f) {
            const double spent = double(SDL_GetPerformanceCounter() - now) * 1000.0 / frequency;
            if (spent < kFrameCapMs) SDL_Delay(Uint32(kFrameCapMs - spent));
        }
    }
}

}  // namespace hgeplatform
