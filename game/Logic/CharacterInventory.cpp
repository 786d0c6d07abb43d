#include "game/Logic/CharacterInventory.h"

#include <algorithm>

#include "game/Logic/NameList.h"
#include "game/Logic/Profile.h"
#include "game/Logic/ProfileSystem.h"

namespace GameCore {

using Lock = std::lock_guard<std::recursive_mutex>;

CharacterInventory& CharacterInventory::Instance()
{
    static CharacterInventory instance;
    return instance;
}

CharacterInventory::CharacterInventory() : _items(new std::vector<std::string>) {}
CharacterInventory::~CharacterInventory() = default;

void CharacterInventory::AddItem(const char* name, bool)
{
    if (!name)
        return;
    Lock lock(_mutex);
    if (GetItemIndex(name) != -1)
        return;
    _items->push_back(name);
    std::shared_ptr<Profile> profile;
    ProfileSystem& profiles = ProfileSystem::Instance();
    if (profiles.GetSelectedProfile(profile)) {
        const std::unique_lock<std::recursive_mutex> hold = profiles.Hold();
        profile->AddQuestItem(name);
    }
}

void CharacterInventory::RemoveItem(const char* name, bool)
{
    if (!name)
        return;
    Lock lock(_mutex);
    const int index = GetItemIndex(name);
    if (index == -1)
        return;
    _items->erase(_items->begin() + index);
    std::shared_ptr<Profile> profile;
    ProfileSystem& profiles = ProfileSystem::Instance();
    if (profiles.GetSelectedProfile(profile)) {
        const std::unique_lock<std::recursive_mutex> hold = profiles.Hold();
        profile->RemoveQuestItem(name);
    }
}

void CharacterInventory::AddItemFromSave()
{
    std::shared_ptr<Profile> profile;
    ProfileSystem& profiles = ProfileSystem::Instance();
    if (!profiles.GetSelectedProfile(profile))
        return;
    std::vector<std::string> saved;
    {
        const std::unique_lock<std::recursive_mutex> hold = profiles.Hold();
        saved = profile->questItems;
    }
    for (const std::string& name : saved)
        AddItem(name.c_str(), false);
}

int CharacterInventory::GetItemIndex(const char* name) const
{
    if (!name)
        return -1;
    Lock lock(_mutex);
    return IndexOfName(*_items, name);
}

bool CharacterInventory::IsExistItem(const char* name) const { return GetItemIndex(name) != -1; }

int CharacterInventory::GetNumItems() const
{
    Lock lock(_mutex);
    return static_cast<int>(_items->size());
}

const char* CharacterInventory::GetItemName(int index) const
{
    Lock lock(_mutex);
    return NameAt(*_items, index);
}

}  // namespace GameCore
