#pragma once
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "game/Logic/QuestItem.h"

namespace GameCore {

// The registry of quest items by exact name, one item per name. Items live until
// deleted or process exit; replacing a name leaves the old item to its holders.
class QuestItemStorage {
public:
    static QuestItemStorage& Instance();
    ~QuestItemStorage();
    QuestItemStorage(const QuestItemStorage&) = delete;
    QuestItemStorage& operator=(const QuestItemStorage&) = delete;

    // False for a null name. Otherwise a fresh item, named, replaces any stored
    // under the name. Declared const as callers see it; the map changes.
    bool CreateQuestItem(const char* name, std::shared_ptr<QuestItem>& out) const;
    bool DeleteQuestItem(const char* name);
    bool GetQuestItem(const char* name, std::shared_ptr<QuestItem>& out) const;

private:
    QuestItemStorage();
    mutable std::mutex _mutex;
    std::unique_ptr<std::map<std::string, std::shared_ptr<QuestItem>>> _items;
};

}  // namespace GameCore
