#include "game/Wrappers/CharacterSpellBookWrapper.h"

#include <lua.hpp>

#include "game/Logic/CharacterSpellBook.h"
#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

const char CharacterSpellBookWrapper::className[] = "CharacterSpellBook";

// The order of the rows is part of the script interface.
const GameLuaScriptImpl::LuaHelper<CharacterSpellBookWrapper>::RegType CharacterSpellBookWrapper::methods[] = {
    {"AddItem", &CharacterSpellBookWrapper::AddItem},
    {"RemoveItem", &CharacterSpellBookWrapper::RemoveItem},
    {"GetNumItems", &CharacterSpellBookWrapper::GetNumItems},
    {"GetItemName", &CharacterSpellBookWrapper::GetItemName},
    {nullptr, nullptr},
};

CharacterSpellBookWrapper::CharacterSpellBookWrapper(lua_State*) {}

int CharacterSpellBookWrapper::AddItem(lua_State* L)
{
    CharacterSpellBook::Instance().AddItem(CheckString(L, 1).c_str());
    return 0;
}

int CharacterSpellBookWrapper::RemoveItem(lua_State* L)
{
    CharacterSpellBook::Instance().RemoveItem(CheckString(L, 1).c_str());
    return 0;
}

int CharacterSpellBookWrapper::GetNumItems(lua_State* L)
{
    lua_pushnumber(L, CharacterSpellBook::Instance().GetNumItems());
    return 1;
}

int CharacterSpellBookWrapper::GetItemName(lua_State* L)
{
    const char* name = CharacterSpellBook::Instance().GetItemName(CheckInt32(L, 1));
    name ? lua_pushstring(L, name) : lua_pushnil(L);
    return 1;
}

}  // namespace GameCore
