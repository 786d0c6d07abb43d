#include "platform/hge/Engine.h"

#include <cstdint>

#include "platform/hge/ImageDecoder.h"
#include "platform/os/MessageBox.h"

namespace hgeplatform {

namespace {
// Plain pointer and a mutex with a trivial destructor: nothing here is torn down at exit
// before the last reference goes.
Engine* g_instance = nullptr;
std::mutex g_instanceMutex;
}  // namespace

Engine* Engine::Acquire() {
    std::lock_guard<std::mutex> lock(g_instanceMutex);
    if (g_instance) {
        g_instance->refs_.fetch_add(1);
        return g_instance;
    }
    g_instance = new Engine();
    return g_instance;
}

void Engine::Release() {
    {
        std::lock_guard<std::mutex> lock(g_instanceMutex);
        if (refs_.fetch_sub(1) != 1) return;
        if (g_instance == this) g_instance = nullptr;
    }
    delete this;
}

Engine::Engine() = default;

Engine::~Engine() { System_Shutdown(); }

void Engine::System_SetState(hgeBoolState state, bool value) {
    switch (state) {
    case HGE_WINDOWED:
        if (windowed_ == value) return;
        windowed_ = value;
        if (Running()) {
            ApplyWindowMode();
            gfxRestorePending_ = true;
        }
        return;
    case HGE_HIDEMOUSE:
        hideMouse_ = value;
        if (Running()) ApplyCursor();
        return;
    case HGE_SHOWSPLASH:
        showSplash_ = value;
        return;
    }
}

void Engine::System_SetState(hgeFuncState state, hgeCallback value) {
    switch (state) {
    case HGE_FRAMEFUNC: frameFunc_ = value; return;
    case HGE_RENDERFUNC: renderFunc_ = value; return;
    case HGE_FOCUSLOSTFUNC: focusLostFunc_ = value; return;
    case HGE_FOCUSGAINFUNC: focusGainFunc_ = value; return;
    case HGE_GFXRESTOREFUNC: gfxRestoreFunc_ = value; return;
    case HGE_EXITFUNC: exitFunc_ = value; return;
    }
}

void Engine::System_SetState(hgeIntState state, int value) {
    switch (state) {
    // The picture size is fixed once the window exists.
    case HGE_SCREENWIDTH:
        if (!Running()) width_ = value;
        return;
    case HGE_SCREENHEIGHT:
        if (!Running()) height_ = value;
        return;
    case HGE_SCREENBPP: bpp_ = value; return;
    case HGE_MUSVOLUME:
    {
        const int clamped = value < 0 ? 0 : value > 100 ? 100 : value;
        musicVolume_ = clamped;
        if (Running()) audio_.SetMusicVolume(clamped);
        return;
    }
    }
}

void Engine::System_SetState(hgeStringState state, const char* value) {
    switch (state) {
    case HGE_ICON:
        // An integer id travels in place of the text pointer.
        if (reinterpret_cast<uintptr_t>(value) < 0x10000u) {
            iconState_ = value;
        } else {
            iconPath_ = value;
            iconState_ = iconPath_.c_str();
        }
        if (Running()) ApplyIcon();
        return;
    case HGE_TITLE:
        title_ = value ? value : "";
        if (window_) SDL_SetWindowTitle(window_, title_.c_str());
        return;
    case HGE_LOGFILE:
        log_.Open(value ? value : "");
        return;
    }
}

bool Engine::System_GetState(hgeBoolState state) {
    switch (state) {
    case HGE_WINDOWED: return windowed_;
    case HGE_HIDEMOUSE: return hideMouse_;
    case HGE_SHOWSPLASH: return showSplash_;
    }
    return false;
}

hgeCallback Engine::System_GetState(hgeFuncState state) {
    switch (state) {
    case HGE_FRAMEFUNC: return frameFunc_;
    case HGE_RENDERFUNC: return renderFunc_;
    case HGE_FOCUSLOSTFUNC: return focusLostFunc_;
    case HGE_FOCUSGAINFUNC: return focusGainFunc_;
    case HGE_GFXRESTOREFUNC: return gfxRestoreFunc_;
    case HGE_EXITFUNC: return exitFunc_;
    }
    return nullptr;
}

HWND Engine::System_GetState(hgeHwndState state) {
    return state == HGE_HWND ? static_cast<HWND>(window_) : nullptr;
}

int Engine::System_GetState(hgeIntState state) {
    switch (state) {
    case HGE_SCREENWIDTH: return width_;
    case HGE_SCREENHEIGHT: return height_;
    case HGE_SCREENBPP: return bpp_;
    case HGE_MUSVOLUME: return musicVolume_;
    }
    return 0;
}

const char* Engine::System_GetState(hgeStringState state) {
    switch (state) {
    case HGE_ICON: return iconState_;
    case HGE_TITLE: return title_.c_str();
    case HGE_LOGFILE: return log_.Path().c_str();
    }
    return nullptr;
}

void Engine::Window_Minimize() {
    if (window_) SDL_MinimizeWindow(window_);
}

void Engine::Window_Restore() {
    if (!window_) return;
    SDL_ShowWindow(window_);
    SDL_RestoreWindow(window_);
}

void Engine::Window_Hide() {
    if (window_) SDL_HideWindow(window_);
}

void Engine::Window_Focus() {
    if (window_) SDL_RaiseWindow(window_);
}

bool Engine::Window_GetDesktopSize(int* width, int* height) {
    if (!window_ || !width || !height) return false;
    int display = SDL_GetWindowDisplayIndex(window_);
    if (display < 0) display = 0;
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(display, &mode) != 0) return false;
    *width = mode.w;
    *height = mode.h;
    return true;
}

bool Engine::System_AskYesNo(const char* text, const char* caption) {
    const int answer = yesNoAnswer_.load();
    if (answer >= 0) return answer == 1;
    // With no display the box cannot be shown and the question counts as answered yes, so
    // a headless run can still be closed.
    return OsPlatform::AskYesNo(caption ? caption : "", text ? text : "", window_);
}

bool Engine::System_RegisterIcon(int id, const void* data, DWORD size) {
    Icon icon;
    if (!DecodeImage(data, size, 1024, &icon.width, &icon.height, &icon.pixels)) return false;
    icons_[id] = std::move(icon);
    if (Running()) ApplyIcon();
    return true;
}

void Engine::Test_SetYesNoAnswer(int answer) { yesNoAnswer_.store(answer < 0 ? -1 : answer ? 1 : 0); }

}  // namespace hgeplatform

HGE* hgeCreate(int version) {
    if (version != HGE_VERSION) return nullptr;
    return hgeplatform::Engine::Acquire();
}
