#pragma once
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace GameCore {

// The item names of the spell book, in the order added; kept in memory only.
class CharacterSpellBook {
public:
    static CharacterSpellBook& Instance();
    ~CharacterSpellBook();
    CharacterSpellBook(const CharacterSpellBook&) = delete;
    CharacterSpellBook& operator=(const CharacterSpellBook&) = delete;

    // Throws "Item (%s) already added into spellbook." for a name it holds.
    void AddItem(const char* name);
    void RemoveItem(const char* name);
    int GetItemIndex(const char* name) const;
    bool IsExistItem(const char* name) const;
    int GetNumItems() const;
    // Null for an index out of range. Points into the list: valid until it changes.
    const char* GetItemName(int index) const;

private:
    CharacterSpellBook();
    mutable std::mutex _mutex;
    std::unique_ptr<std::vector<std::string>> _items;
};

}  // namespace GameCore
