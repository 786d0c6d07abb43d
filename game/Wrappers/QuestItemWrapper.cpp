#include "game/Wrappers/QuestItemWrapper.h"

#include <lua.hpp>

#include "engine/System/EngineError.h"
#include "game/Logic/QuestItem.h"
#include "game/Logic/QuestItemStorage.h"
#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

namespace {
const char* const kSource = "Wrappers\\QuestItemWrapper.cpp";
}  // namespace

const char QuestItemWrapper::className[] = "QuestItem";

// The order of the rows is part of the script interface.
const GameLuaScriptImpl::LuaHelper<QuestItemWrapper>::RegType QuestItemWrapper::methods[] = {
    {"SetName", &QuestItemWrapper::SetName},
    {"GetName", &QuestItemWrapper::GetName},
    {"IsForSpellBook", &QuestItemWrapper::IsForSpellBook},
    {"AddToSpellBook", &QuestItemWrapper::AddToSpellBook},
    {"SetInventoryImage", &QuestItemWrapper::SetInventoryImage},
    {"SetDescriptionImage", &QuestItemWrapper::SetDescriptionImage},
    {"SetInventoryImageAlpha", &QuestItemWrapper::SetInventoryImageAlpha},
    {nullptr, nullptr},
};

QuestItemWrapper::QuestItemWrapper(lua_State*) {}
QuestItemWrapper::~QuestItemWrapper() = default;

QuestItem& QuestItemWrapper::Item() const
{
    if (!_item)
        EngineCore::ThrowEngineError(kSource, 44, "Quest item not initialized. First call - SetName().");
    return *_item;
}

int QuestItemWrapper::SetName(lua_State* L)
{
    _name = CheckString(L, 1);
    QuestItemStorage::Instance().CreateQuestItem(_name.c_str(), _item);
    return 0;
}

int QuestItemWrapper::GetName(lua_State* L)
{
    lua_pushstring(L, _name.c_str());
    return 1;
}

int QuestItemWrapper::IsForSpellBook(lua_State* L)
{
    PushTruth(L, Item().IsForSpellBook());
    return 1;
}

int QuestItemWrapper::AddToSpellBook(lua_State*)
{
    Item().SetForSpellBook();
    return 0;
}

int QuestItemWrapper::SetInventoryImage(lua_State* L)
{
    QuestItem& item = Item();
    item.SetInventoryImage(CheckString(L, 1).c_str());
    return 0;
}

int QuestItemWrapper::SetDescriptionImage(lua_State* L)
{
    QuestItem& item = Item();
    item.SetDescriptionImage(CheckString(L, 1).c_str());
    return 0;
}

int QuestItemWrapper::SetInventoryImageAlpha(lua_State* L)
{
    QuestItem& item = Item();
    item.SetInventoryImageAlpha(CheckString(L, 1).c_str());
    return 0;
}

}  // namespace GameCore
