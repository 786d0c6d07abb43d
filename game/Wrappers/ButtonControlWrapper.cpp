#include "game/Wrappers/ButtonControlWrapper.h"

#include <lua.hpp>

#include "engine/GUI/Button.h"
#include "engine/GUI/GUISystem.h"
#include "engine/GUI/GuiEvent.h"
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

ButtonControlWrapper::ButtonControlWrapper(lua_State*) : _button(std::make_shared<EngineCore::Button>())
{
    EngineCore::GUISystem::Instance().RegisterControl(_button);
}

ButtonControlWrapper::~ButtonControlWrapper()
{
    for (int action = 0; action < 3; ++action)
        _button->SetAction(action, nullptr, nullptr);
    _button->SetQuestAction(nullptr, "", nullptr);
    EngineCore::GUISystem::Instance().UnregisterControl(_button);
    _button->SetCollisionSprite(nullptr);
}

void ButtonControlWrapper::Bind(int action)
{
    switch (action) {
    case EngineCore::Button::kActionOver:
        _button->SetAction(action, [this](void* data) { OnActive(data); }, nullptr);
        break;
    case EngineCore::Button::kActionClick:
        _button->SetAction(action, [this](void* data) { OnPressed(data); }, nullptr);
        break;
    case EngineCore::Button::kActionOut:
        _button->SetAction(action, [this](void* data) { OffActive(data); }, nullptr);
        break;
    default:
        break;
    }
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
    const int32_t action = CheckInt32(L, 1);
    const std::string text = CheckString(L, 2);
    switch (action) {
    case EngineCore::Button::kActionOver:
        _onActive = text;
        break;
    case EngineCore::Button::kActionClick:
        _onPressed = text;
        break;
    case EngineCore::Button::kActionOut:
        _offActive = text;
        break;
    default:
        return 0;
    }
    Bind(action);
    return 0;
}

int ButtonControlWrapper::RegisterAllActions(lua_State* L)
{
    const std::string onActive = CheckString(L, 1);
    const std::string offActive = CheckString(L, 2);
    const std::string onPressed = CheckString(L, 3);
    if (!onActive.empty()) {
        _onActive = onActive;
        Bind(EngineCore::Button::kActionOver);
    }
    if (!offActive.empty()) {
        _offActive = offActive;
        Bind(EngineCore::Button::kActionOut);
    }
    if (!onPressed.empty()) {
        _onPressed = onPressed;
        Bind(EngineCore::Button::kActionClick);
    }
    return 0;
}

int ButtonControlWrapper::UnregisterAction(lua_State* L)
{
    _button->SetAction(CheckInt32(L, 1), nullptr, nullptr);
    return 0;
}

int ButtonControlWrapper::UnregisterAllActions(lua_State*)
{
    _button->SetAction(EngineCore::Button::kActionOver, nullptr, nullptr);
    _button->SetAction(EngineCore::Button::kActionOut, nullptr, nullptr);
    _button->SetAction(EngineCore::Button::kActionClick, nullptr, nullptr);
    return 0;
}

int ButtonControlWrapper::AddQuestAction(lua_State* L)
{
    const std::string function = CheckString(L, 1);
    const std::string item = CheckString(L, 2);
    _button->SetQuestAction([this](void* data, const char* name) { OnQuestAction(data, name); }, item.c_str(),
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

void ButtonControlWrapper::OnActive(void*)
{
    RunGuiAction(_owner, _onActive);
}

void ButtonControlWrapper::OnPressed(void*)
{
    RunGuiAction(_owner, _onPressed);
}

void ButtonControlWrapper::OffActive(void*)
{
    RunGuiAction(_owner, _offActive);
}

// The item counts as accepted even when no function is set: the button decided.
void ButtonControlWrapper::OnQuestAction(void*, const char* itemName)
{
    if (_questFunction.empty())
        return;
    RunGuiAction(_owner, GuiCallText(_questFunction, QuoteLuaString(itemName ? itemName : "")));
}

void ButtonControlWrapper::OnClick(void*)
{
    auto event = std::make_shared<EngineCore::GuiEvent>();
    event->SetType(EngineCore::GuiEvent::kClick);
    // A share for the call: the click may run code that frees this object.
    const std::shared_ptr<EngineCore::Button> button = _button;
    button->HandleEvent(event);
}

void ButtonControlWrapper::OffClick(void*)
{
    auto event = std::make_shared<EngineCore::GuiEvent>();
    event->SetType(EngineCore::GuiEvent::kMouseOut);
    const std::shared_ptr<EngineCore::Button> button = _button;
    button->HandleEvent(event);
}

}  // namespace GameCore
