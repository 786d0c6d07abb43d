#include "engine/FileSystem/PackFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <vector>

#include "engine/FileSystem/DeflatePacker.h"
#include "engine/FileSystem/DiskPath.h"

namespace EngineCore {

namespace {

constexpr char kMagic[12] = {'w', 'R', '.', 'r', 'e', 's', 'o', 'u', 'r', 'c', 'e', 's'};
constexpr uint64_t kHeaderSize = 32;
constexpr uint64_t kRecordSize = 40;
// The file system keeps each name under every folder above it, so indexing a name costs
// about (folders + 1) × length bytes: quadratic in the name. A few bytes of compressed
// name block can spell a name of a million "/", so a pack whose names would cost far more
// to index than the pack's own size is refused. Real packs stay orders of magnitude below.
constexpr uint64_t kIndexCostPerPackByte = 64;
constexpr uint64_t kIndexCostSlack = uint64_t(16) << 20;

uint32_t ReadU32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

struct ResourceLump {
    uint32_t storedSize = 0;
    uint32_t offset = 0;
    uint32_t reserved = 0;
    uint32_t fullSize = 0;
    uint32_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

enum class EntryFault { kNone, kNoEntry, kPastEnd, kTooLarge };

}  // namespace

struct PackFile::Impl {
    const unsigned char* view = nullptr;
    uint64_t size = 0;
    std::vector<std::string> names;
    std::vector<ResourceLump> records;

    ~Impl()
    {
        if (view)
            munmap(const_cast<unsigned char*>(view), static_cast<size_t>(size));
    }

