#pragma once
// A back-end that records what the launcher asks of it and runs the frame loop itself,
// with no window: enough to drive the launcher and the real game core.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>
#include <string>
#include <vector>

#include "backend/Base/EngineWrapperApplication.h"
#include "engine/Input/InputSystem.h"
#include "engine/Renderer/RenderSystem.h"
#include "engine/Renderer/Sprite.h"
#include "engine/Resources/ResourceFactory.h"
#include "engine/System/SystemLogger.h"

namespace LauncherTest {

class NullSprite : public EngineCore::Sprite {
public:
    void Render() override {}
};

struct BackEndRecord {
    std::vector<std::string> calls;
    // What reached the back-end's PrintToLog, and what the engine logged once Open
    // installed its writer.
    std::vector<std::string> log;
    std::vector<std::string> engineLog;
    std::vector<float> soundVolumes;
    std::vector<float> musicVolumes;
    bool deviceManagerAtOpen = false;
    EngineCore::RenderSystem::ScreenSettings settingsAtOpen;
    int frames = 0;
    bool opened = false;
};

class FakeBackEnd : public EngineWrapperCore::EngineWrapperApplication {
public:
    explicit FakeBackEnd(std::shared_ptr<BackEndRecord> record, int maxFrames = 2000)
        : _record(std::move(record)), _maxFrames(maxFrames)
    {
        _record->calls.push_back("made");
    }
    ~FakeBackEnd() override { _record->calls.push_back("destroyed"); }

    bool Run() override
    {
        _record->calls.push_back("Run");
        while (_record->frames < _maxFrames) {
            ++_record->frames;
            if (_application(1.0f / 60.0f))
                break;
            _render(1.0f / 60.0f);
            // A real frame ends with a present; without a pause the loader thread
            // could wait a long time for the locks this loop keeps taking.
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }
    bool Close() override
    {
        _record->calls.push_back("Close");
        EngineCore::ResourceFactory::Instance().UnregisterResourceCreator(2);
        return true;
    }
    bool Open(const Updater& render, const Updater& application) override
    {
        _record->calls.push_back("Open");
        _record->deviceManagerAtOpen = EngineCore::InputSystem::Instance().GetDeviceManager() != nullptr;
        _record->settingsAtOpen = EngineCore::RenderSystem::Instance().GetScreenSettings();
        _render = render;
        _application = application;
        EngineCore::ResourceFactory::Instance().RegisterResourceCreator(
            2, [] { return std::make_shared<NullSprite>(); });
        _record->opened = true;
        // Like the real one, Open installs the engine's log writer, which takes what the
        // start-up logged before it.
        if (getenv("FAKE_LOG")) {
            EngineCore::SystemLogger::Instance().SetLogger([](const char* t) { fprintf(stderr, "LOG %s\n", t); });
        } else {
            std::shared_ptr<BackEndRecord> record = _record;
            EngineCore::SystemLogger::Instance().SetLogger(
                [record](const char* t) { record->engineLog.push_back(t); });
        }
        return true;
    }
    float GetFrameTime() const override { return 1.0f / 60.0f; }
    HWND GetWindowHandle() const override { return _record->opened ? _record.get() : nullptr; }
    float GetVerticalPixelOffset() const override { return 0; }
    float GetHorizontalPixelOffset() const override { return 0; }
    void PrintToLog(const char* text) override
    {
        // Like the real one, nothing reaches the log before Open.
        if (_record->opened)
            _record->log.push_back(text);
    }
    void SetApplicationIcon(unsigned short id) override { _record->calls.push_back("Icon" + std::to_string(id)); }
    bool GetScreenBufferManager(std::shared_ptr<EngineCore::ScreenBuffer>&) const override
    {
        _record->calls.push_back("ScreenBuffer");
        return true;
    }
    std::function<void()> GetStopAllSoundsDelegate() override
    {
        _record->calls.push_back("StopAllSounds");
        return [] {};
    }
    std::function<void(float)> GetSoundVolumeDelegate() override
    {
        _record->calls.push_back("SoundVolume");
        auto record = _record;
        return [record](float v) { record->soundVolumes.push_back(v); };
    }
    std::function<void(float)> GetMusicVolumeDelegate() override
    {
        _record->calls.push_back("MusicVolume");
        auto record = _record;
        return [record](float v) { record->musicVolumes.push_back(v); };
    }
    std::function<void(float)> GetStreamVolumeDelegate() override
    {
        _record->calls.push_back("StreamVolume");
        return [](float) {};
    }
    std::function<void(bool)> GetSystemCursorDelegate() override
    {
        _record->calls.push_back("SystemCursor");
        return [](bool) {};
    }
    ScreenSettingsFunction GetScreenSettingsDelegate() override
    {
        _record->calls.push_back("ScreenSettings");
        return [](const EngineCore::RenderSystem::ScreenSettings&) {};
    }
    void SetScreenSettingsUpdater(const ScreenSettingsFunction&) override
    {
        _record->calls.push_back("ScreenSettingsUpdater");
    }

private:
    std::shared_ptr<BackEndRecord> _record;
    int _maxFrames;
    Updater _render;
    Updater _application;
};

}  // namespace LauncherTest
