#pragma once
// Records addressed by 32-bit handles that carry a generation: a freed slot's old handles
// no longer resolve, so stale handles are harmless. Handle layout: the kind bit (31), the
// generation (bits 16-30, never 0) and slot + 1 (bits 0-15). Not locked: its owner locks.
#include <cstdint>
#include <vector>

namespace hgeplatform {

template <typename Record>
class SlotTable {
public:
    explicit SlotTable(uint32_t kindBit) : kindBit_(kindBit) {}

    uint32_t Add(Record record) {
        uint32_t slot;
        if (!free_.empty()) {
            slot = free_.back();
            free_.pop_back();
        } else {
            if (entries_.size() >= kMaxSlots) return 0;
            slot = uint32_t(entries_.size());
            entries_.emplace_back();
        }
        Entry& e = entries_[slot];
        e.generation = e.generation % kMaxGeneration + 1;
        e.used = true;
        e.record = std::move(record);
        return kindBit_ | (e.generation << 16) | (slot + 1);
    }

    Record* Find(uint32_t handle) {
        if ((handle & 0x80000000u) != kindBit_) return nullptr;
        const uint32_t slot = (handle & 0xFFFFu);
        if (slot == 0 || slot > entries_.size()) return nullptr;
        Entry& e = entries_[slot - 1];
        if (!e.used || e.generation != ((handle >> 16) & kMaxGeneration)) return nullptr;
        return &e.record;
    }

    bool Remove(uint32_t handle) {
        if (!Find(handle)) return false;
        const uint32_t slot = (handle & 0xFFFFu) - 1;
        entries_[slot].used = false;
        entries_[slot].record = Record();
        free_.push_back(slot);
        return true;
    }

    template <typename Fn>
    void ForEach(Fn fn) {
        for (Entry& e : entries_)
            if (e.used) fn(e.record);
    }

    // Frees every record. Generations stay, so handles from before stay stale.
    void Clear() {
        free_.clear();
        for (uint32_t slot = uint32_t(entries_.size()); slot-- > 0;) {
            entries_[slot].used = false;
            entries_[slot].record = Record();
            free_.push_back(slot);
        }
    }

private:
    static constexpr uint32_t kMaxSlots = 0xFFFF;
    static constexpr uint32_t kMaxGeneration = 0x7FFF;
    struct Entry {
        uint32_t generation = 0;
        bool used = false;
        Record record;
    };
    uint32_t kindBit_;
    std::vector<Entry> entries_;
    std::vector<uint32_t> free_;
};

}  // namespace hgeplatform
