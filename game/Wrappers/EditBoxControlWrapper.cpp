#include "game/Wrappers/EditBoxControlWrapper.h"

#include <lua.hpp>

#include "engine/GUI/EditBox.h"
#include "engine/GUI/GUISystem.h"
#include "game/Wrappers/GuiActionText.h"
#include "game/Wrappers/GuiControlMethods.h"
#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

namespace {

const int kTextChanged = 1;

}  // namespace

const char EditBoxControlWrapper::className[] = "EditBoxControl";

// The order of the rows is part of the script interface.
const GameLuaScriptImpl::LuaHelper<EditBoxControlWrapper>::RegType EditBoxControlWrapper::methods[] = {
    {"Enable", &EditBoxControlWrapper::Enable},
    {"Disable", &EditBoxControlWrapper::Disable},
    {"SetVisible", &EditBoxControlWrapper::SetVisible},
    {"IsVisible", &EditBoxControlWrapper::IsVisible},
    {"RegisterAction", &EditBoxControlWrapper::RegisterAction},
    {"RegisterAllActions", &EditBoxControlWrapper::RegisterAllActions},
    {"UnregisterAction", &EditBoxControlWrapper::UnregisterAction},
    {"UnregisterAllActions", &EditBoxControlWrapper::UnregisterAllActions},
    {"GetLastKeyCharValue", &EditBoxControlWrapper::GetLastKeyCharValue},
    {nullptr, nullptr},
};

EditBoxControlWrapper::EditBoxControlWrapper(lua_State*) : _box(std::make_shared<EngineCore::EditBox>())
{
    EngineCore::GUISystem::Instance().RegisterControl(_box);
}

EditBoxControlWrapper::~EditBoxControlWrapper()
{
    for (int action = 0; action < 3; ++action)
        _box->SetAction(action, nullptr, nullptr);
    EngineCore::GUISystem::Instance().UnregisterControl(_box);
}

int EditBoxControlWrapper::Enable(lua_State*)
{
    _box->SetState(EngineCore::EditBox::kActive);
    return 0;
}

int EditBoxControlWrapper::Disable(lua_State*)
{
    _box->SetState(EngineCore::EditBox::kInactive);
    return 0;
}

int EditBoxControlWrapper::SetVisible(lua_State* L)
{
    return SetControlVisible(L, *_box);
}

int EditBoxControlWrapper::IsVisible(lua_State* L)
{
    return PushControlVisible(L, *_box);
}

int EditBoxControlWrapper::RegisterAction(lua_State* L)
{
    const int32_t action = CheckInt32(L, 1);
    const std::string text = CheckString(L, 2);
    if (action != kTextChanged)
        return 0;
    _onTextChanged = text;
    _box->SetAction(kTextChanged, [this](void* data) { OnTextChanged(data); }, nullptr);
    return 0;
}

// The first two texts are read as strings and not used.
int EditBoxControlWrapper::RegisterAllActions(lua_State* L)
{
    CheckString(L, 1);
    CheckString(L, 2);
    const std::string text = CheckString(L, 3);
    if (text.empty())
        return 0;
    _onTextChanged = text;
    _box->SetAction(kTextChanged, [this](void* data) { OnTextChanged(data); }, nullptr);
    return 0;
}

int EditBoxControlWrapper::UnregisterAction(lua_State* L)
{
    _box->SetAction(CheckInt32(L, 1), nullptr, nullptr);
    return 0;
}

int EditBoxControlWrapper::UnregisterAllActions(lua_State*)
{
    _box->SetAction(kTextChanged, nullptr, nullptr);
    return 0;
}

int EditBoxControlWrapper::GetLastKeyCharValue(lua_State* L)
{
    lua_pushnumber(L, _box->PopLastKeyChar());
    return 1;
}

void EditBoxControlWrapper::OnTextChanged(void*)
{
    RunGuiAction(_owner, _onTextChanged);
}

}  // namespace GameCore
