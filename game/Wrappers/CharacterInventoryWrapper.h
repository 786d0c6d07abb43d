#pragma once
#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"

struct lua_State;

namespace GameCore {

// Script class "CharacterInventory": the player character's inventory: item names mirrored into the selected profile, saved with the next save of the profiles. No state.
class CharacterInventoryWrapper {
public:
    static const char className[];
    static const GameLuaScriptImpl::LuaHelper<CharacterInventoryWrapper>::RegType methods[];

    explicit CharacterInventoryWrapper(lua_State* L);

    int AddItem(lua_State* L);
    int AddItemFromSave(lua_State* L);
    int RemoveItem(lua_State* L);
    int GetNumItems(lua_State* L);
    // nil for an index out of range.
    int GetItemName(lua_State* L);
};

}  // namespace GameCore
