#include "game/Base/GameState.h"

#include <atomic>
#include <mutex>

#include "engine/Animation/AnimationPlayer.h"
#include "engine/Animation/AnimationSystem.h"
#include "engine/GUI/Cursor.h"
#include "engine/GUI/GUISystem.h"
#include "engine/Renderer/RenderSystem.h"
#include "engine/Resources/Resource.h"
#include "engine/Resources/ResourceManager.h"
#include "engine/System/EngineError.h"
#include "engine/System/ScriptEngineHelper.h"
#include "game/Base/Application.h"
#include "game/Base/LuaText.h"
#include "game/Base/StateCallback.h"
#include "game/Logic/GameLogic.h"
#include "game/Logic/TimerStorage.h"
#include "game/ScriptEngine/LuaScriptEngine/LuaScriptEngine.h"
#include "game/ScriptEngine/LuaScriptEngine/GameStateScriptClasses.h"

namespace GameCore {

namespace {

const char* const kSource = "Base\\GameState.cpp";
const char* const kTimerCursor = "SystemLogic.TimerCursor";
const char* const kMainCursor = "GuiCursor.Main";

std::shared_ptr<EngineCore::Cursor> CurrentCursor()
{
    return std::dynamic_pointer_cast<EngineCore::Cursor>(
        EngineCore::GUISystem::Instance().GetCursorResource());
}

}  // namespace

struct GameState::Impl {
    std::string name;
    std::string startupScript;
    // The loader thread reads and sets the "system" state's textures while the loading
    // screen's scripts may set them on the main thread.
    mutable std::mutex textureLock;
    std::string backgroundTexture;
    std::string backgroundEndTexture;
    GameLogic logic;
    std::shared_ptr<EngineCore::ScriptEngine> engine;
    lua_State* state = nullptr;
    std::function<void(float)> updater;
    std::atomic<bool> entered{false};
    // The "system" state's first loading screen also runs the content's one-time set-up.
    // Each run makes its own "system" state. Main thread only.
    bool firstSystemReset = true;

    bool cursorVisible = false;
    bool pageFxStarted = false;
    float systemFrameTime = 0.0f;
    std::shared_ptr<EngineCore::Resource> timerCursor;
    std::shared_ptr<EngineCore::Resource> savedCursor;
    std::shared_ptr<EngineCore::AnimationPlayer> cursorPlayer;
    std::shared_ptr<EngineCore::AnimationPlayer> loadingBarPlayer;

    void Run(const std::string& text)
    {
        if (engine)
            engine->RunString(text.c_str(), 0);
    }

