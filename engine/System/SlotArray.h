#pragma once
// Numbered slots with one presence bit each; a slot's index is the id of what it holds.
// A new array has one empty slot, a cleared one none. Storing past the end grows the
// slot count to the smallest power of two (at least 2) above the index, so ids stay
// small and dense while slots are reused lowest-first.

#include <cstddef>
#include <vector>

namespace EngineCore {

template <typename T>
class SlotArray {
public:
    SlotArray() : _elements(1), _present(1, false), _count(1) {}

    int GetCount() const { return _count; }

    bool IsValid(int id) const { return id >= 0 && id < _count && _present[static_cast<size_t>(id)]; }

    // The lowest empty slot, or the slot count when every slot is taken.
    int GetFreeId() const
    {
        int id = _firstFree;
        while (id < _count && _present[static_cast<size_t>(id)])
            ++id;
        _firstFree = id;
        return id;
    }

    // Stores at `id`, growing first when needed; false for an id no slot count can reach.
    bool Set(int id, const T& value)
    {
        if (id < 0 || id > kMaxIndex)
            return false;
        if (id >= _count)
            Grow(id);
        _elements[static_cast<size_t>(id)] = value;
        _present[static_cast<size_t>(id)] = true;
        return true;
    }

    // Stores in the lowest empty slot and returns its id.
    int Add(const T& value)
    {
        const int id = GetFreeId();
        return Set(id, value) ? id : -1;
    }

    // Empties the slot; the slot count stays.
    bool Remove(int id)
    {
        if (!IsValid(id))
            return false;
        _elements[static_cast<size_t>(id)] = T();
        _present[static_cast<size_t>(id)] = false;
        if (id < _firstFree)
            _firstFree = id;
        return true;
    }

    bool Get(int id, T& out) const
    {
        if (!IsValid(id))
            return false;
        out = _elements[static_cast<size_t>(id)];
        return true;
    }

    // The element of a slot the caller knows to be valid.
    const T& At(int id) const { return _elements[static_cast<size_t>(id)]; }

    void Clear()
    {
        _elements.clear();
        _present.clear();
        _count = 0;
        _firstFree = 0;
    }

private:
    // The largest index whose power-of-two slot count still fits an int.
    static constexpr int kMaxIndex = (1 << 30) - 1;

    void Grow(int id)
    {
        int count = 2;
        while (count <= id)
            count *= 2;
        _elements.resize(static_cast<size_t>(count));
        _present.resize(static_cast<size_t>(count), false);
        _count = count;
    }

    std::vector<T> _elements;
    std::vector<bool> _present;
    int _count;
    // Every slot below it is taken: where the search for a free slot starts.
    mutable int _firstFree = 0;
};

}  // namespace EngineCore
