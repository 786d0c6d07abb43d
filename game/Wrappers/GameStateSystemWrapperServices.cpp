// "GameStateSystem": screenshots, the window title, volumes and survey links.
#include <lua.hpp>

#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "engine/Audio/MusicSystem.h"
#include "engine/Audio/SoundSystem.h"
#include "engine/Renderer/RenderSystem.h"
#include "engine/System/EngineError.h"
#include "engine/System/SystemLogger.h"
#include "engine/System/WindowServices.h"
#include "game/Base/Application.h"
#include "game/Base/GameState.h"
#include "game/Logic/Profile.h"
#include "game/Logic/ProfileSystem.h"
#include "game/Logic/Property.h"
#include "game/Logic/PropertySystem.h"
#include "game/Wrappers/GameStateSystemWrapper.h"
#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

namespace {

const char* const kSource = "Wrappers\\GameStateSystemWrapper.cpp";

void Log(const std::string& text)
{
    EngineCore::SystemLogger::Instance().Log(text.c_str());
}

// Names from scripts become file names: nothing in them may lead out of the folder.
std::string SafeFilePart(std::string text)
{
    for (char& c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '/' || c == '\\' || u < 0x20 || u == 0x7F)
            c = '_';
    }
    return text;
}

// "_[Stage03_Level07]_" for a "game..." state whose level script has more than two pieces.
std::string StageTag(const std::string& stateName, const std::string& levelScript)
{
    if (stateName.size() <= 3 || stateName.compare(0, 4, "game") != 0)
        return std::string();
    std::vector<std::string> pieces;
    std::string piece;
    for (char c : levelScript + "/") {
        if (c != '/') {
            piece += c;
        } else if (!piece.empty()) {
            pieces.push_back(piece);
            piece.clear();
        }
    }
    if (pieces.size() <= 2)
        return std::string();
    return "_[" + SafeFilePart(pieces[0]) + "_" + SafeFilePart(pieces[1]) + "]_";
}

// The level script the selected profile keeps in the property "CurrentLevelScript" ("" when
// the property is unset or holds no string).
std::string CurrentLevelScript()
{
    std::shared_ptr<Property> property;
    std::string script;
    if (!PropertySystem::Instance().FindProperty("CurrentLevelScript", property) || !property ||
        !property->GetValue(script))
        return std::string();
    return script;
}

// Sets the engine's volume, the selected profile keeps it and the profiles file is saved.
// With no profile selected the new engine volume stays in effect, unsaved. All under the
// profile lock: of two threads setting a volume, the one the device hears last is the one
// the profile keeps.
void SetVolumeAndStoreInProfile(bool music, float volume)
{
    ProfileSystem& profiles = ProfileSystem::Instance();
    const std::unique_lock<std::recursive_mutex> hold = profiles.Hold();
    if (music)
        EngineCore::MusicSystem::Instance().SetVolume(volume);
    else
        EngineCore::SoundSystem::Instance().SetVolume(volume);
    std::shared_ptr<Profile> selected;
    if (!profiles.GetSelectedProfile(selected) || !selected)
        EngineCore::ThrowEngineError(kSource, 481, "Selected profile is not found.");
    if (music)
        selected->musicVolume = volume;
    else
        selected->soundVolume = volume;
    profiles.Save();
}

// The window's title at the first SetWindowText of a run.
struct FirstTitle {
    std::mutex mutex;
    bool taken = false;
    std::string title;
};

FirstTitle& TheFirstTitle()
{
    static FirstTitle first;
    return first;
}

}  // namespace

std::mutex GameStateSystemWrapper::_surveyMutex;
std::string GameStateSystemWrapper::_onGameQuitLink;
std::string GameStateSystemWrapper::_onSurveyEndLink;
std::atomic<bool> GameStateSystemWrapper::_isSurveyModeEnabled{false};

std::string GameStateSystemWrapper::GetGameQuitLink()
{
    std::lock_guard<std::mutex> lock(_surveyMutex);
    return _onGameQuitLink;
}

std::string GameStateSystemWrapper::GetSurveyEndLink()
{
    std::lock_guard<std::mutex> lock(_surveyMutex);
    return _onSurveyEndLink;
}

bool GameStateSystemWrapper::IsEnabledSurveyMode()
{
    return _isSurveyModeEnabled.load();
}

void GameStateSystemWrapper::ResetRun()
{
    {
        std::lock_guard<std::mutex> lock(_surveyMutex);
        _onGameQuitLink.clear();
        _onSurveyEndLink.clear();
        _isSurveyModeEnabled.store(false);
    }
    FirstTitle& first = TheFirstTitle();
    std::lock_guard<std::mutex> lock(first.mutex);
    first.taken = false;
    first.title.clear();
}

