#include "game/Wrappers/CharacterInventoryWrapper.h"

#include <lua.hpp>

#include "engine/System/EngineError.h"
#include "game/Logic/CharacterInventory.h"
#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

namespace {
const char* const kSource = "Wrappers\\CharacterInventoryWrapper.cpp";
}

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

// The profile keeps the items as one comma-separated text: a name holding a comma
// would come back from the save as two items, so it is refused before anything changes.
int CharacterInventoryWrapper::AddItem(lua_State* L)
{
    const std::string name = CheckString(L, 1);
    if (name.find(',') != std::string::npos)
        EngineCore::ThrowEngineErrorF(kSource, 30, "Quest item (%s) cann't hold ',' in its name.", name.c_str());
    CharacterInventory::Instance().AddItem(name.c_str(), true);
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
