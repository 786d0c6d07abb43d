#pragma once
// Slots addressed by 32-bit handles: kind (bits 29-31), generation (bits 12-28) and slot
// index (bits 0-11). A slot's generation changes when it is freed, so an old handle to it,
// or a handle of another table, no longer finds anything. Handles are never 0.
#include <cstdint>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

namespace hgeplatform {

template <class T>
class HandleTable {
public:
    static constexpr uint32_t kMaxSlots = 1u << 12;

    explicit HandleTable(uint32_t kind) : kind_(kind & 7u) {}

    // 0 when every slot is taken.
    uint32_t Add(T value)
    {
        uint32_t index;
        if (!free_.empty()) {
            index = free_.front();
            free_.pop_front();
        } else if (slots_.size() < kMaxSlots) {
            index = static_cast<uint32_t>(slots_.size());
            slots_.emplace_back();
        } else {
            return 0;
        }
        slots_[index].value.emplace(std::move(value));
        return MakeHandle(index);
    }

    T* Get(uint32_t handle)
    {
        const uint32_t index = handle & kIndexMask;
        if ((handle >> 29) != kind_ || index >= slots_.size())
            return nullptr;
        Slot& slot = slots_[index];
        if (!slot.value || ((handle >> 12) & kGenerationMask) != slot.generation)
            return nullptr;
        return &*slot.value;
    }

    bool Remove(uint32_t handle)
    {
        if (!Get(handle))
            return false;
        const uint32_t index = handle & kIndexMask;
        Slot& slot = slots_[index];
        slot.value.reset();
        slot.generation = (slot.generation + 1) & kGenerationMask;
        // Freed slots are reused oldest first, which keeps generations apart for longest.
        free_.push_back(index);
        return true;
    }

    // Live handles, taken before the caller changes the table.
    std::vector<uint32_t> Handles() const
    {
        std::vector<uint32_t> out;
        for (uint32_t i = 0; i < slots_.size(); ++i)
            if (slots_[i].value)
                out.push_back(MakeHandle(i));
        return out;
    }

    void Clear()
    {
        for (uint32_t handle : Handles())
            Remove(handle);
    }

private:
    static constexpr uint32_t kIndexMask = (1u << 12) - 1;
    static constexpr uint32_t kGenerationMask = (1u << 17) - 1;

    struct Slot {
        uint32_t generation = 0;
        std::optional<T> value;
    };

    uint32_t MakeHandle(uint32_t index) const
    {
        return (kind_ << 29) | (slots_[index].generation << 12) | index;
    }

    uint32_t kind_;
    std::vector<Slot> slots_;
    std::deque<uint32_t> free_;
};

}  // namespace hgeplatform
