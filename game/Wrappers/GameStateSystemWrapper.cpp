#include "game/Wrappers/GameStateSystemWrapper.h"

#include <lua.hpp>

#include <boost/lexical_cast.hpp>

#include <list>
#include <memory>
#include <regex>
#include <string>

#include "engine/FileSystem/FileSystem.h"
#include "engine/System/EngineError.h"
#include "engine/System/SystemLogger.h"
#include "game/Base/Application.h"
#include "game/Base/GameState.h"
#include "game/Base/LuaText.h"
#include "game/Base/StateCallback.h"
#include "game/Logic/ProfileSystem.h"
#include "game/Wrappers/ScriptArguments.h"
#include "game/Wrappers/SelectGameState.h"

namespace GameCore {

namespace {

const char* const kSource = "Wrappers\\GameStateSystemWrapper.cpp";

std::shared_ptr<GameState> CurrentState()
{
    std::shared_ptr<GameState> state;
    Application::Instance().GetCurrentGameState(state);
    return state;
}

// The state whose script called the method: script text it starts runs there, and
// what it sets belongs to it. It differs from the current state only for the
// loading screen's scripts while another state loads.
std::shared_ptr<GameState> CallingState()
{
    return StateCallback::CallingState();
}

// Calls the updater function `name` with the frame time in the owner's interpreter.
void RunUpdater(const StateCallback& owner, const std::string& name, float dt)
{
    if (name.empty())
        return;
    if (!owner.Run(name + "(" + FormatLuaNumber(dt) + ")"))
        EngineCore::ThrowEngineError(kSource, 302, "Internal error.");
}

// A level's start-up script names its stage and level: ".../Stage07/Level12/Scripts/Startup.lua".
// Every failure here only skips the bookkeeping; the script itself still runs.
void NoteLevelScript(const std::string& path)
{
    try {
        static const std::regex pattern("Stage(..)/Level(..)/Scripts/Startup.lua", std::regex::ECMAScript);
        std::smatch match;
        if (!std::regex_search(path, match, pattern))
            return;
        const int stage = boost::lexical_cast<int>(match[1].str());
        const int level = boost::lexical_cast<int>(match[2].str());
        Application::Instance().SetCurrentStageLevel(stage, level);
        EngineCore::SystemLogger::Instance().Log(("scriptName: " + path).c_str());
        ProfileSystem::Instance().Save();
    } catch (...) {
    }
}

}  // namespace

const char GameStateSystemWrapper::className[] = "GameStateSystem";
std::mutex GameStateSystemWrapper::_updaterFunctionMutex;
std::string GameStateSystemWrapper::_updaterFunctionString;

const GameLuaScriptImpl::LuaHelper<GameStateSystemWrapper>::RegType GameStateSystemWrapper::methods[] = {
    {"Quit", &GameStateSystemWrapper::Quit},
    {"QuitFromState", &GameStateSystemWrapper::QuitFromState},
    {"RunSurveyBrowser", &GameStateSystemWrapper::RunSurveyBrowser},
    {"EnableSurveyMode", &GameStateSystemWrapper::EnableSurveyMode},
    {"SetOnGameQuitLink", &GameStateSystemWrapper::SetOnGameQuitLink},
    {"SetOnSurveyEndLink", &GameStateSystemWrapper::SetOnSurveyEndLink},
    {"GetName", &GameStateSystemWrapper::GetName},
    {"EndPageFx", &GameStateSystemWrapper::EndPageFx},
    {"RunScript", &GameStateSystemWrapper::RunScript},
    {"RunScriptString", &GameStateSystemWrapper::RunScriptString},
    {"ChangeState", &GameStateSystemWrapper::ChangeState},
    {"SetWindowText", &GameStateSystemWrapper::SetWindowTextW},
    {"MakeScreenshot", &GameStateSystemWrapper::MakeScreenshot},
    {"FreeDataCache", &GameStateSystemWrapper::FreeDataCache},
    {"PrecacheDataFolder", &GameStateSystemWrapper::PrecacheDataFolder},
    {"SetSoundVolume", &GameStateSystemWrapper::SetSoundVolume},
    {"SetMusicVolume", &GameStateSystemWrapper::SetMusicVolume},
    {"GetSoundVolume", &GameStateSystemWrapper::GetSoundVolume},
    {"GetMusicVolume", &GameStateSystemWrapper::GetMusicVolume},
    {"StopAllSounds", &GameStateSystemWrapper::StopAllSounds},
    {"SetBackgroundTexture", &GameStateSystemWrapper::SetBackgroundTexture},
    {"SetBackgroundEndTexture", &GameStateSystemWrapper::SetBackgroundEndTexture},
    {"SetUpdaterFunctionName", &GameStateSystemWrapper::SetUpdaterFunctionName},
    {"SetGlobalAnimationSpeed", &GameStateSystemWrapper::SetGlobalAnimationSpeed},
    {"GetCurrentStageLevel", &GameStateSystemWrapper::GetCurrentStageLevel},
    {"AddAsyncLoadingDirectory", &GameStateSystemWrapper::AddAsyncLoadingDirectory},
    {nullptr, nullptr},
};

GameStateSystemWrapper::GameStateSystemWrapper(lua_State*) {}

int GameStateSystemWrapper::Quit(lua_State*)
{
    Application::Instance().Quit();
    return 0;
}

int GameStateSystemWrapper::QuitFromState(lua_State*)
{
    Application::Instance().RemoveGameState(CurrentState(), false);
    return 0;
}

int GameStateSystemWrapper::GetName(lua_State* state)
{
    const std::shared_ptr<GameState> current = CurrentState();
    lua_pushstring(state, current ? current->GetStateName().c_str() : "");
    return 1;
}

int GameStateSystemWrapper::EndPageFx(lua_State*)
{
    std::shared_ptr<GameState> system;
    Application::Instance().GetSystemGameState(system);
    if (system)
        system->StopPageFX();
    return 0;
}

int GameStateSystemWrapper::RunScript(lua_State* state)
{
    const std::string path = CheckString(state, 1);
    const std::shared_ptr<GameState> calling = CallingState();
    NoteLevelScript(path);
    if (!calling || !calling->RunScript(path))
        EngineCore::ThrowEngineErrorF(kSource, 214, "Script (\"%s\") running error.", path.c_str());
    return 0;
}

int GameStateSystemWrapper::RunScriptString(lua_State* state)
{
    const std::string text = CheckString(state, 1);
    if (text.size() < 2 || text[0] != '#')
        return 0;
    const std::shared_ptr<GameState> calling = CallingState();
    if (!calling || !calling->RunScriptString(text.substr(1)))
        EngineCore::ThrowEngineErrorF(kSource, 235, "Script (\"%s\") running error.", text.c_str());
    return 0;
}

int GameStateSystemWrapper::ChangeState(lua_State* state)
{
    SelectGameState(CheckString(state, 1));
    return 0;
}

int GameStateSystemWrapper::FreeDataCache(lua_State*)
{
    EngineCore::FileSystem::Instance().FreeCache();
    return 0;
}

int GameStateSystemWrapper::PrecacheDataFolder(lua_State* state)
{
    std::string folder = CheckString(state, 1);
    const std::string::size_type slash = folder.find('/');
    if (slash != std::string::npos)
        folder.erase(slash);
    EngineCore::FileSystem::Instance().PrecacheFolder(folder, true);
    return 0;
}

int GameStateSystemWrapper::SetBackgroundTexture(lua_State* state)
{
    const std::string name = CheckString(state, 1);
    if (const std::shared_ptr<GameState> calling = CallingState())
        calling->SetBackgroundTexture(name);
    return 0;
}

int GameStateSystemWrapper::SetBackgroundEndTexture(lua_State* state)
{
    const std::string name = CheckString(state, 1);
    if (const std::shared_ptr<GameState> calling = CallingState())
        calling->SetBackgroundEndTexture(name);
    return 0;
}

int GameStateSystemWrapper::SetUpdaterFunctionName(lua_State* state)
{
    const std::string name = CheckString(state, 1);
    {
        std::lock_guard<std::mutex> lock(_updaterFunctionMutex);
        _updaterFunctionString = name;
    }
    // Each state's updater keeps the name it was installed with: a state entered
    // again must not call a function that only another state's scripts define.
    if (const std::shared_ptr<GameState> calling = CallingState()) {
        const StateCallback owner(calling);
        calling->SetUpdaterFunction([owner, name](float dt) { RunUpdater(owner, name, dt); });
    }
    return 0;
}

int GameStateSystemWrapper::SetGlobalAnimationSpeed(lua_State* state)
{
    Application::Instance().SetGlobalAnimationSpeed(CheckFloat(state, 1));
    return 0;
}

int GameStateSystemWrapper::GetCurrentStageLevel(lua_State* state)
{
    const Application& application = Application::Instance();
    lua_pushnumber(state, application.GetCurrentStageNumber());
    lua_pushnumber(state, application.GetCurrentLevelNumber());
    return 2;
}

int GameStateSystemWrapper::AddAsyncLoadingDirectory(lua_State* state)
{
    const std::string folder = CheckString(state, 1);
    EngineCore::FileSystem& files = EngineCore::FileSystem::Instance();
    std::list<std::string> names;
    if (!files.GetFileListFromDirectory(folder, names))
        EngineCore::ThrowEngineError(kSource, 402, "AddAsyncLoadingDirectory error.");
    for (const std::string& name : names)
        files.PrecacheFileAcync(name);
    return 0;
}

void GameStateSystemWrapper::Update(const std::string& name, float dt)
{
    if (const std::shared_ptr<GameState> owner = StateCallback::FiringState())
        RunUpdater(StateCallback(owner), name, dt);
}

std::string GameStateSystemWrapper::GetUpdaterFunctionName()
{
    std::lock_guard<std::mutex> lock(_updaterFunctionMutex);
    return _updaterFunctionString;
}

}  // namespace GameCore
