#pragma once
#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"

struct lua_State;

namespace GameCore {

// Script class "QuestItemStorage": looks quest items up by name in the process-wide
// store. No state.
class QuestItemStorageWrapper {
public:
    static const char className[];
    static const GameLuaScriptImpl::LuaHelper<QuestItemStorageWrapper>::RegType methods[];

    explicit QuestItemStorageWrapper(lua_State* L);

    int IsQuestItem(lua_State* L);
    int GetItemInventoryImage(lua_State* L);
    int GetItemInventoryImageAlpha(lua_State* L);
};

}  // namespace GameCore
