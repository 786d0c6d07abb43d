#pragma once
// Builds resource packs: named entries, stored scrambled or zlib compressed, with a
// plain or compressed name block. The pack command and the demo's data build write
// their packs with it; the tests make their fixtures with it.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/FileSystem/SystemTime.h"

namespace PackTool {

class PackWriter {
public:
    // Smallest: compressed when that saves bytes, scrambled otherwise (pictures and
    // sounds that are compressed already).
    enum class EntryMode { Compressed, Scrambled, Smallest };

    // Byte offsets of the header fields, for tests that corrupt a pack.
    static constexpr size_t kCountOffset = 12;
    static constexpr size_t kNameStoredOffset = 24;
    static constexpr size_t kNameFullOffset = 28;
    static constexpr size_t kHeaderSize = 32;
    static constexpr size_t kRecordSize = 40;

    // Name block compressed (default) or plain.
    void SetCompressedNames(bool compressed) { _compressedNames = compressed; }
    // How entries added from now on are stored (default Compressed). A compressed
    // entry whose zlib form is exactly as long as the data is stored scrambled,
    // since a reader could not tell the two apart; an empty entry is always stored
    // compressed, since a stored size of 0 marks an absent entry.
    void SetEntryMode(EntryMode mode) { _mode = mode; }
    // zlib level used for compressed data (default: zlib's default).
    void SetCompressionLevel(int level) { _level = level; }

    void AddEntry(const std::string& name, const std::vector<unsigned char>& bytes,
                  const EngineCore::SYSTEMTIME& date = DefaultDate());
    void AddEntry(const std::string& name, const std::string& bytes,
                  const EngineCore::SYSTEMTIME& date = DefaultDate());
    // An entry whose record says "absent" (stored size 0).
    void AddAbsentEntry(const std::string& name);

    // The whole pack file.
    std::vector<unsigned char> Build() const;
    bool Write(const std::string& path) const;

    static EngineCore::SYSTEMTIME DefaultDate();
    static EngineCore::SYSTEMTIME MakeDate(int year, int month, int day, int hour = 0, int minute = 0,
                                           int second = 0);

private:
    struct Entry {
        std::string name;
        std::vector<unsigned char> stored;
        uint32_t fullSize = 0;
        EngineCore::SYSTEMTIME date;
    };

    std::vector<unsigned char> Deflate(const unsigned char* data, size_t size) const;

    bool _compressedNames = true;
    EntryMode _mode = EntryMode::Compressed;
    int _level = -1;
    std::vector<Entry> _entries;
};

}  // namespace PackTool
