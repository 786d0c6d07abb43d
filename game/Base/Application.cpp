#include "game/Base/Application.h"

#include <chrono>
#include <cstdlib>
#include <exception>
#include <ctime>
#include <stdexcept>
#include <thread>
#include <vector>

#include "engine/Animation/AnimationSystem.h"
#include "engine/FileSystem/FileSystem.h"
#include "engine/GUI/GUISystem.h"
#include "engine/Input/InputSystem.h"
#include "engine/Renderer/ParticleSystemManager.h"
#include "engine/Renderer/RenderSystem.h"
#include "engine/Resources/ResourceManager.h"
#include "engine/System/EngineError.h"
#include "engine/System/SystemLogger.h"
#include "engine/System/WindowServices.h"
#include "game/Base/ApplicationImpl.h"
#include "game/Base/GameState.h"
#include "game/Logic/ProfileSystem.h"
#include "game/Logic/PropertySystem.h"
#include "game/ScriptEngine/LuaScriptEngine/LuaScriptEngine.h"
#include "game/ScriptEngine/LuaScriptEngine/StartupScriptClasses.h"
#include "game/Wrappers/GUISystemWrapper.h"
#include "game/Wrappers/GameStateSystemWrapper.h"
#include "game/Wrappers/SoundStreamWrapper.h"