    // Each returns null on success, else why the pack is refused (for the log).
    const char* Map(const std::string& path);
    const char* Parse();
    // What keeps an entry's bytes from being read, from its record alone.
    EntryFault CheckEntry(const ResourceLump* r) const
    {
        if (!r || r->storedSize == 0)
            return EntryFault::kNoEntry;
        if (static_cast<uint64_t>(r->offset) + r->storedSize > size)
            return EntryFault::kPastEnd;
        if (r->fullSize > INT_MAX)
            return EntryFault::kTooLarge;
        return EntryFault::kNone;
    }
    const ResourceLump* Record(int index) const
    {
        if (static_cast<unsigned>(index) >= records.size())
            return nullptr;
        return &records[static_cast<size_t>(index)];
    }
};

const char* PackFile::Impl::Map(const std::string& path)
{
    const int handle = open(ResolveDiskPath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (handle < 0)
        return "it cannot be opened";
    struct stat st {};
    if (fstat(handle, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0) {
        close(handle);
        return "it is empty or not a regular file";
    }
    void* mapped = mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, handle, 0);
    // The mapping stays valid after the descriptor is closed.
    close(handle);
    if (mapped == MAP_FAILED)
        return "it cannot be mapped into memory";
    view = static_cast<const unsigned char*>(mapped);
    size = static_cast<uint64_t>(st.st_size);
    return nullptr;
}

const char* PackFile::Impl::Parse()
{
    if (size < kHeaderSize)
        return "it is shorter than its 32-byte header";
    if (std::memcmp(view, kMagic, sizeof kMagic) != 0)
        return "it does not start with \"wR.resources\"";
    const uint32_t entryCount = ReadU32(view + 12);
    const uint32_t storedNames = ReadU32(view + 24);
    const uint32_t fullNames = ReadU32(view + 28);
    if (entryCount == 0)
        return "its entry count is 0";
    // The name block and every record must lie inside the file before anything is allocated.
    const uint64_t recordsAt = kHeaderSize + storedNames;
    if (recordsAt > size || static_cast<uint64_t>(entryCount) * kRecordSize > size - recordsAt)
        return "it is cut short: its name block or entry records run past its end";

    const unsigned char* block = view + kHeaderSize;
    std::unique_ptr<unsigned char[]> inflated;
    uint64_t blockSize = storedNames;
    if (storedNames != fullNames) {
        inflated.reset(DeflatePacker::Decompress(block, storedNames, fullNames));
        if (!inflated)
            return "its compressed name block is damaged";
        block = inflated.get();
        blockSize = fullNames;
    }

    names.reserve(entryCount);
    const uint64_t indexBudget = kIndexCostSlack + kIndexCostPerPackByte * size;
    uint64_t indexCost = 0;
    uint64_t at = 0;
    for (uint32_t i = 0; i < entryCount; ++i) {
        if (at >= blockSize)
            return "its name block holds fewer names than entries";
        const unsigned char* name = block + at;
        const void* nul = std::memchr(name, 0, static_cast<size_t>(blockSize - at));
        if (!nul)
            return "its name block holds fewer names than entries";
        const size_t length = static_cast<size_t>(static_cast<const unsigned char*>(nul) - name);
        const uint64_t folders = static_cast<uint64_t>(std::count(name, name + length, '/'));
        indexCost += (folders + 1) * (length + 1);
        if (indexCost > indexBudget)
            return "its names would cost far more to index than the pack's size";
        names.emplace_back(reinterpret_cast<const char*>(name), length);
        at += length + 1;
    }

    records.resize(entryCount);
    const unsigned char* record = view + recordsAt;
    for (uint32_t i = 0; i < entryCount; ++i, record += kRecordSize) {
        ResourceLump& r = records[i];
        r.storedSize = ReadU32(record + 0);
        r.offset = ReadU32(record + 4);
        r.reserved = ReadU32(record + 8);
        r.fullSize = ReadU32(record + 12);
        r.year = ReadU32(record + 16);
        r.month = ReadU32(record + 20);
        r.day = ReadU32(record + 24);
        r.hour = ReadU32(record + 28);
        r.minute = ReadU32(record + 32);
        r.second = ReadU32(record + 36);
    }
    return nullptr;
}

PackFile::PackFile() : _impl(new Impl) {}
PackFile::~PackFile() = default;

bool PackFile::Create(const std::string& path)
{
    std::unique_ptr<Impl> fresh(new Impl);
    const char* refusal = fresh->Map(path);
    if (!refusal)
        refusal = fresh->Parse();
    if (refusal) {
        _refusal = refusal;
        return false;
    }
    _impl.swap(fresh);
    _refusal.clear();
    return true;
}

const std::string& PackFile::GetRefusal() const
{
    return _refusal;
}

int PackFile::GetNumFiles() const
{
    return static_cast<int>(_impl->names.size());
}

bool PackFile::GetFileName(int index, std::string& name) const
{
    if (static_cast<unsigned>(index) >= _impl->names.size())
        return false;
    name = _impl->names[static_cast<size_t>(index)];
    return true;
}

bool PackFile::GetFileDateTime(int index, SYSTEMTIME& date) const
{
    const ResourceLump* r = _impl->Record(index);
    if (!r || r->storedSize == 0)
        return false;
    date.wYear = static_cast<uint16_t>(r->year);
    date.wMonth = static_cast<uint16_t>(r->month);
    date.wDay = static_cast<uint16_t>(r->day);
    date.wHour = static_cast<uint16_t>(r->hour);
    date.wMinute = static_cast<uint16_t>(r->minute);
    date.wSecond = static_cast<uint16_t>(r->second);
    return true;
}

int PackFile::GetFileIndex(const std::string& name) const
{
    const auto& names = _impl->names;
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == name)
            return static_cast<int>(i);
    return -1;
}

bool PackFile::GetFile(int index, const FileInfo& info, std::shared_ptr<CachedFile>& file) const
{
    const ResourceLump* r = _impl->Record(index);
    if (_impl->CheckEntry(r) != EntryFault::kNone)
        return false;
    const unsigned char* source = _impl->view + r->offset;

    unsigned char* data = nullptr;
    if (r->storedSize == r->fullSize) {
        data = new (std::nothrow) unsigned char[r->fullSize];
        if (!data)
            return false;
        for (uint32_t i = 0; i < r->fullSize; ++i)
            data[i] = static_cast<unsigned char>(source[i] ^ kScrambleKey);
    } else {
        // Inflated straight from the mapping: no intermediate copy of the stored bytes.
        data = DeflatePacker::Decompress(source, r->storedSize, r->fullSize);
        if (!data)
            return false;
    }
    auto result = std::make_shared<CachedFile>();
    result->Create(info, data, static_cast<int>(r->fullSize));
    file = result;
    return true;
}

std::string PackFile::GetReadFault(int index) const
{
    const ResourceLump* r = _impl->Record(index);
    switch (_impl->CheckEntry(r)) {
    case EntryFault::kNoEntry:
        return "the pack holds no such entry";
    case EntryFault::kPastEnd:
        return "the pack is cut short: the entry's " + std::to_string(r->storedSize) + " bytes at offset " +
               std::to_string(r->offset) + " run past its end (" + std::to_string(_impl->size) + " bytes)";
    case EntryFault::kTooLarge:
        return "the entry's full size is 2 GB or more";
    case EntryFault::kNone:
        break;
    }
    // The entry's record is sound: what failed is the memory or the inflation.
    if (r->storedSize == r->fullSize)
        return "there is no memory for its " + std::to_string(r->fullSize) + " bytes";
    if (static_cast<uint64_t>(r->fullSize) > DeflatePacker::MaxInflatedSize(r->storedSize))
        return "the entry would inflate more than 1032 times its stored size";
    return "its compressed bytes are damaged or cut short (they do not inflate to its " +
           std::to_string(r->fullSize) + " bytes)";
}

bool PackFile::GetFile(const FileInfo& info, std::shared_ptr<CachedFile>& file) const
{
    const int index = GetFileIndex(info.GetFileName());
    if (index < 0)
        return false;
    return GetFile(index, info, file);
}

}  // namespace EngineCore
