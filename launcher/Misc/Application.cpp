#include "launcher/Misc/Application.h"

#include <exception>
#include <functional>
#include <memory>
#include <stdexcept>

#include "backend/Base/EngineWrapperApplication.h"
#include "engine/Audio/MusicSystem.h"
#include "engine/Audio/SoundSystem.h"
#include "engine/GUI/GUISystem.h"
#include "engine/Input/InputSystem.h"
#include "engine/Renderer/RenderSystem.h"
#include "engine/Renderer/ScreenBuffer.h"
#include "game/Base/Application.h"
#include "game/Input/GameDeviceManager.h"
#include "launcher/Misc/ApplicationImpl.h"
#include "launcher/Misc/StopSignals.h"
#include "platform/os/InstanceLock.h"

namespace ApplicationCore {

namespace {
const unsigned short kIconId = 102;
}

bool Application::Impl::RenderUpdater(float dt)
{
    GameCore::Application::Instance().UpdateRender(dt);
    return false;
}

bool Application::Impl::ApplicationUpdater(float dt)
{
    GameCore::Application& game = GameCore::Application::Instance();
    // A stop signal ends the run through the same path as a script's Quit.
    if (StopRequested())
        game.Quit();
    return game.Update(dt);
}

Application::Application(int argc, const char* const* argv, const LauncherServices& services)
    : _impl(new Impl), _services(services)
{
    for (int i = 0; i < argc; ++i)
        _arguments.emplace_back(argv[i] ? argv[i] : "");
}

Application::~Application()
{
    // Shutdown runs on every path; an error here can only be reported.
    try {
        Release();
    } catch (const std::exception& error) {
        if (_services.writeError)
            _services.writeError(std::string("Shutdown error: ") + error.what() + "\n");
    } catch (...) {
    }
    _impl.reset();
}

bool Application::Run()
{
    // Taken before any game-core call, so a refused start touches no file of the
    // running game (its profiles included).
    _lock.reset(new OsPlatform::InstanceLock(_services.lockName));
    if (_lock->GetState() == OsPlatform::InstanceLock::State::HeldElsewhere) {
        if (_services.showDialog)
            _services.showDialog(DialogKind::Warning, "Warning", "Game already is started!", nullptr);
        return false;
    }
    Init();
    if (_services.beforeLoop)
        _services.beforeLoop();
    _impl->backEnd->Run();
    if (_services.afterLoop)
        _services.afterLoop();
    return true;
}

void Application::PrintToLog(const char* text)
{
    if (_impl && _impl->backEnd)
        _impl->backEnd->PrintToLog(text);
}

void* Application::GetWindow() const { return _impl && _impl->backEnd ? _impl->backEnd->GetWindowHandle() : nullptr; }

void Application::Init()
{
    ParseCommandLine();
    Impl& impl = *_impl;
    if (!impl.backEnd)
        throw std::runtime_error("No back-end application.");
    EngineWrapperCore::EngineWrapperApplication& backEnd = *impl.backEnd;
    backEnd.SetApplicationIcon(kIconId);

    Impl* settings = &impl;
    const std::function<bool(float)> renderUpdater = [settings](float dt) { return settings->RenderUpdater(dt); };
    const std::function<bool(float)> applicationUpdater = [settings](float dt) {
        return settings->ApplicationUpdater(dt);
    };

    EngineCore::SoundSystem::Instance().SetEvent(std::function<void(float)>(backEnd.GetSoundVolumeDelegate()));
    EngineCore::MusicSystem::Instance().SetMusicEvent(backEnd.GetMusicVolumeDelegate());
    EngineCore::MusicSystem::Instance().SetStreamEvent(backEnd.GetStreamVolumeDelegate());
    EngineCore::GUISystem::Instance().SetEvent(backEnd.GetSystemCursorDelegate());
    EngineCore::RenderSystem& render = EngineCore::RenderSystem::Instance();
    render.SetChangeScreenSettingsFunction(backEnd.GetScreenSettingsDelegate());

    // Before Open, which puts the back-end's devices into it.
    EngineCore::InputSystem::Instance().SetDeviceManager(std::make_shared<GameCore::GameDeviceManager>());

    render.ApplyScreenSettings(impl.screenSettings);
    backEnd.SetScreenSettingsUpdater([](const EngineCore::RenderSystem::ScreenSettings& settings) {
        EngineCore::RenderSystem::Instance().SetChangedScreenSettings(settings);
    });

    const float volume = impl.noSound ? 0.0f : 0.5f;
    EngineCore::SoundSystem::Instance().SetVolume(volume);
    EngineCore::MusicSystem::Instance().SetVolume(volume);

    GameCore::Application& game = GameCore::Application::Instance();
    game.PreInit(impl.preStartupScript);

    // From here the back-end's log belongs to this run, whether or not Open succeeds.
    _logOpened = true;
    backEnd.Open(renderUpdater, applicationUpdater);

    std::shared_ptr<EngineCore::ScreenBuffer> screenBuffer;
    backEnd.GetScreenBufferManager(screenBuffer);
    render.SetScreenBufferInstance(screenBuffer);

    game.Init(impl.startupScript);
}

void Application::Release()
{
    GameCore::Application::Instance().Release();
    if (_impl && _impl->backEnd)
        _impl->backEnd->Close();
}

}  // namespace ApplicationCore
