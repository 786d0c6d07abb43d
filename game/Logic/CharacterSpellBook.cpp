#include "game/Logic/CharacterSpellBook.h"

#include <algorithm>

#include "engine/System/EngineError.h"
#include "game/Logic/NameList.h"

namespace GameCore {

namespace {
const char* const kSource = "Logic\\CharacterSpellBook";
}

using Lock = std::lock_guard<std::mutex>;

CharacterSpellBook& CharacterSpellBook::Instance()
{
    static CharacterSpellBook instance;
    return instance;
}

CharacterSpellBook::CharacterSpellBook() : _items(new std::vector<std::string>) {}
CharacterSpellBook::~CharacterSpellBook() = default;

void CharacterSpellBook::AddItem(const char* name)
{
    if (!name)
        return;
    {
        Lock lock(_mutex);
        if (std::find(_items->begin(), _items->end(), name) == _items->end()) {
            _items->push_back(name);
            return;
        }
    }
    EngineCore::ThrowEngineErrorF(kSource, 46, "Item (%s) already added into spellbook.", name);
}

void CharacterSpellBook::RemoveItem(const char* name)
{
    if (!name)
        return;
    Lock lock(_mutex);
    const auto found = std::find(_items->begin(), _items->end(), name);
    if (found != _items->end())
        _items->erase(found);
}

int CharacterSpellBook::GetItemIndex(const char* name) const
{
    if (!name)
        return -1;
    Lock lock(_mutex);
    return IndexOfName(*_items, name);
}

bool CharacterSpellBook::IsExistItem(const char* name) const { return GetItemIndex(name) != -1; }

int CharacterSpellBook::GetNumItems() const
{
    Lock lock(_mutex);
    return static_cast<int>(_items->size());
}

const char* CharacterSpellBook::GetItemName(int index) const
{
    Lock lock(_mutex);
    return NameAt(*_items, index);
}

}  // namespace GameCore
