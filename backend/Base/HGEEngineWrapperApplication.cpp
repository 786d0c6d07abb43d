#include "backend/Base/HGEEngineWrapperApplication.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "backend/Base/HGEKeyboardDevice.h"
#include "backend/Base/HGEMouseDevice.h"
#include "backend/Base/HGEResourceFactory.h"
#include "backend/Base/HGEScreenBuffer.h"
#include "backend/Base/HGESoundStream.h"
#include "backend/Base/HGESystemObject.h"
#include "engine/FileSystem/FileSystem.h"
#include "engine/Input/DeviceManager.h"
#include "engine/Input/InputSystem.h"
#include "engine/System/EngineError.h"
#include "engine/System/SystemLogger.h"
#include "engine/System/WindowServices.h"
#include "platform/os/WebLink.h"

namespace MobrixCore {

namespace {

const char* const kSource = "Base\\HGEEngineWrapperApplication.cpp";
const char* const kOpenError = "HGEEngineWrapperApplication::Open() error.";

using ScreenSettings = EngineCore::RenderSystem::ScreenSettings;

// Class-wide state: HGE's callbacks are plain functions and reach the application here.
HGEEngineWrapperApplication* g_instance = nullptr;
EngineWrapperCore::EngineWrapperApplication::Updater g_renderUpdater;
EngineWrapperCore::EngineWrapperApplication::Updater g_applicationUpdater;
EngineWrapperCore::EngineWrapperApplication::ScreenSettingsFunction g_screenSettingsUpdater;
// Once the player confirmed quitting, every later exit request of that window quits
// without asking.
bool g_quitConfirmed = false;
std::atomic<std::thread::id> g_mainThread{std::thread::id()};

const char* const kWindowTitle = " * Ferrowind * ";

// The window title as the game last asked for it. Scripts of a loading state ask on the
// loader thread; the window itself changes only on the main thread, at the next frame.
struct TitleState {
    std::mutex mutex;
    std::string title;
    bool pending = false;
};

TitleState& Title()
{
    static TitleState state;
    return state;
}

HGE* Hge()
{
    return HGESystemObject::Instance().GetObjectW();
}

// The HGE mouse becomes device 1 and the HGE keyboard device 2 of the device manager that
// the launcher installed before Open. No joystick is installed.
void InstallInputDevices()
{
    const std::shared_ptr<EngineCore::DeviceManager>& manager = EngineCore::InputSystem::Instance().GetDeviceManager();
    if (!manager)
        return;
    manager->SetDevice(EngineCore::InputDevice::kDeviceMouse, std::make_shared<HGEMouseDevice>());
    manager->SetDevice(EngineCore::InputDevice::kDeviceKeyboard, std::make_shared<HGEKeyboardDevice>());
}

}  // namespace

// The log writer and the delegates. They use no data of the object, so the function
// objects handed out do not point at it: the engine may keep them (the logger does, to
// the end of the process) after the application is gone.
class HGEEngineWrapperApplication::Impl {
public:
    static void WriteLog(const char* text)
    {
        // Log text may hold script values: it is data, never a format. At process exit
        // the HGE holder may already be gone.
        if (HGE* hge = HGESystemObject::Instance().GetObjectW())
            hge->System_Log("%s", text ? text : "");
    }

    static void StopAllSounds() { Hge()->Channel_StopAll(); }

    // Effects ignore the sound volume: it reaches only the streams not flagged as music.
    static void SetSoundVolume(float volume) { HGESoundStream::SetGlobalVolume(volume, false); }

    static void SetStreamVolume(float volume) { HGESoundStream::SetGlobalVolume(volume, true); }

    static void SetMusicVolume(float volume)
    {
        // Also NaN (a script's 0/0) becomes 0: converting it to int would be undefined.
        if (!(volume > 0.0f))
            volume = 0.0f;
        else if (volume > 1.0f)
            volume = 1.0f;
        if (HGE* hge = HGESystemObject::Instance().GetObjectW())
            hge->System_SetState(HGE_MUSVOLUME, static_cast<int>(volume * 100.0f));
    }

    static std::string GetTitle()
    {
        std::lock_guard<std::mutex> lock(Title().mutex);
        return Title().title;
    }

    static void SetTitle(const std::string& title)
    {
        {
            std::lock_guard<std::mutex> lock(Title().mutex);
            Title().title = title;
            Title().pending = true;
        }
        if (IsMainThread())
            ApplyPendingTitle();
    }

    static void ApplyPendingTitle()
    {
        std::string title;
        {
            std::lock_guard<std::mutex> lock(Title().mutex);
            if (!Title().pending)
                return;
            Title().pending = false;
            title = Title().title;
        }
        if (HGE* hge = HGESystemObject::Instance().GetObjectW())
            hge->System_SetState(HGE_TITLE, title.c_str());
    }

    static void MinimizeWindow()
    {
        if (IsMainThread())
            Hge()->Window_Minimize();
    }

