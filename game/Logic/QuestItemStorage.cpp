#include "game/Logic/QuestItemStorage.h"

namespace GameCore {

using Lock = std::lock_guard<std::mutex>;

QuestItemStorage& QuestItemStorage::Instance()
{
    static QuestItemStorage instance;
    return instance;
}

QuestItemStorage::QuestItemStorage() : _items(new std::map<std::string, std::shared_ptr<QuestItem>>) {}
QuestItemStorage::~QuestItemStorage() = default;

bool QuestItemStorage::CreateQuestItem(const char* name, std::shared_ptr<QuestItem>& out) const
{
    if (!name)
        return false;
    std::shared_ptr<QuestItem> created(new QuestItem);
    created->SetName(name);
    std::shared_ptr<QuestItem> replaced;
    {
        Lock lock(_mutex);
        std::shared_ptr<QuestItem>& slot = (*_items)[name];
        replaced.swap(slot);
        slot = created;
    }
    out = created;
    return true;
}

bool QuestItemStorage::DeleteQuestItem(const char* name)
{
    if (!name)
        return false;
    std::shared_ptr<QuestItem> dropped;
    Lock lock(_mutex);
    const auto found = _items->find(name);
    if (found == _items->end())
        return false;
    dropped.swap(found->second);
    _items->erase(found);
    return true;
}

bool QuestItemStorage::GetQuestItem(const char* name, std::shared_ptr<QuestItem>& out) const
{
    if (!name)
        return false;
    Lock lock(_mutex);
    const auto found = _items->find(name);
    if (found == _items->end())
        return false;
    out = found->second;
    return true;
}

}  // namespace GameCore
