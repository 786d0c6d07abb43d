#pragma once
#include <functional>
#include <mutex>
#include <string>

#include "engine/Renderer/RenderSystem.h"
#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"

struct lua_State;

namespace GameCore {

// Script class "GUISystem": the process-wide GUI services (dispatch on and off, the
// custom cursor and its animation, custom or system cursor) and the screen
// settings, whose display choices go to the selected player profile. An object
// holds nothing that matters; the first one made installs the cursor resource
// "Cursor.System" in the GUI system.
class GUISystemWrapper {
public:
    static const char className[];
    static const GameLuaScriptImpl::LuaHelper<GUISystemWrapper>::RegType methods[];

    // Where the display choices are kept: the selected profile. `selected` answers
    // whether there is one; each store function stores and saves, and answers false
    // (storing nothing) when no profile is selected.
    struct ProfileChoices {
        std::function<bool()> selected;
        std::function<bool(bool windowed, bool stretch)> storeScreen;
        std::function<bool(bool systemCursor)> storeSystemCursor;
    };
    // An empty record puts back the default, the profile system's selection.
    static void SetProfileChoices(const ProfileChoices& choices);

    // Runs the screen-settings hook once for a change it had to hold (main thread, no
    // load running); nothing when none is held. The application calls it every frame.
    static void DeliverHeldScreenSettingsChange();

    explicit GUISystemWrapper(lua_State* state);
    ~GUISystemWrapper();
    GUISystemWrapper(const GUISystemWrapper&) = delete;
    GUISystemWrapper& operator=(const GUISystemWrapper&) = delete;

    int Enable(lua_State* L);
    int Disable(lua_State* L);
    int IsEnabled(lua_State* L);
    int SetCursor(lua_State* L);
    int ShowCursor(lua_State* L);
    int HideCursor(lua_State* L);
    int IsCursorVisible(lua_State* L);
    int GetScreenSettings(lua_State* L);
    int SetScreenSettings(lua_State* L);
    int EnableSystemCursor(lua_State* L);
    int IsEnabledSystemCursor(lua_State* L);
    int SetupScreenSettingsUpdater(lua_State* L);
    int CursorPlay(lua_State* L);
    int CursorStop(lua_State* L);
    int CursorPause(lua_State* L);
    int CursorSetAnimationSpeed(lua_State* L);
    int CursorSetNumAnimatedFrames(lua_State* L);
    int CursorSetStartAnimationFrame(lua_State* L);

protected:
    // The render system's screen-settings hook: runs the hook text in the game state
    // whose script runs on this thread, else in the current state once it is entered and
    // no load runs (StateCallback::FiringState). Otherwise the change is held, and
    // delivered once, when the load has ended.
    static void ChangeScreenSettings(const EngineCore::RenderSystem::ScreenSettings& settings, void* user);

private:
    // The hook text and whether a change waits for it; set from any thread.
    static std::mutex _hookMutex;
    static std::string _scriptString;
    static bool _changeHeld;
    std::string _cursorName;
};

}  // namespace GameCore
