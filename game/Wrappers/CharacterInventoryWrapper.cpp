#include "game/Wrappers/CharacterInventoryWrapper.h"

#include <lua.hpp>

#include "game/Logic/CharacterInventory.h"
#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

const char CharacterInventoryWrapper::className[] = "CharacterInventory";

// The order of the rows is part of the script interface.
const GameLuaScriptImpl::LuaHelper<CharacterInventoryWrapper>::RegType CharacterInventoryWrapper::methods[] = {
    {"AddItem", &CharacterInventoryWrapper::AddItem},
    {"AddItemFromSave", &CharacterInventoryWrapper::AddItemFromSave},
    {"RemoveItem", &CharacterInventoryWrapper::RemoveItem},
    {"GetNumItems", &CharacterInventoryWrapper::GetNumItems},
    {"GetItemName", &CharacterInventoryWrapper::GetItemName},
    {nullptr, nullptr},
};

CharacterInventoryWrapper::CharacterInventoryWrapper(lua_State*) {}

int CharacterInventoryWrapper::AddItem(lua_State* L)
{
    CharacterInventory::Instance().AddItem(CheckString(L, 1).c_str(), true);
    return 0;
}

int CharacterInventoryWrapper::AddItemFromSave(lua_State*)
{
    CharacterInventory::Instance().AddItemFromSave();
    return 0;
}

int CharacterInventoryWrapper::RemoveItem(lua_State* L)
{
    CharacterInventory::Instance().RemoveItem(CheckString(L, 1).c_str(), true);
    return 0;
}

int CharacterInventoryWrapper::GetNumItems(lua_State* L)
{
    lua_pushnumber(L, CharacterInventory::Instance().GetNumItems());
    return 1;
}

int CharacterInventoryWrapper::GetItemName(lua_State* L)
{
    const char* name = CharacterInventory::Instance().GetItemName(CheckInt32(L, 1));
    name ? lua_pushstring(L, name) : lua_pushnil(L);
    return 1;
}

}  // namespace GameCore
