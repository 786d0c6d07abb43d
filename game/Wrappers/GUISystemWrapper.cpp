#include "game/Wrappers/GUISystemWrapper.h"

#include <lua.hpp>

#include "engine/GUI/Cursor.h"
#include "engine/GUI/GUISystem.h"
#include "engine/Resources/Resource.h"
#include "engine/Resources/ResourceManager.h"
#include "engine/System/EngineError.h"
#include "game/Base/StateCallback.h"
#include "game/Logic/Profile.h"
#include "game/Logic/ProfileSystem.h"
#include "game/Wrappers/GuiSpriteLookup.h"
#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

namespace {

const char* const kSource = "Wrappers\\GUISystemWrapper.cpp";
const char* const kNoProfile = "Selected profile is not found.";

using ScreenSettings = EngineCore::RenderSystem::ScreenSettings;

// The selected profile keeps the choices, and the profiles file is saved at once.
GUISystemWrapper::ProfileChoices DefaultChoices()
{
    GUISystemWrapper::ProfileChoices choices;
    choices.selected = [] {
        std::shared_ptr<Profile> selected;
        return ProfileSystem::Instance().GetSelectedProfile(selected) && selected;
    };
    choices.storeScreen = [](bool windowed, bool stretch) {
        ProfileSystem& profiles = ProfileSystem::Instance();
        std::shared_ptr<Profile> selected;
        if (!profiles.GetSelectedProfile(selected) || !selected)
            return false;
        selected->windowed = windowed;
        selected->stretch = stretch;
        profiles.Save();
        return true;
    };
    choices.storeSystemCursor = [](bool systemCursor) {
        ProfileSystem& profiles = ProfileSystem::Instance();
        std::shared_ptr<Profile> selected;
        if (!profiles.GetSelectedProfile(selected) || !selected)
            return false;
        selected->systemCursor = systemCursor;
        profiles.Save();
        return true;
    };
    return choices;
}

GUISystemWrapper::ProfileChoices& Choices()
{
    static GUISystemWrapper::ProfileChoices choices = DefaultChoices();
    return choices;
}

// The GUI system's cursor; null when it holds none (or something else).
std::shared_ptr<EngineCore::Cursor> CurrentCursor()
{
    return std::dynamic_pointer_cast<EngineCore::Cursor>(EngineCore::GUISystem::Instance().GetCursorResource());
}

}  // namespace

std::mutex GUISystemWrapper::_hookMutex;
std::string GUISystemWrapper::_scriptString;
bool GUISystemWrapper::_changeHeld = false;

const char GUISystemWrapper::className[] = "GUISystem";

// The order of the rows is part of the script interface.
const GameLuaScriptImpl::LuaHelper<GUISystemWrapper>::RegType GUISystemWrapper::methods[] = {
    {"Enable", &GUISystemWrapper::Enable},
    {"Disable", &GUISystemWrapper::Disable},
    {"IsEnabled", &GUISystemWrapper::IsEnabled},
    {"SetCursor", &GUISystemWrapper::SetCursor},
    {"ShowCursor", &GUISystemWrapper::ShowCursor},
    {"HideCursor", &GUISystemWrapper::HideCursor},
    {"IsCursorVisible", &GUISystemWrapper::IsCursorVisible},
    {"GetScreenSettings", &GUISystemWrapper::GetScreenSettings},
    {"SetScreenSettings", &GUISystemWrapper::SetScreenSettings},
    {"EnableSystemCursor", &GUISystemWrapper::EnableSystemCursor},
    {"IsEnabledSystemCursor", &GUISystemWrapper::IsEnabledSystemCursor},
    {"SetupScreenSettingsUpdater", &GUISystemWrapper::SetupScreenSettingsUpdater},
    {"CursorPlay", &GUISystemWrapper::CursorPlay},
    {"CursorStop", &GUISystemWrapper::CursorStop},
    {"CursorPause", &GUISystemWrapper::CursorPause},
    {"CursorSetAnimationSpeed", &GUISystemWrapper::CursorSetAnimationSpeed},
    {"CursorSetNumAnimatedFrames", &GUISystemWrapper::CursorSetNumAnimatedFrames},
    {"CursorSetStartAnimationFrame", &GUISystemWrapper::CursorSetStartAnimationFrame},
    {nullptr, nullptr},
};

