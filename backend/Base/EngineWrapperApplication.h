#pragma once
// The abstract back-end application that the launcher drives: opens the game window,
// runs the frame loop, closes; hands out the delegates through which the engine reaches
// the back-end's audio, cursor and display.

#include <functional>
#include <memory>

#include "engine/Renderer/RenderSystem.h"
#include "engine/Renderer/ScreenBuffer.h"
#include "platform/hge/hge.h"

namespace EngineWrapperCore {

class EngineWrapperApplication {
public:
    using Updater = std::function<bool(float)>;
    using ScreenSettingsFunction =
        std::function<void(const EngineCore::RenderSystem::ScreenSettings&)>;

    EngineWrapperApplication() = default;
    EngineWrapperApplication(const EngineWrapperApplication&) = default;
    EngineWrapperApplication& operator=(const EngineWrapperApplication&) = default;
    virtual ~EngineWrapperApplication() = default;

    virtual bool Run() = 0;
    virtual bool Close() = 0;
    virtual bool Open(const Updater& renderUpdater, const Updater& applicationUpdater) = 0;
    virtual float GetFrameTime() const = 0;
    virtual HWND GetWindowHandle() const = 0;
    virtual float GetVerticalPixelOffset() const = 0;
    virtual float GetHorizontalPixelOffset() const = 0;
    virtual void PrintToLog(const char* text) = 0;
    virtual void SetApplicationIcon(unsigned short resourceId) = 0;
    virtual bool GetScreenBufferManager(std::shared_ptr<EngineCore::ScreenBuffer>& out) const = 0;
    virtual std::function<void()> GetStopAllSoundsDelegate() = 0;
    virtual std::function<void(float)> GetSoundVolumeDelegate() = 0;
    virtual std::function<void(float)> GetMusicVolumeDelegate() = 0;
    virtual std::function<void(float)> GetStreamVolumeDelegate() = 0;
    virtual std::function<void(bool)> GetSystemCursorDelegate() = 0;
    virtual ScreenSettingsFunction GetScreenSettingsDelegate() = 0;
    virtual void SetScreenSettingsUpdater(const ScreenSettingsFunction& updater) = 0;
};

}  // namespace EngineWrapperCore