    static void SetSystemCursor(bool enabled) { Hge()->System_SetState(HGE_HIDEMOUSE, !enabled); }

    static void SetScreenSettings(const ScreenSettings& settings)
    {
        // Only the display mode changes here; size and depth are fixed once the window is open.
        Hge()->System_SetState(HGE_WINDOWED, settings.windowed);
        Hge()->Gfx_SetStretch(settings.stretch);
    }

    std::shared_ptr<EngineCore::ScreenBuffer> screenBuffer;
};

HGEEngineWrapperApplication::HGEEngineWrapperApplication() : _impl(new Impl)
{
    g_instance = this;
}

HGEEngineWrapperApplication::~HGEEngineWrapperApplication()
{
    if (g_instance == this)
        g_instance = nullptr;
    delete _impl;
}

HGEEngineWrapperApplication* HGEEngineWrapperApplication::Instance()
{
    return g_instance;
}

const EngineWrapperCore::EngineWrapperApplication::Updater&
HGEEngineWrapperApplication::GetRenderUpdater() const
{
    return g_renderUpdater;
}

const EngineWrapperCore::EngineWrapperApplication::Updater&
HGEEngineWrapperApplication::GetApplicationUpdater() const
{
    return g_applicationUpdater;
}

bool HGEEngineWrapperApplication::IsMainThread()
{
    return g_mainThread.load() == std::this_thread::get_id();
}

bool HGEEngineWrapperApplication::Run()
{
    Hge()->System_Start();
    return true;
}

bool HGEEngineWrapperApplication::Open(const Updater& renderUpdater, const Updater& applicationUpdater)
{
    // The updaters stay installed even when a later step fails.
    g_renderUpdater = renderUpdater;
    g_applicationUpdater = applicationUpdater;
    g_mainThread.store(std::this_thread::get_id());
    // Each opened window asks its own exit question.
    g_quitConfirmed = false;

    std::string folder;
    if (!EngineCore::FileSystem::Instance().GetUserDataDirectory("", folder))
        EngineCore::ThrowEngineError(kSource, 130, kOpenError);
    std::string logFile = folder;
    if (!logFile.empty())
        logFile += "/";
    logFile += "Vexa.log";

    HGE* hge = Hge();
    hge->System_SetState(HGE_LOGFILE, logFile.c_str());
    hge->System_SetState(HGE_EXITFUNC, &HGEEngineWrapperApplication::ExitFunction);
    hge->System_SetState(HGE_FRAMEFUNC, &HGEEngineWrapperApplication::FrameFunction);
    hge->System_SetState(HGE_RENDERFUNC, &HGEEngineWrapperApplication::RenderFunction);
    hge->System_SetState(HGE_GFXRESTOREFUNC, &HGEEngineWrapperApplication::GfxRestoreFunction);
    hge->System_SetState(HGE_TITLE, kWindowTitle);
    {
        std::lock_guard<std::mutex> lock(Title().mutex);
        Title().title = kWindowTitle;
        Title().pending = false;
    }

    const ScreenSettings& settings = EngineCore::RenderSystem::Instance().GetScreenSettings();
    hge->System_SetState(HGE_SCREENBPP, static_cast<int>(settings.bpp));
    hge->System_SetState(HGE_SCREENWIDTH, static_cast<int>(settings.width));
    hge->System_SetState(HGE_SCREENHEIGHT, static_cast<int>(settings.height));
    hge->System_SetState(HGE_WINDOWED, static_cast<bool>(settings.windowed));
    hge->Gfx_SetStretch(settings.stretch);

    hge->System_SetState(HGE_SHOWSPLASH, false);
    hge->System_SetState(HGE_FOCUSLOSTFUNC, &HGEEngineWrapperApplication::FocusLostFunction);
    hge->System_SetState(HGE_FOCUSGAINFUNC, &HGEEngineWrapperApplication::FocusGainFunction);

    if (!hge->System_Initiate())
        EngineCore::ThrowEngineError(kSource, 158, kOpenError);

    EngineCore::SystemLogger::Instance().SetLogger(&Impl::WriteLog);
    int desktopWidth = 0;
    int desktopHeight = 0;
    if (hge->Window_GetDesktopSize(&desktopWidth, &desktopHeight))
        EngineCore::RenderSystem::Instance().SetMonitorSize(static_cast<unsigned>(desktopWidth),
                                                           static_cast<unsigned>(desktopHeight));
    HGEResourceFactory::Instance().RegisterResourceFactory();
    InstallInputDevices();
    EngineCore::WindowServices::Functions window;
    window.getTitle = &Impl::GetTitle;
    window.setTitle = &Impl::SetTitle;
    window.minimize = &Impl::MinimizeWindow;
    window.openWebLink = &OsPlatform::OpenWebLink;
    EngineCore::WindowServices::Instance().Install(window);
    return true;
}

bool HGEEngineWrapperApplication::Close()
{
    // Streams destroyed later skip the registry.
    HGESoundStream::Close();
    EngineCore::WindowServices::Instance().Install(EngineCore::WindowServices::Functions());
    _impl->screenBuffer.reset();
    HGEResourceFactory::Instance().UnregisterResourceFactory();
    Hge()->System_Shutdown();
    return true;
}

float HGEEngineWrapperApplication::GetFrameTime() const
{
    return Hge()->Timer_GetDelta();
}

HWND HGEEngineWrapperApplication::GetWindowHandle() const
{
    return Hge()->System_GetState(HGE_HWND);
}

float HGEEngineWrapperApplication::GetVerticalPixelOffset() const
{
    return Hge()->Gfx_GetVerticalOffset();
}

float HGEEngineWrapperApplication::GetHorizontalPixelOffset() const
{
    return Hge()->Gfx_GetHorizontalOffset();
}

void HGEEngineWrapperApplication::PrintToLog(const char* text)
{
    EngineCore::SystemLogger::Instance().Log(text);
}

void HGEEngineWrapperApplication::SetApplicationIcon(unsigned short resourceId)
{
    // The integer-resource form: the number travels in place of the text pointer.
    Hge()->System_SetState(HGE_ICON,
                           reinterpret_cast<const char*>(static_cast<uintptr_t>(resourceId)));
}

bool HGEEngineWrapperApplication::GetScreenBufferManager(
    std::shared_ptr<EngineCore::ScreenBuffer>& out) const
{
    if (!_impl->screenBuffer)
        _impl->screenBuffer = std::make_shared<HGEScreenBuffer>();
    out = _impl->screenBuffer;
    return true;
}

std::function<void()> HGEEngineWrapperApplication::GetStopAllSoundsDelegate()
{
    return &Impl::StopAllSounds;
}

std::function<void(float)> HGEEngineWrapperApplication::GetSoundVolumeDelegate()
{
    return &Impl::SetSoundVolume;
}

std::function<void(float)> HGEEngineWrapperApplication::GetMusicVolumeDelegate()
{
    return &Impl::SetMusicVolume;
}

std::function<void(float)> HGEEngineWrapperApplication::GetStreamVolumeDelegate()
{
    return &Impl::SetStreamVolume;
}

std::function<void(bool)> HGEEngineWrapperApplication::GetSystemCursorDelegate()
{
    return &Impl::SetSystemCursor;
}

EngineWrapperCore::EngineWrapperApplication::ScreenSettingsFunction
HGEEngineWrapperApplication::GetScreenSettingsDelegate()
{
    return &Impl::SetScreenSettings;
}

void HGEEngineWrapperApplication::SetScreenSettingsUpdater(const ScreenSettingsFunction& updater)
{
    g_screenSettingsUpdater = updater;
}

bool HGEEngineWrapperApplication::FrameFunction()
{
    Impl::ApplyPendingTitle();
    const float dt = Hge()->Timer_GetDelta();
    if (g_applicationUpdater)
        return g_applicationUpdater(dt);
    return false;
}

bool HGEEngineWrapperApplication::RenderFunction()
{
    HGE* hge = Hge();
    const float dt = hge->Timer_GetDelta();
    bool result = false;
    hge->Gfx_BeginScene(0);
    hge->Gfx_Clear(0);
    if (g_renderUpdater)
        result = g_renderUpdater(dt);
    hge->Gfx_EndScene();
    return result;
}

bool HGEEngineWrapperApplication::GfxRestoreFunction()
{
    if (g_screenSettingsUpdater) {
        HGE* hge = Hge();
        ScreenSettings settings{};
        settings.bpp = hge->System_GetState(HGE_SCREENBPP);
        settings.width = hge->System_GetState(HGE_SCREENWIDTH);
        settings.height = hge->System_GetState(HGE_SCREENHEIGHT);
        settings.windowed = hge->System_GetState(HGE_WINDOWED);
        settings.stretch = hge->Gfx_GetStretch();
        g_screenSettingsUpdater(settings);
    }
    return true;
}

bool HGEEngineWrapperApplication::ExitFunction()
{
    if (g_quitConfirmed)
        return true;
    HGE* hge = Hge();
    const bool windowed = hge->System_GetState(HGE_WINDOWED);
    if (!windowed) {
        // A full-screen window would cover the question.
        hge->Window_Minimize();
        hge->Window_Focus();
    }
    if (hge->System_AskYesNo("You really want to quit?", "Information")) {
        g_quitConfirmed = true;
    } else {
        hge->Window_Focus();
        hge->Window_Restore();
    }
    return g_quitConfirmed;
}

bool HGEEngineWrapperApplication::FocusLostFunction()
{
    Hge()->Channel_PauseAll();
    return false;
}

bool HGEEngineWrapperApplication::FocusGainFunction()
{
    Hge()->Channel_ResumeAll();
    return false;
}

}  // namespace MobrixCore
