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

EditBoxControlWrapper::EditBoxControlWrapper(lua_State*)
    : _actions({kTextChanged}, [this](int action) { RunGuiAction(_owner, _actions.Text(action)); }),
      _box(std::make_shared<EngineCore::EditBox>())
{
    EngineCore::GUISystem::Instance().RegisterControl(_box);
}

EditBoxControlWrapper::~EditBoxControlWrapper()
{
    _actions.UnbindAll(*_box);
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
    return _actions.Register(L, *_box);
}

// The first two texts are read as strings and not used.
int EditBoxControlWrapper::RegisterAllActions(lua_State* L)
{
    return _actions.RegisterAll(L, *_box, {GuiActionTexts::kUnused, GuiActionTexts::kUnused, kTextChanged});
}

int EditBoxControlWrapper::UnregisterAction(lua_State* L)
{
    return _actions.Unregister(L, *_box);
}

int EditBoxControlWrapper::UnregisterAllActions(lua_State* L)
{
    return _actions.UnregisterAll(L, *_box);
}

int EditBoxControlWrapper::GetLastKeyCharValue(lua_State* L)
{
    lua_pushnumber(L, _box->PopLastKeyChar());
    return 1;
}

}  // namespace GameCore
