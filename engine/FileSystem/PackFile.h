#pragma once
#include <memory>
#include <string>

#include "engine/FileSystem/CachedFile.h"
#include "engine/FileSystem/FileInfo.h"
#include "engine/FileSystem/SystemTime.h"

namespace EngineCore {

// One read-only resource pack, memory-mapped for its lifetime.
//
// Layout (unsigned 32-bit little-endian; offsets from the start of the file):
//   0  magic "wR.resources" (12 bytes)     12 entry count N (> 0)
//   16 reserved   20 reserved              24 name block stored size S   28 full size F
//   32 name block: N NUL-terminated names; zlib data when S != F
//   32 + S: N records of 40 bytes: stored size (0 = absent), data offset, reserved,
//      full size, year, month, day, hour, minute, second
// Entry data is zlib data when stored != full size, else every byte XOR 0xC3.
//
// Every size and offset is checked against the file size before anything is
// allocated or read, so a hostile pack is refused rather than trusted; so are names
// that would cost far more to index than the pack's own size. Entry
// reads touch no shared state and may run on several threads at once.
class PackFile {
public:
    PackFile();
    ~PackFile();
    PackFile(const PackFile&) = delete;
    PackFile& operator=(const PackFile&) = delete;

    // False, keeping the pack as it was, when the file cannot be mapped or is refused.
    bool Create(const std::string& path);
    // Why the last Create failed, in words for the log ("" after a success).
    const std::string& GetRefusal() const;

    int GetNumFiles() const;
    bool GetFileName(int index, std::string& name) const;
    // Fills year to second; false for an index out of range or an absent entry.
    bool GetFileDateTime(int index, SYSTEMTIME& date) const;
    // First entry of that exact name, or -1.
    int GetFileIndex(const std::string& name) const;
    bool GetFile(int index, const FileInfo& info, std::shared_ptr<CachedFile>& file) const;
    bool GetFile(const FileInfo& info, std::shared_ptr<CachedFile>& file) const;
    // Why GetFile of that index fails, in words for the log; only meaningful after a
    // failure. The record checks are GetFile's own; past them, the memory or the inflation.
    std::string GetReadFault(int index) const;

    static constexpr unsigned char kScrambleKey = 0xC3;

private:
    struct Impl;
    std::unique_ptr<Impl> _impl;
    std::string _refusal;
};

}  // namespace EngineCore
