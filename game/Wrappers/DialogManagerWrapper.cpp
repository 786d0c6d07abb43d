#include "game/Wrappers/DialogManagerWrapper.h"

#include <string>

#include <lua.hpp>

#include "engine/System/EngineError.h"
#include "game/Logic/DialogManager.h"
#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

namespace {
const char* const kSource = "Wrappers\\DialogManagerWrapper.cpp";
}  // namespace

const char DialogManagerWrapper::className[] = "DialogManager";

// The order of the rows is part of the script interface.
const GameLuaScriptImpl::LuaHelper<DialogManagerWrapper>::RegType DialogManagerWrapper::methods[] = {
    {"Clear", &DialogManagerWrapper::Clear},
    {"SetCurrentDialog", &DialogManagerWrapper::SetCurrentDialog},
    {"SetDialogTaskMessage", &DialogManagerWrapper::SetDialogTaskMessage},
    {"SetNextDialogMessage", &DialogManagerWrapper::SetNextDialogMessage},
    {"GetNextDialogMessage", &DialogManagerWrapper::GetNextDialogMessage},
    {"GetDialogTaskMessage", &DialogManagerWrapper::GetDialogTaskMessage},
    {nullptr, nullptr},
};

DialogManagerWrapper::DialogManagerWrapper(lua_State*) {}

int DialogManagerWrapper::Clear(lua_State*)
{
    DialogManager::Instance().Clear();
    return 0;
}

int DialogManagerWrapper::SetCurrentDialog(lua_State* L)
{
    const unsigned char major = CheckLowByte(L, 1);
    const unsigned char minor = CheckLowByte(L, 2);
    _dialogSelected = true;
    DialogManager::Instance().SetCurrentDialog(major, minor);
    return 0;
}

int DialogManagerWrapper::SetDialogTaskMessage(lua_State* L)
{
    const std::string text = CheckString(L, 1);
    DialogManager& dialogs = DialogManager::Instance();
    if (!_dialogSelected || !dialogs.HasCurrentDialog())
        EngineCore::ThrowEngineErrorF(kSource, 63, "Task message (%s) can not be set before call SetCurrentDialog.",
                                      text.c_str());
    dialogs.SetDialogTaskMessage(text.c_str());
    return 0;
}

int DialogManagerWrapper::SetNextDialogMessage(lua_State* L)
{
    const std::string text = CheckString(L, 1);
    DialogManager& dialogs = DialogManager::Instance();
    if (!_dialogSelected || !dialogs.HasCurrentDialog())
        EngineCore::ThrowEngineErrorF(kSource, 75, "Dialog message (%s) can not be set before call SetCurrentDialog.",
                                      text.c_str());
    dialogs.SetNextDialogMessage(text.c_str());
    return 0;
}

int DialogManagerWrapper::GetNextDialogMessage(lua_State* L)
{
    std::string text;
    if (!DialogManager::Instance().GetNextDialogMessage(text))
        EngineCore::ThrowEngineError(kSource, 86, "GetNextDialogMessage error.");
    lua_pushstring(L, text.c_str());
    return 1;
}

int DialogManagerWrapper::GetDialogTaskMessage(lua_State* L)
{
    std::string text;
    if (!DialogManager::Instance().GetDialogTaskMessage(text))
        EngineCore::ThrowEngineError(kSource, 96, "GetDialogTaskMessage error.");
    lua_pushstring(L, text.c_str());
    return 1;
}

}  // namespace GameCore