void GUISystemWrapper::SetProfileChoices(const ProfileChoices& choices)
{
    Choices() = choices.selected && choices.storeScreen && choices.storeSystemCursor ? choices : DefaultChoices();
}

GUISystemWrapper::GUISystemWrapper(lua_State*) : _cursorName("Cursor.System")
{
    EngineCore::GUISystem& gui = EngineCore::GUISystem::Instance();
    if (gui.GetCursorResource())
        return;
    std::shared_ptr<EngineCore::Resource> cursor;
    if (!EngineCore::ResourceManager::Instance().GetResource(_cursorName, EngineCore::Resource::RT_CURSOR, cursor) ||
        !dynamic_cast<EngineCore::Cursor*>(cursor.get()))
        EngineCore::ThrowEngineErrorF(kSource, 52, "Cursor resource (%s) creating error.", _cursorName.c_str());
    gui.SetCursorResource(cursor);
}

GUISystemWrapper::~GUISystemWrapper() = default;

int GUISystemWrapper::Enable(lua_State*)
{
    EngineCore::GUISystem::Instance().Enable();
    return 0;
}

int GUISystemWrapper::Disable(lua_State*)
{
    EngineCore::GUISystem::Instance().Disable();
    return 0;
}

int GUISystemWrapper::IsEnabled(lua_State* L)
{
    PushTruth(L, EngineCore::GUISystem::Instance().IsEnabled());
    return 1;
}

int GUISystemWrapper::SetCursor(lua_State* L)
{
    const std::string name = CheckString(L, 1);
    const std::shared_ptr<EngineCore::Resource> sprite = RequireGuiSprite(name, kSource, 96);
    if (const std::shared_ptr<EngineCore::Cursor> cursor = CurrentCursor())
        cursor->SetSprite(sprite);
    return 0;
}

int GUISystemWrapper::ShowCursor(lua_State*)
{
    EngineCore::GUISystem::Instance().ShowCursor();
    return 0;
}

int GUISystemWrapper::HideCursor(lua_State*)
{
    EngineCore::GUISystem::Instance().HideCursor(true);
    return 0;
}

int GUISystemWrapper::IsCursorVisible(lua_State* L)
{
    PushTruth(L, EngineCore::GUISystem::Instance().IsCursorVisible());
    return 1;
}

int GUISystemWrapper::GetScreenSettings(lua_State* L)
{
    const ScreenSettings settings = EngineCore::RenderSystem::Instance().GetScreenSettings();
    lua_pushnumber(L, settings.bpp);
    lua_pushnumber(L, settings.width);
    lua_pushnumber(L, settings.height);
    PushTruth(L, settings.windowed);
    PushTruth(L, settings.stretch);
    return 5;
}

int GUISystemWrapper::SetScreenSettings(lua_State* L)
{
    ScreenSettings settings;
    settings.bpp = CheckInt32(L, 1);
    settings.width = CheckInt32(L, 2);
    settings.height = CheckInt32(L, 3);
    settings.windowed = CheckFlagTruncatedOne(L, 4);
    settings.stretch = CheckFlagTruncatedOne(L, 5);
    if (!Choices().selected())
        EngineCore::ThrowEngineError(kSource, 138, kNoProfile);

    EngineCore::RenderSystem& render = EngineCore::RenderSystem::Instance();
    // Full screen without stretching is entered from a window.
    if (!settings.windowed && !settings.stretch) {
        settings.windowed = true;
        render.ApplyScreenSettings(settings);
        settings.windowed = false;
    }
    render.ApplyScreenSettings(settings);
    // Stored once applied: saving the profiles records the render system's settings.
    if (!Choices().storeScreen(settings.windowed, settings.stretch))
        EngineCore::ThrowEngineError(kSource, 138, kNoProfile);
    return 0;
}

