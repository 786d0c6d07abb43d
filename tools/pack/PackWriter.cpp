#include "tools/pack/PackWriter.h"

#include <zlib.h>

#include <cstring>
#include <fstream>
#include <stdexcept>

namespace PackTool {

namespace {

void PutU32(std::vector<unsigned char>& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

}  // namespace

EngineCore::SYSTEMTIME PackWriter::DefaultDate()
{
    return MakeDate(2000, 1, 1);
}

EngineCore::SYSTEMTIME PackWriter::MakeDate(int year, int month, int day, int hour, int minute, int second)
{
    EngineCore::SYSTEMTIME date;
    date.wYear = static_cast<uint16_t>(year);
    date.wMonth = static_cast<uint16_t>(month);
    date.wDay = static_cast<uint16_t>(day);
    date.wHour = static_cast<uint16_t>(hour);
    date.wMinute = static_cast<uint16_t>(minute);
    date.wSecond = static_cast<uint16_t>(second);
    return date;
}

std::vector<unsigned char> PackWriter::Deflate(const unsigned char* data, size_t size) const
{
    uLongf length = compressBound(size);
    std::vector<unsigned char> out(length);
    if (compress2(out.data(), &length, data, size, _level) != Z_OK)
        throw std::runtime_error("compress2 failed");
    out.resize(length);
    return out;
}

void PackWriter::AddEntry(const std::string& name, const std::vector<unsigned char>& bytes,
                          const EngineCore::SYSTEMTIME& date)
{
    Entry entry;
    entry.name = name;
    entry.fullSize = static_cast<uint32_t>(bytes.size());
    entry.date = date;
    // An empty entry stored scrambled would have stored size 0, which reads as absent.
    if (_mode != EntryMode::Scrambled || bytes.empty())
        entry.stored = Deflate(bytes.data(), bytes.size());
    const bool scramble = !bytes.empty() && (_mode == EntryMode::Scrambled || entry.stored.size() == bytes.size() ||
                                             (_mode == EntryMode::Smallest && entry.stored.size() > bytes.size()));
    if (scramble) {
        entry.stored.resize(bytes.size());
        for (size_t i = 0; i < bytes.size(); ++i)
            entry.stored[i] = static_cast<unsigned char>(bytes[i] ^ 0xC3);
    }
    _entries.push_back(std::move(entry));
}

void PackWriter::AddEntry(const std::string& name, const std::string& bytes, const EngineCore::SYSTEMTIME& date)
{
    AddEntry(name, std::vector<unsigned char>(bytes.begin(), bytes.end()), date);
}

void PackWriter::AddAbsentEntry(const std::string& name)
{
    Entry entry;
    entry.name = name;
    _entries.push_back(std::move(entry));
}

std::vector<unsigned char> PackWriter::Build() const
{
    std::vector<unsigned char> names;
    for (const Entry& e : _entries) {
        names.insert(names.end(), e.name.begin(), e.name.end());
        names.push_back(0);
    }
    std::vector<unsigned char> storedNames = names;
    if (_compressedNames) {
        storedNames = Deflate(names.data(), names.size());
        if (storedNames.size() == names.size())
            storedNames = names;
    }

    const char magic[] = "wR.resources";
    std::vector<unsigned char> out;
    out.reserve(kHeaderSize + storedNames.size() + kRecordSize * _entries.size());
    for (size_t i = 0; i < 12; ++i)
        out.push_back(static_cast<unsigned char>(magic[i]));
    PutU32(out, static_cast<uint32_t>(_entries.size()));
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, static_cast<uint32_t>(storedNames.size()));
    PutU32(out, static_cast<uint32_t>(names.size()));
    out.insert(out.end(), storedNames.begin(), storedNames.end());

    uint64_t dataOffset = out.size() + kRecordSize * _entries.size();
    for (const Entry& e : _entries) {
        const uint32_t stored = static_cast<uint32_t>(e.stored.size());
        PutU32(out, stored);
        PutU32(out, stored ? static_cast<uint32_t>(dataOffset) : 0);
        PutU32(out, 0);
        PutU32(out, e.fullSize);
        PutU32(out, e.date.wYear);
        PutU32(out, e.date.wMonth);
        PutU32(out, e.date.wDay);
        PutU32(out, e.date.wHour);
        PutU32(out, e.date.wMinute);
        PutU32(out, e.date.wSecond);
        dataOffset += stored;
    }
    if (dataOffset > UINT32_MAX)
        throw std::runtime_error("pack larger than 4 GB");
    for (const Entry& e : _entries)
        out.insert(out.end(), e.stored.begin(), e.stored.end());
    return out;
}

bool PackWriter::Write(const std::string& path) const
{
    const std::vector<unsigned char> bytes = Build();
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

}  // namespace PackTool
