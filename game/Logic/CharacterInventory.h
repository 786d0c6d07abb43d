#pragma once
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace GameCore {

// The item names the player carries, in the order added, never a name twice. Each
// change is mirrored into the selected profile's quest items, which the next save
// of the profiles writes. Nothing empties it: selecting another profile keeps it.
class CharacterInventory {
public:
    static CharacterInventory& Instance();
    ~CharacterInventory();
    CharacterInventory(const CharacterInventory&) = delete;
    CharacterInventory& operator=(const CharacterInventory&) = delete;

    // The flag has no effect. With no selected profile the mirror step is skipped.
    void AddItem(const char* name, bool);
    void RemoveItem(const char* name, bool);
    // AddItem for each quest item of the selected profile, in its order.
    void AddItemFromSave();
    int GetItemIndex(const char* name) const;
    bool IsExistItem(const char* name) const;
    int GetNumItems() const;
    // Null for an index out of range. Points into the list: valid until it changes.
    const char* GetItemName(int index) const;

private:
    CharacterInventory();
    mutable std::recursive_mutex _mutex;
    std::unique_ptr<std::vector<std::string>> _items;
};

}  // namespace GameCore
