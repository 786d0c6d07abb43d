#pragma once
#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"

struct lua_State;

namespace GameCore {

// Script class "CharacterSpellBook": the spell book: item names kept in memory only. No state.
class CharacterSpellBookWrapper {
public:
    static const char className[];
    static const GameLuaScriptImpl::LuaHelper<CharacterSpellBookWrapper>::RegType methods[];

    explicit CharacterSpellBookWrapper(lua_State* L);

    int AddItem(lua_State* L);
    int RemoveItem(lua_State* L);
    int GetNumItems(lua_State* L);
    // nil for an index out of range.
    int GetItemName(lua_State* L);
};

}  // namespace GameCore
