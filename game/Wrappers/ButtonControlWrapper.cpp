#include "game/Wrappers/ButtonControlWrapper.h"

#include <lua.hpp>

#include "engine/GUI/Button.h"
#include "engine/GUI/GUISystem.h"
#include "game/Base/LuaText.h"
#include "game/Wrappers/GuiActionText.h"
#include "game/Wrappers/GuiControlMethods.h"
#include "game/Wrappers/GuiSpriteLookup.h"
#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

namespace {

const char* const kSource = "Wrappers\\ButtonControlWrapper.cpp";

}  // namespace

const char ButtonControlWrapper::className[] = "ButtonControl";

// The order of the rows is part of the script interface.
const GameLuaScriptImpl::LuaHelper<ButtonControlWrapper>::RegType ButtonControlWrapper::methods[] = {
    {"Enable", &ButtonControlWrapper::Enable},
    {"Disable", &ButtonControlWrapper::Disable},
    {"SetSize", &ButtonControlWrapper::SetSize},
    {"SetVisible", &ButtonControlWrapper::SetVisible},
    {"SetPosition", &ButtonControlWrapper::SetPosition},
    {"IsVisible", &ButtonControlWrapper::IsVisible},
    {"SetPriority", &ButtonControlWrapper::SetPriority},
    {"RegisterAction", &ButtonControlWrapper::RegisterAction},
    {"RegisterAllActions", &ButtonControlWrapper::RegisterAllActions},
    {"UnregisterAction", &ButtonControlWrapper::UnregisterAction},
    {"UnregisterAllActions", &ButtonControlWrapper::UnregisterAllActions},
    {"AddQuestAction", &ButtonControlWrapper::AddQuestAction},
    {"SetCollisionSprite", &ButtonControlWrapper::SetCollisionSprite},
    {nullptr, nullptr},
};

ButtonControlWrapper::ButtonControlWrapper(lua_State*)
    : _actions({EngineCore::Button::kActionOver, EngineCore::Button::kActionClick, EngineCore::Button::kActionOut},
               [this](int action) { RunGuiAction(_owner, _actions.Text(action)); }),
      _button(std::make_shared<EngineCore::Button>())
{
    EngineCore::GUISystem::Instance().RegisterControl(_button);
}

ButtonControlWrapper::~ButtonControlWrapper()
{
    _actions.UnbindAll(*_button);
    _button->SetQuestAction(nullptr, "", nullptr);
    EngineCore::GUISystem::Instance().UnregisterControl(_button);
    _button->SetCollisionSprite(nullptr);
}

int ButtonControlWrapper::Enable(lua_State*)
{
    _button->SetState(EngineCore::Button::kNormal);
    return 0;
}

int ButtonControlWrapper::Disable(lua_State*)
{
    _button->SetState(EngineCore::Button::kDisabled);
    return 0;
}

int ButtonControlWrapper::SetSize(lua_State* L)
{
    return SetControlSize(L, *_button);
}

int ButtonControlWrapper::SetVisible(lua_State* L)
{
    return SetControlVisible(L, *_button);
}

int ButtonControlWrapper::SetPosition(lua_State* L)
{
    return SetControlPosition(L, *_button);
}

int ButtonControlWrapper::IsVisible(lua_State* L)
{
    return PushControlVisible(L, *_button);
}

int ButtonControlWrapper::SetPriority(lua_State* L)
{
    return SetControlPriority(L, *_button);
}

int ButtonControlWrapper::RegisterAction(lua_State* L)
{
    return _actions.Register(L, *_button);
}

// (hover, leave, click)
int ButtonControlWrapper::RegisterAllActions(lua_State* L)
{
    return _actions.RegisterAll(
        L, *_button,
        {EngineCore::Button::kActionOver, EngineCore::Button::kActionOut, EngineCore::Button::kActionClick});
}

int ButtonControlWrapper::UnregisterAction(lua_State* L)
{
    return _actions.Unregister(L, *_button);
}

int ButtonControlWrapper::UnregisterAllActions(lua_State* L)
{
    return _actions.UnregisterAll(L, *_button);
}

int ButtonControlWrapper::AddQuestAction(lua_State* L)
{
    const std::string function = CheckString(L, 1);
    const std::string item = CheckString(L, 2);
    _button->SetQuestAction([this](void*, const char* name) { OnQuestAction(name); }, item.c_str(),
                            nullptr);
    _questFunction = function;
    return 0;
}

int ButtonControlWrapper::SetCollisionSprite(lua_State* L)
{
    const std::string name = CheckString(L, 1);
    _button->SetCollisionSprite(RequireGuiSprite(name, kSource, 255));
    return 0;
}

// The item counts as accepted even when no function is set: the button decided.
void ButtonControlWrapper::OnQuestAction(const char* itemName)
{
    if (_questFunction.empty())
        return;
    RunGuiAction(_owner, GuiCallText(_questFunction, QuoteLuaString(itemName ? itemName : "")));
}

}  // namespace GameCore
