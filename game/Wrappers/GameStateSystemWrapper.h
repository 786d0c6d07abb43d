#pragma once
#include <atomic>
#include <ctime>
#include <mutex>
#include <string>

#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"

struct lua_State;

namespace GameCore {

// Script class "GameStateSystem": the game-flow calls of a game state's scripts
// (quitting, switching and leaving states, running further scripts, the per-frame
// updater, the loading screen's page effect and textures, the data cache), screenshots,
// the window title, the sound and music volumes and the survey links. Script text it
// starts, the updater and the textures belong to the state whose script calls it
// (StateCallback::CallingState), which is the current state except for the loading
// screen's scripts during a load.
class GameStateSystemWrapper {
public:
    static const char className[];
    static const GameLuaScriptImpl::LuaHelper<GameStateSystemWrapper>::RegType methods[];

    explicit GameStateSystemWrapper(lua_State* state);

    int Quit(lua_State* state);
    int QuitFromState(lua_State* state);
    int RunSurveyBrowser(lua_State* state);
    int EnableSurveyMode(lua_State* state);
    int SetOnGameQuitLink(lua_State* state);
    int SetOnSurveyEndLink(lua_State* state);
    int GetName(lua_State* state);
    int EndPageFx(lua_State* state);
    int RunScript(lua_State* state);
    int RunScriptString(lua_State* state);
    int ChangeState(lua_State* state);
    int SetWindowTextW(lua_State* state);
    int MakeScreenshot(lua_State* state);
    int FreeDataCache(lua_State* state);
    int PrecacheDataFolder(lua_State* state);
    int SetSoundVolume(lua_State* state);
    int SetMusicVolume(lua_State* state);
    int GetSoundVolume(lua_State* state);
    int GetMusicVolume(lua_State* state);
    int StopAllSounds(lua_State* state);
    int SetBackgroundTexture(lua_State* state);
    int SetBackgroundEndTexture(lua_State* state);
    int SetUpdaterFunctionName(lua_State* state);
    int SetGlobalAnimationSpeed(lua_State* state);
    int GetCurrentStageLevel(lua_State* state);
    int AddAsyncLoadingDirectory(lua_State* state);

    // Calls the script function `name` with the frame time in the interpreter of
    // the state whose script runs on this thread, else of the current state once it is
    // entered and no load runs (StateCallback::FiringState); nothing when the name is
    // empty or there is no such state.
    static void Update(const std::string& name, float dt);
    // The name set last from any game state.
    static std::string GetUpdaterFunctionName();

    // The survey links (empty until a script sets them: an empty link opens nothing) and
    // survey mode, which stays on for the rest of the run once a script turned it on.
    static std::string GetGameQuitLink();
    static std::string GetSurveyEndLink();
    static bool IsEnabledSurveyMode();
    // Forgets what a run's scripts set for the whole process: survey mode and links, and
    // the window title texts are added to. Called once the run has been released.
    static void ResetRun();

    // The screenshot file name for a state, its level script ("" when unset) and a local
    // time: "<state><tag>[YYYY-MM-DD_hh-mm.ss].bmp". Path separators and control
    // characters in the state name and the tag become '_'.
    static std::string ScreenshotFileName(const std::string& stateName, const std::string& levelScript,
                                          const std::tm& time);

private:
    // Reached by the loader thread (a state's entry scripts) and the main thread (the
    // loading screen, the updater): guarded by `_updaterFunctionMutex`.
    static std::mutex _updaterFunctionMutex;
    static std::string _updaterFunctionString;

    // Set by scripts on the loader thread or the main thread, read at shutdown.
    static std::mutex _surveyMutex;
    static std::string _onGameQuitLink;
    static std::string _onSurveyEndLink;
    static std::atomic<bool> _isSurveyModeEnabled;
};

}  // namespace GameCore
