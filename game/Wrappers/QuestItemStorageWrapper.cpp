#include "game/Wrappers/QuestItemStorageWrapper.h"

#include <memory>
#include <string>

#include <lua.hpp>

#include "engine/System/EngineError.h"
#include "game/Logic/QuestItem.h"
#include "game/Logic/QuestItemStorage.h"
#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

namespace {

const char* const kSource = "Wrappers\\QuestItemStorageWrapper.cpp";

std::shared_ptr<QuestItem> StoredItem(const std::string& name, int line)
{
    std::shared_ptr<QuestItem> item;
    if (!QuestItemStorage::Instance().GetQuestItem(name.c_str(), item))
        EngineCore::ThrowEngineErrorF(kSource, line, "Quest item (%s) not found.", name.c_str());
    return item;
}

}  // namespace

const char QuestItemStorageWrapper::className[] = "QuestItemStorage";

// The order of the rows is part of the script interface.
const GameLuaScriptImpl::LuaHelper<QuestItemStorageWrapper>::RegType QuestItemStorageWrapper::methods[] = {
    {"IsQuestItem", &QuestItemStorageWrapper::IsQuestItem},
    {"GetItemInventoryImage", &QuestItemStorageWrapper::GetItemInventoryImage},
    {"GetItemInventoryImageAlpha", &QuestItemStorageWrapper::GetItemInventoryImageAlpha},
    {nullptr, nullptr},
};

QuestItemStorageWrapper::QuestItemStorageWrapper(lua_State*) {}

int QuestItemStorageWrapper::IsQuestItem(lua_State* L)
{
    const std::string name = CheckString(L, 1);
    std::shared_ptr<QuestItem> item;
    PushTruth(L, QuestItemStorage::Instance().GetQuestItem(name.c_str(), item));
    return 1;
}

int QuestItemStorageWrapper::GetItemInventoryImage(lua_State* L)
{
    lua_pushstring(L, StoredItem(CheckString(L, 1), 56)->GetInventoryImage());
    return 1;
}

int QuestItemStorageWrapper::GetItemInventoryImageAlpha(lua_State* L)
{
    lua_pushstring(L, StoredItem(CheckString(L, 1), 62)->GetInventoryImageAlpha());
    return 1;
}

}  // namespace GameCore
