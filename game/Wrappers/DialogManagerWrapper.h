#pragma once
#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"

struct lua_State;

namespace GameCore {

// Script class "DialogManager": the texts of the process-wide dialogs. The object
// must select a dialog (SetCurrentDialog) before it may add messages; once set, the
// flag stays. After Clear no dialog is current: every message method raises its
// error until the next SetCurrentDialog.
class DialogManagerWrapper {
public:
    static const char className[];
    static const GameLuaScriptImpl::LuaHelper<DialogManagerWrapper>::RegType methods[];

    explicit DialogManagerWrapper(lua_State* L);

    int Clear(lua_State* L);
    int SetCurrentDialog(lua_State* L);
    int SetDialogTaskMessage(lua_State* L);
    int SetNextDialogMessage(lua_State* L);
    int GetNextDialogMessage(lua_State* L);
    int GetDialogTaskMessage(lua_State* L);

private:
    bool _dialogSelected = false;
};

}  // namespace GameCore