namespace GameCore {

namespace {
const char* const kSource = "Base\\Application.cpp";
const int kMaxStartupScriptDepth = 64;
// Start-up scripts nested inside one another on this thread.
thread_local int startupScriptDepth = 0;
}

Application::Application() : _impl(new Impl)
{
    std::srand(static_cast<unsigned>(std::clock()));
    const unsigned processors = std::thread::hardware_concurrency();
    _impl->processorCount = processors > 0 ? static_cast<int>(processors) : 1;
}

// A loader still running at exit (no Release ran) is told to give up and joined,
// never killed.
Application::~Application()
{
    _impl->Set(&Impl::quit, true);
    _impl->thread.CloseThread();
}

Application& Application::Instance()
{
    static Application instance;
    return instance;
}

const std::string& Application::GetUserPath() const { return _impl->userPath; }
void Application::SetUserPath(const std::string& path) { _impl->userPath = path; }
const std::string& Application::GetStartupScript() const { return _impl->startupScript; }
void Application::SetStartupScript(const std::string& path) { _impl->startupScript = path; }

void Application::Impl::ResetRun()
{
    EngineCore::MutexLocker lock(mutex);
    quit = false;
    loading = false;
    wasLoading = false;
    frameShown = false;
    pageFx = false;
    firstLoad = true;
    profilesLoaded = false;
    animationSpeed = 1.0f;
    loaderError.clear();
}

void Application::Quit() { _impl->Set(&Impl::quit, true); }
bool Application::IsWaiting() const { return _impl->Get(&Impl::loading); }
void Application::SetGlobalAnimationSpeed(float speed) { _impl->animationSpeed = speed; }
bool Application::IsPageFXStarted() const { return _impl->Get(&Impl::pageFx); }
void Application::SetPageFXStarted(bool started) { _impl->Set(&Impl::pageFx, started); }

int Application::GetCurrentStageNumber() const { return _impl->stageNumber; }
int Application::GetCurrentLevelNumber() const { return _impl->levelNumber; }

void Application::SetCurrentStageLevel(int stage, int level)
{
    _impl->stageNumber = stage;
    _impl->levelNumber = level;
}

bool Application::CreateGameState(const std::string& name, std::shared_ptr<GameState>& state)
{
    if (_impl->states.count(name))
        return false;
    std::shared_ptr<GameState> created(new GameState(name));
    state = created;
    created->Open();
    _impl->states[name] = created;
    return true;
}

bool Application::GetGameState(const std::string& name, std::shared_ptr<GameState>& state) const
{
    const auto found = _impl->states.find(name);
    if (found == _impl->states.end())
        return false;
    state = found->second;
    return true;
}

std::vector<std::string> Application::GetGameStateNames() const
{
    std::vector<std::string> names;
    for (const auto& entry : _impl->states)
        names.push_back(entry.first);
    return names;
}

bool Application::GetCurrentGameState(std::shared_ptr<GameState>& state) const
{
    if (!_impl->current)
        return false;
    state = _impl->current;
    return true;
}

void Application::GetSystemGameState(std::shared_ptr<GameState>& state) const
{
    state = _impl->system;
}

void Application::SetCurrentGameState(const std::shared_ptr<GameState>& state, bool immediate)
{
    if (immediate) {
        _impl->MakeCurrent(state);
        return;
    }
    _impl->next = state;
    if (_impl->current)
        return;
    // No state is current while the start-up script runs: the first switch starts
    // here. Only a load made on this thread ("intro") can have left an error.
    _impl->StartCurrentStateChanging();
}

void Application::RemoveGameState(const std::shared_ptr<GameState>& state, bool immediate)
{
    if (!immediate) {
        _impl->pendingRemoval = state;
        return;
    }
    if (!state)
        return;
    if (state == _impl->current) {
        state->OnLeave();
        _impl->current.reset();
    }
    _impl->states.erase(state->GetStateName());
}

void Application::PreInit(const std::string& preStartupScript)
{
    // Optional: a game may keep its loading scripts loose.
    EngineCore::FileSystem::Instance().AddResourceFile("Loading.resources", "Base", true);
    if (!RunScript(preStartupScript))
        EngineCore::ThrowEngineErrorF(kSource, 628, "Error script (%s) running.", preStartupScript.c_str());
    ProfileSystem::Instance().Load();
    _impl->profilesLoaded = true;
}

void Application::Init(const std::string& startupScript)
{
    EngineCore::RenderSystem::Instance().Init();
    EngineCore::InputSystem::Instance().Init();

    std::shared_ptr<GameState> system;
    if (!CreateGameState("system", system))
        EngineCore::ThrowEngineError(kSource, 648, "Error creating system state.");
    _impl->system = system;

    _impl->MakeCurrent(system);
    system->SetStartupScript("Loading/SystemState.lua");
    system->OnEnter();
    system->SystemInit();
    _impl->current.reset();

    if (!RunScript(startupScript))
        EngineCore::ThrowEngineErrorF(kSource, 660, "Error script (%s) running.", startupScript.c_str());
}

bool Application::RunScript(const std::string& path)
{
    // Each nested start-up file runs in an interpreter of its own, so the interpreter's
    // own call limit never applies: a file that runs itself would recurse until the
    // stack overflows. Past the limit a file is skipped like one that fails.
    if (startupScriptDepth >= kMaxStartupScriptDepth) {
        EngineCore::SystemLogger::Instance().Log(
            ("Application::RunScript (" + path + ") skipped: start-up scripts nested too deep.").c_str());
        return false;
    }
    ++startupScriptDepth;
    struct Unnest {
        ~Unnest() { --startupScriptDepth; }
    } unnest;

    // The engine closes its interpreter when it goes out of scope, also when the
    // script throws.
    GameLuaScriptImpl::LuaScriptEngine engine;
    if (!engine.Open())
        return false;
    GameLuaScriptImpl::RegisterStartupScriptClasses(engine.GetState());
    GameLuaScriptImpl::LuaScriptEngine::SetOwner(engine.GetState(), this);
    if (!engine.RunFile(path))
        return false;
    engine.Close();
    return true;
}

bool Application::Update(float dt)
{
    Impl& impl = *_impl;
    const bool loading = impl.Get(&Impl::loading);

    // The music fade takes this frame's time before any script of the frame runs: a change
    // made during a frame, or a loaded state's change first seen in it, counts from the
    // next frame on. A loading frame counts unscaled, as the loading screen's own clock does.
    SoundStreamWrapper::UpdateFades(loading ? dt : dt * impl.animationSpeed.load());

    if (loading) {
        impl.wasLoading = true;
        impl.system->SystemUpdate(dt);
        std::this_thread::sleep_for(std::chrono::milliseconds(impl.processorCount >= 2 ? 30 : 50));
        return false;
    }

    // A frame starts here once no load runs: a screen change asked for during the load
    // reaches the window now, and the loaded state's sprites refit to it.
    EngineCore::RenderSystem::Instance().ApplyHeldScreenSettings();

    if (impl.wasLoading) {
        // Here, where the main thread first sees the load ended: a music change the loaded
        // state made counts from the next frame on, the loaded state's first.
        SoundStreamWrapper::EndLoad();
        if (!impl.loaderError.empty())
            throw std::runtime_error(impl.loaderError);
        impl.system->SystemLastUpdate();
        impl.wasLoading = false;
        return false;
    }

    // Only now, with no load running: the loader may be running the scripts of the
    // very state a script asked to remove.
    if (impl.pendingRemoval) {
        const std::shared_ptr<GameState> removed = impl.pendingRemoval;
        impl.pendingRemoval.reset();
        RemoveGameState(removed, true);
    }

    if (impl.Get(&Impl::quit))
        return true;

    // A screen change reported during the load reaches the loaded state's hook now.
    GUISystemWrapper::DeliverHeldScreenSettingsChange();

    if (impl.next)
        impl.StartCurrentStateChanging();

    EngineCore::InputSystem::Instance().Update(dt);
    EngineCore::ResourceManager::Instance().Update(dt);
    EngineCore::GUISystem::Instance().Update(dt);

    const float speed = impl.animationSpeed;
    if (impl.current) {
        const std::shared_ptr<GameState> current = impl.current;
        current->OnFrame(dt * speed);
    } else {
        // The first state by name, but never "system": entering it again would run
        // its interpreter on the loader thread while the loading screen runs it here.
        for (const auto& entry : impl.states) {
            if (entry.second != impl.system) {
                impl.next = entry.second;
                impl.StartCurrentStateChanging();
                break;
            }
        }
    }

    PropertySystem::Instance().Update(dt);
    EngineCore::AnimationSystem::Instance().Update(dt * speed);
    EngineCore::ParticleSystemManager::Instance().Update(dt);

    return impl.Get(&Impl::quit);
}

void Application::UpdateRender(float dt)
{
    Impl& impl = *_impl;
    const bool loading = impl.Get(&Impl::loading);
    // A load can start after this frame's Update and, when it fails at once, end
    // before the next one: the end of the load must still be handled there.
    if (loading)
        impl.wasLoading = true;
    if (loading && impl.system)
        impl.system->SystemInvalidateCursor();
    EngineCore::RenderSystem::Instance().Update(impl.animationSpeed.load() * dt);
    if (loading)
        impl.Set(&Impl::frameShown, true);
}

void Application::RunBrowser(const std::string& link)
{
    if (!GameStateSystemWrapper::IsEnabledSurveyMode() || link.empty())
        return;
    EngineCore::WindowServices& window = EngineCore::WindowServices::Instance();
    if (window.OpenWebLink(link))
        window.Minimize();
}

void Application::Release()
{
    Impl& impl = *_impl;
    // The run ended other than by a script's quit: the player closed the window, or an
    // error. A run that never started, or that was released already, reports no end.
    if (impl.system && !impl.Get(&Impl::quit))
        RunBrowser(GameStateSystemWrapper::GetGameQuitLink());
    impl.Set(&Impl::quit, true);
    // A loader waiting for a frame or for the page effect gives up on the quit flag;
    // one inside a script ends it first. Nothing below may run beside it.
    impl.thread.CloseThread();
    // After the loader, so that no script can start another music change.
    SoundStreamWrapper::ClearResources();

    // Saved once no loader can change a profile any more, and only by a run that loaded
    // them: a start refused before that writes no file. A failed save is reported after
    // the rest of the shutdown has run.
    std::exception_ptr saveError;
    try {
        if (impl.profilesLoaded)
            ProfileSystem::Instance().Save();
    } catch (...) {
        saveError = std::current_exception();
    }

    EngineCore::GUISystem::Instance().Release();
    EngineCore::InputSystem::Instance().Release();
    EngineCore::ResourceManager::Instance().Clear();

    // Closing an interpreter runs script-object destructors: close from a snapshot.
    std::vector<std::shared_ptr<GameState>> states;
    for (const auto& entry : impl.states)
        states.push_back(entry.second);
    for (const std::shared_ptr<GameState>& state : states)
        state->Close();
    impl.states.clear();

    impl.next.reset();
    impl.system.reset();
    impl.current.reset();
    impl.pendingRemoval.reset();

    EngineCore::RenderSystem::Instance().Release();
    // A later Init starts a run of its own.
    impl.ResetRun();
    GameStateSystemWrapper::ResetRun();
    EngineCore::AnimationSystem::Instance().Clear();
    if (saveError)
        std::rethrow_exception(saveError);
}

}  // namespace GameCore
