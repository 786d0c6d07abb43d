#pragma once
#include <memory>
#include <string>

#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"

struct lua_State;

namespace GameCore {

class QuestItem;

// Script class "QuestItem": defines one quest item of the process-wide store. Each
// SetName starts a fresh item under that name; the object keeps the item it made
// even when a later SetName (on any object) replaces the store's entry.
class QuestItemWrapper {
public:
    static const char className[];
    static const GameLuaScriptImpl::LuaHelper<QuestItemWrapper>::RegType methods[];

    explicit QuestItemWrapper(lua_State* L);
    ~QuestItemWrapper();
    QuestItemWrapper(const QuestItemWrapper&) = delete;
    QuestItemWrapper& operator=(const QuestItemWrapper&) = delete;

    int SetName(lua_State* L);
    int GetName(lua_State* L);
    int IsForSpellBook(lua_State* L);
    int AddToSpellBook(lua_State* L);
    int SetInventoryImage(lua_State* L);
    int SetDescriptionImage(lua_State* L);
    int SetInventoryImageAlpha(lua_State* L);

private:
    // The item; throws the set-up message before SetName. Called before any argument is read.
    QuestItem& Item() const;

    std::string _name;
    std::shared_ptr<QuestItem> _item;
};

}  // namespace GameCore
