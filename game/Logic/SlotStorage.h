#pragma once
#include <vector>

namespace GameCore {

// Numbered slots of plain pointers with an occupancy bit each. The storage owns
// nothing: each element frees its own slot when it is destroyed. A new element
// takes the lowest free slot; filing past the end grows the capacity to the
// smallest power of two above the index (at least 2).
template <class T>
class SlotStorage {
public:
    SlotStorage() : _slots(1, nullptr), _used(1, false) {}

    int GetCapacity() const { return static_cast<int>(_slots.size()); }

    int GetFirstFreeSlot() const
    {
        for (int i = 0; i < GetCapacity(); ++i)
            if (!_used[i])
                return i;
        return GetCapacity();
    }

    void File(int index, T* element)
    {
        if (index >= GetCapacity()) {
            size_t capacity = 2;
            while (capacity <= static_cast<size_t>(index))
                capacity *= 2;
            _slots.resize(capacity, nullptr);
            _used.resize(capacity, false);
        }
        _slots[index] = element;
        _used[index] = true;
    }

    bool Remove(int index)
    {
        if (index < 0 || index >= GetCapacity() || !_used[index])
            return false;
        _slots[index] = nullptr;
        _used[index] = false;
        return true;
    }

    // The element in a slot in use, or null for a free slot or an index out of range.
    T* At(int index) const
    {
        if (index < 0 || index >= GetCapacity() || !_used[index])
            return nullptr;
        return _slots[index];
    }

    void Clear()
    {
        _slots.clear();
        _used.clear();
    }

private:
    std::vector<T*> _slots;
    std::vector<bool> _used;
};

}  // namespace GameCore