int GameStateSystemWrapper::RunSurveyBrowser(lua_State* state)
{
    const bool gameQuit = CheckInt32(state, 1) != 0;
    Application::Instance().RunBrowser(gameQuit ? GetGameQuitLink() : GetSurveyEndLink());
    return 0;
}

int GameStateSystemWrapper::EnableSurveyMode(lua_State*)
{
    _isSurveyModeEnabled.store(true);
    return 0;
}

int GameStateSystemWrapper::SetOnGameQuitLink(lua_State* state)
{
    const std::string link = CheckString(state, 1);
    std::lock_guard<std::mutex> lock(_surveyMutex);
    _onGameQuitLink = link;
    return 0;
}

int GameStateSystemWrapper::SetOnSurveyEndLink(lua_State* state)
{
    const std::string link = CheckString(state, 1);
    std::lock_guard<std::mutex> lock(_surveyMutex);
    _onSurveyEndLink = link;
    return 0;
}

// The title is the one the window had at the first call followed by the text, so texts
// replace each other instead of piling up.
int GameStateSystemWrapper::SetWindowTextW(lua_State* state)
{
    Log("GetWindowText 0");
    const std::string text = CheckString(state, 1);
    Log("GetWindowText 1");
    EngineCore::WindowServices& window = EngineCore::WindowServices::Instance();
    Log("GetWindowText 2");
    std::string title;
    {
        FirstTitle& first = TheFirstTitle();
        std::lock_guard<std::mutex> lock(first.mutex);
        if (!first.taken) {
            Log("GetWindowText 3");
            first.taken = true;
            first.title = window.GetTitle();
        }
        title = first.title;
    }
    Log("GetWindowText 4");
    Log("GetWindowText 5");
    Log("GetWindowText name=" + window.GetTitle());
    Log("GetWindowText 6");
    window.SetTitle(title + text);
    Log("GetWindowText 7");
    return 0;
}

std::string GameStateSystemWrapper::ScreenshotFileName(const std::string& stateName,
                                                       const std::string& levelScript, const std::tm& time)
{
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "[%04d-%02d-%02d_%02d-%02d.%02d]", time.tm_year + 1900, time.tm_mon + 1,
                  time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec);
    return SafeFilePart(stateName) + StageTag(stateName, levelScript) + stamp + ".bmp";
}

int GameStateSystemWrapper::MakeScreenshot(lua_State*)
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path current = fs::current_path(error);
    if (error)
        current = ".";
    const std::string folder = current.string() + "/Screenshots";
    const fs::file_status status = fs::status(folder, error);
    if (!fs::exists(status)) {
        if (!fs::create_directory(folder, error) || error)
            EngineCore::ThrowEngineError(kSource, 640, "ScreenShots folder creating error.");
    } else if (!fs::is_directory(status)) {
        EngineCore::ThrowEngineError(kSource, 650, "ScreenShots file must be deleted.");
    }

    std::shared_ptr<GameState> gameState;
    Application::Instance().GetCurrentGameState(gameState);
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const std::string name =
        ScreenshotFileName(gameState ? gameState->GetStateName() : std::string(), CurrentLevelScript(), local);

    // A second screenshot within the same second gets "_2", "_3", ... instead of
    // replacing the first.
    const std::string stem = folder + "/" + name.substr(0, name.size() - 4);
    std::string path = stem + ".bmp";
    for (int n = 2; fs::exists(path, error) && n < 10000; ++n)
        path = stem + "_" + std::to_string(n) + ".bmp";
    EngineCore::RenderSystem::Instance().MakeScreenshot(path.c_str());
    return 0;
}

int GameStateSystemWrapper::SetSoundVolume(lua_State* state)
{
    SetVolumeAndStoreInProfile(false, CheckFloat(state, 1));
    return 0;
}

int GameStateSystemWrapper::SetMusicVolume(lua_State* state)
{
    SetVolumeAndStoreInProfile(true, CheckFloat(state, 1));
    return 0;
}

int GameStateSystemWrapper::GetSoundVolume(lua_State* state)
{
    PushFloat(state, EngineCore::SoundSystem::Instance().GetVolume());
    return 1;
}

int GameStateSystemWrapper::GetMusicVolume(lua_State* state)
{
    PushFloat(state, EngineCore::MusicSystem::Instance().GetVolume());
    return 1;
}

// Content was made against a stop-all that stops nothing, and may call it where music must
// go on: the engine's stop-all event stays unconnected.
int GameStateSystemWrapper::StopAllSounds(lua_State*)
{
    EngineCore::SoundSystem::Instance().StopAllSounds();
    return 0;
}

}  // namespace GameCore