    void ShowWaitingCursor();
    void RestoreCursor();
};

void GameState::Impl::ShowWaitingCursor()
{
    if (!EngineCore::ResourceManager::Instance().GetResource(
            kTimerCursor, 2, timerCursor) ||
        !timerCursor)
        EngineCore::ThrowEngineErrorF(kSource, 156, "Resource (%s) not found.", kTimerCursor);

    // Until a script installs the GUI cursor there is no pointer to swap.
    const std::shared_ptr<EngineCore::Cursor> cursor = CurrentCursor();
    if (!cursor)
        return;
    if (cursor->GetSprite() != timerCursor)
        savedCursor = cursor->GetSprite();
    cursor->SetSprite(timerCursor);

    EngineCore::GUISystem& gui = EngineCore::GUISystem::Instance();
    const bool visible = gui.IsCursorVisible();
    if (!visible || visible != cursorVisible) {
        cursorVisible = visible;
        gui.ShowCursor();
    }
}

void GameState::Impl::RestoreCursor()
{
    if (!savedCursor &&
        (!EngineCore::ResourceManager::Instance().GetResource(
             kMainCursor, 2, savedCursor) ||
         !savedCursor))
        EngineCore::ThrowEngineErrorF(kSource, 131, "Resource (%s) not found.", kMainCursor);

    if (const std::shared_ptr<EngineCore::Cursor> cursor = CurrentCursor()) {
        cursor->SetSprite(savedCursor);
        EngineCore::GUISystem::Instance().ShowCursor();
    }
    cursorVisible = false;
    savedCursor.reset();
}

GameState::GameState(const std::string& name) : _impl(new Impl) { _impl->name = name; }

GameState::~GameState() = default;

const std::string& GameState::GetStateName() const { return _impl->name; }
GameLogic& GameState::GetGameLogic() const { return _impl->logic; }

void GameState::SetStartupScript(const std::string& path) { _impl->startupScript = path; }
void GameState::SetBackgroundTexture(const std::string& name)
{
    std::lock_guard<std::mutex> lock(_impl->textureLock);
    _impl->backgroundTexture = name;
}

void GameState::SetBackgroundEndTexture(const std::string& name)
{
    std::lock_guard<std::mutex> lock(_impl->textureLock);
    _impl->backgroundEndTexture = name;
}

std::string GameState::GetBackgroundTexture() const
{
    std::lock_guard<std::mutex> lock(_impl->textureLock);
    return _impl->backgroundTexture;
}

std::string GameState::GetBackgroundEndTexture() const
{
    std::lock_guard<std::mutex> lock(_impl->textureLock);
    return _impl->backgroundEndTexture;
}

void GameState::SetUpdaterFunction(const std::function<void(float)>& updater)
{
    _impl->updater = updater;
}

void GameState::Open()
{
    std::shared_ptr<GameLuaScriptImpl::LuaScriptEngine> engine =
        std::make_shared<GameLuaScriptImpl::LuaScriptEngine>();
    _impl->engine.reset();
    _impl->state = nullptr;
    if (!engine->Open())
        EngineCore::ThrowEngineError(kSource, 96, "Internal error.");
    _impl->engine = engine;
    _impl->state = engine->GetState();
    GameLuaScriptImpl::LuaScriptEngine::SetOwner(_impl->state, &Application::Instance());
    GameLuaScriptImpl::RegisterGameStateScriptClasses(_impl->state);
}

void GameState::OnEnter() { Enter(true); }

void GameState::Enter(bool resetGui)
{
    StateCallback::Scope scope(*this);
    if (resetGui)
        EngineCore::GUISystem::Instance().Reset();
    if (!_impl->engine)
        Open();
    EngineCore::RenderSystem::Instance().SetCurrentGameState(_impl->name.c_str());
    const std::string& gameApi = Application::Instance().GetStartupScript();
    if (_impl->name != "system" && _impl->name != "intro" && gameApi.size() > 1)
        _impl->engine->RunFile(gameApi);
    _impl->engine->RunFile(_impl->startupScript);
    EngineCore::ScriptEngineHelper::Instance().SetCurrentScriptEngine(_impl->engine);
    _impl->entered = true;
}

void GameState::OnFrame(float dt)
{
    StateCallback::Scope scope(*this);
    _impl->logic.Update(dt);
    // A state that was left keeps the updater its scripts installed, but its
    // interpreter is gone until it is entered again.
    if (_impl->updater && _impl->engine) {
        const std::function<void(float)> updater = _impl->updater;
        updater(dt);
    }
}

void GameState::OnLeave()
{
    _impl->entered = false;
    if (!_impl->engine)
        return;
    std::shared_ptr<EngineCore::ScriptEngine> engine = _impl->engine;
    engine->Close();
    _impl->engine.reset();
    _impl->state = nullptr;
}

void GameState::Close() { OnLeave(); }
void GameState::Close(bool, int, int) { OnLeave(); }

bool GameState::RunScript(const std::string& path)
{
    StateCallback::Scope scope(*this);
    return _impl->engine ? _impl->engine->RunFile(path) : false;
}

bool GameState::IsEntered() const { return _impl->entered; }

bool GameState::RunScriptString(const std::string& text)
{
    StateCallback::Scope scope(*this);
    return _impl->engine ? _impl->engine->RunString(text.c_str(), 0) : false;
}

void GameState::SystemInit()
{
    StateCallback::Scope scope(*this);
    EngineCore::AnimationSystem& animations = EngineCore::AnimationSystem::Instance();
    std::shared_ptr<EngineCore::AnimationPlayer> player;
    if (!animations.GetAnimationPlayer("SystemLogic.CursorAnimation.player", player) || !player)
        EngineCore::ThrowEngineError(kSource, 407, "Error finding system game state data.");
    _impl->cursorPlayer = player;
    player.reset();
    if (!animations.GetAnimationPlayer("Loading.LoadingBar.AnimationPlayer", player) || !player)
        EngineCore::ThrowEngineError(kSource, 410, "Error finding loading game state data.");
    _impl->loadingBarPlayer = player;
}

void GameState::SystemReset(bool gameLoading)
{
    StateCallback::Scope scope(*this);
    _impl->ShowWaitingCursor();

    if (_impl->cursorPlayer)
        _impl->cursorPlayer->SetAnimationFrame(0);
    if (_impl->loadingBarPlayer)
        _impl->loadingBarPlayer->SetAnimationFrame(0);
    _impl->systemFrameTime = 0.0f;
    _impl->pageFxStarted = false;
    if (_impl->cursorPlayer)
        _impl->cursorPlayer->Play();
    if (_impl->loadingBarPlayer)
        _impl->loadingBarPlayer->Play();

    if (_impl->firstSystemReset) {
        _impl->firstSystemReset = false;
        // Runs in this state's scope: the timers it makes are this state's.
        _impl->Run("SystemLogic.FirstLoading()");
    }

    if (gameLoading) {
        std::string text;
        const std::string endTexture = GetBackgroundEndTexture();
        if (!endTexture.empty())
            text = "Loading.currentBackgroundTexture = " + QuoteLuaString(endTexture) + ";";
        _impl->Run(text + "Loading.StartGameLoading()");
    } else {
        _impl->Run("Loading.StartMenuLoading()");
    }
}

float GameState::GetSystemFrameTime() const { return _impl->systemFrameTime; }

void GameState::SystemUpdate(float dt)
{
    StateCallback::Scope scope(*this);
    _impl->ShowWaitingCursor();

    if (Application::Instance().IsPageFXStarted() && !_impl->pageFxStarted) {
        _impl->pageFxStarted = true;
        _impl->Run("PageFX.backgroundTextureOld = " + QuoteLuaString(GetBackgroundEndTexture()) +
                   ";PageFX.backgroundTextureNew = " + QuoteLuaString(GetBackgroundTexture()) +
                   ";Loading.StartPageFX()");
    }

    _impl->Run("Loading.frameTime = " + FormatLuaNumber(dt) + "; Loading.Update()");

    if (_impl->cursorPlayer)
        _impl->cursorPlayer->Update(dt, false);
    _impl->systemFrameTime += dt;
}

void GameState::SystemInvalidateCursor()
{
    StateCallback::Scope scope(*this);
    _impl->ShowWaitingCursor();
}

void GameState::SystemLastUpdate()
{
    StateCallback::Scope scope(*this);
    _impl->RestoreCursor();
}

void GameState::StopPageFX()
{
    _impl->pageFxStarted = false;
    Application::Instance().SetPageFXStarted(false);
}

}  // namespace GameCore