int GUISystemWrapper::EnableSystemCursor(lua_State* L)
{
    const bool enable = CheckFlagTruncatedOne(L, 1);
    EngineCore::GUISystem::Instance().EnableSystemCursor(enable);
    if (!Choices().storeSystemCursor(enable))
        EngineCore::ThrowEngineError(kSource, 158, kNoProfile);
    return 0;
}

int GUISystemWrapper::IsEnabledSystemCursor(lua_State* L)
{
    PushTruth(L, EngineCore::GUISystem::Instance().IsEnabledSystemCursor());
    return 1;
}

int GUISystemWrapper::SetupScreenSettingsUpdater(lua_State* L)
{
    const std::string text = CheckString(L, 1);
    {
        std::lock_guard<std::mutex> lock(_hookMutex);
        _scriptString = text;
    }
    if (text.size() >= 2)
        EngineCore::RenderSystem::Instance().UpdateScreenSettingsFunction(&GUISystemWrapper::ChangeScreenSettings,
                                                                         nullptr);
    else
        EngineCore::RenderSystem::Instance().UpdateScreenSettingsFunction(nullptr, nullptr);
    return 0;
}

void GUISystemWrapper::ChangeScreenSettings(const ScreenSettings&, void*)
{
    std::string text;
    {
        std::lock_guard<std::mutex> lock(_hookMutex);
        text = _scriptString;
    }
    if (text.empty() || text[0] != '#')
        return;
    // Looked up now: the state being entered belongs to the loader thread until the load ends.
    const std::shared_ptr<GameState> owner = StateCallback::FiringState();
    {
        std::lock_guard<std::mutex> lock(_hookMutex);
        _changeHeld = !owner;
    }
    if (owner && !StateCallback(owner).Run(text.substr(1)))
        EngineCore::ThrowEngineError(kSource, 205, "Internal error.");
}

void GUISystemWrapper::DeliverHeldScreenSettingsChange()
{
    {
        std::lock_guard<std::mutex> lock(_hookMutex);
        // Removing the hook drops a held change with it.
        if (!_changeHeld || _scriptString.size() < 2)
            return;
    }
    ChangeScreenSettings(EngineCore::RenderSystem::Instance().GetScreenSettings(), nullptr);
}

int GUISystemWrapper::CursorPlay(lua_State*)
{
    if (const auto cursor = CurrentCursor())
        cursor->Play();
    return 0;
}

int GUISystemWrapper::CursorStop(lua_State*)
{
    if (const auto cursor = CurrentCursor())
        cursor->Stop();
    return 0;
}

int GUISystemWrapper::CursorPause(lua_State*)
{
    if (const auto cursor = CurrentCursor())
        cursor->Pause();
    return 0;
}

int GUISystemWrapper::CursorSetAnimationSpeed(lua_State* L)
{
    const float speed = CheckFloat(L, 1);
    if (const auto cursor = CurrentCursor())
        cursor->SetAnimationSpeed(speed);
    return 0;
}

int GUISystemWrapper::CursorSetNumAnimatedFrames(lua_State* L)
{
    const uint32_t count = CheckUint32(L, 1);
    if (const auto cursor = CurrentCursor())
        cursor->SetNumAnimatedFrames(count);
    return 0;
}

int GUISystemWrapper::CursorSetStartAnimationFrame(lua_State* L)
{
    const uint32_t frame = CheckUint32(L, 1);
    if (const auto cursor = CurrentCursor())
        cursor->SetStartAnimationFrame(frame);
    return 0;
}

}  // namespace GameCore
