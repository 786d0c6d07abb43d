#pragma once
// The back-end application over the HGE layer: the only place where HGE's system states
// are set (log file, title, screen mode, callbacks, icon). It also hands the engine its
// log writer and the delegates for volumes, the system cursor and the screen mode, and
// owns the screen buffer.

#include <memory>

#include "backend/Base/EngineWrapperApplication.h"

namespace MobrixCore {

class HGEEngineWrapperApplication : public EngineWrapperCore::EngineWrapperApplication {
public:
    HGEEngineWrapperApplication();
    ~HGEEngineWrapperApplication() override;
    HGEEngineWrapperApplication(const HGEEngineWrapperApplication&) = delete;
    HGEEngineWrapperApplication& operator=(const HGEEngineWrapperApplication&) = delete;

    // The object made last; null when none exists.
    static HGEEngineWrapperApplication* Instance();

    const Updater& GetRenderUpdater() const;
    const Updater& GetApplicationUpdater() const;

    bool Run() override;
    bool Close() override;
    bool Open(const Updater& renderUpdater, const Updater& applicationUpdater) override;
    float GetFrameTime() const override;
    HWND GetWindowHandle() const override;
    float GetVerticalPixelOffset() const override;
    float GetHorizontalPixelOffset() const override;
    void PrintToLog(const char* text) override;
    void SetApplicationIcon(unsigned short resourceId) override;
    bool GetScreenBufferManager(std::shared_ptr<EngineCore::ScreenBuffer>& out) const override;
    std::function<void()> GetStopAllSoundsDelegate() override;
    std::function<void(float)> GetSoundVolumeDelegate() override;
    std::function<void(float)> GetMusicVolumeDelegate() override;
    std::function<void(float)> GetStreamVolumeDelegate() override;
    std::function<void(bool)> GetSystemCursorDelegate() override;
    ScreenSettingsFunction GetScreenSettingsDelegate() override;
    void SetScreenSettingsUpdater(const ScreenSettingsFunction& updater) override;

    // True on the thread that opened the window, the only one that may draw.
    static bool IsMainThread();

    // HGE's callbacks.
    static bool FrameFunction();
    static bool RenderFunction();
    static bool GfxRestoreFunction();
    static bool FocusLostFunction();
    static bool FocusGainFunction();
    static bool ExitFunction();

private:
    class Impl;
    Impl* _impl;
};

}  // namespace MobrixCore
