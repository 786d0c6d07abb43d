#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <zlib.h>

#include "engine/FileSystem/CachedFile.h"
#include "engine/FileSystem/FileInfo.h"
#include "engine/FileSystem/FileSystem.h"
#include "engine/FileSystem/PackFile.h"
#include "engine/FileSystem/PackFileStorage.h"
#include "tools/pack/PackWriter.h"
#include "tests/support/TempFolder.h"

using namespace EngineCore;
using PackTool::PackWriter;
using TestSupport::TempFolder;
using Bytes = std::vector<unsigned char>;

namespace {

uint32_t GetU32(const Bytes& b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

void SetU32(Bytes& b, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<size_t>(i)] = static_cast<unsigned char>(value >> (8 * i));
}

size_t RecordAt(const Bytes& pack, size_t index)
{
    return PackWriter::kHeaderSize + GetU32(pack, PackWriter::kNameStoredOffset) + PackWriter::kRecordSize * index;
}

std::string Text(size_t size, int seed)
{
    std::string s(size, '\0');
    for (size_t i = 0; i < size; ++i)
        s[i] = static_cast<char>((i * 31 + static_cast<size_t>(seed) * 7) % 251);
    return s;
}

// Bytes whose zlib form at the default level is exactly as long as they are: a stored size
// equal to the full size is what marks a scrambled entry. Found by search, so that a
// different zlib still yields such an entry; one stream reset between tries keeps it quick.
std::string DeflatesToItsOwnSize()
{
    z_stream z {};
    if (deflateInit(&z, Z_DEFAULT_COMPRESSION) != Z_OK)
        return std::string();
    std::string found;
    for (uint32_t seed = 1; found.empty(); ++seed) {
        std::string s;
        Bytes out;
        uint32_t x = seed;
        for (size_t size = 1; size <= 4000 && found.empty(); ++size) {
            x = x * 1103515245u + 12345u;
            s.push_back(static_cast<char>((x >> 16) % 200));  // a little under 8 bits a byte
            out.resize(deflateBound(&z, size));
            deflateReset(&z);
            z.next_in = reinterpret_cast<Bytef*>(&s[0]);
            z.avail_in = static_cast<uInt>(size);
            z.next_out = out.data();
            z.avail_out = static_cast<uInt>(out.size());
            if (deflate(&z, Z_FINISH) == Z_STREAM_END && z.total_out == size)
                found = s;
        }
    }
    deflateEnd(&z);
    return found;
}

std::string Contents(const std::shared_ptr<CachedFile>& file)
{
    if (!file || file->GetSize() == 0)
        return std::string();
    return std::string(reinterpret_cast<const char*>(file->GetData()), static_cast<size_t>(file->GetSize()));
}

class PackFileTest : public ::testing::Test {
protected:
    TempFolder folder;

    // Writes the bytes as a pack file and opens it.
    bool Open(const Bytes& bytes, PackFile& pack, const std::string& name = "test.resources")
    {
        folder.WriteFile(name, bytes);
        return pack.Create(folder / name);
    }
};

}  // namespace

TEST_F(PackFileTest, EntriesReadBackInEveryStorageForm)
{
    const std::vector<std::pair<std::string, std::string>> entries = {
        {"a/first.png", Text(10, 1)},
        {"a/b/second.bin", std::string(70000, 'z')},  // compresses well
        {"third", DeflatesToItsOwnSize()},             // no shorter and no longer deflated
        {"empty.txt", ""},
        {"x", "y"},
    };
    for (bool compressedNames : {false, true}) {
        for (auto mode : {PackWriter::EntryMode::Scrambled, PackWriter::EntryMode::Compressed,
                          PackWriter::EntryMode::Smallest}) {
            SCOPED_TRACE(std::string(compressedNames ? "compressed" : "plain") + " names, " +
                         (mode == PackWriter::EntryMode::Scrambled    ? "scrambled"
                          : mode == PackWriter::EntryMode::Compressed ? "compressed"
                                                                      : "smallest") +
                         " entries");
            PackWriter writer;
            writer.SetCompressedNames(compressedNames);
            writer.SetEntryMode(mode);
            for (size_t i = 0; i < entries.size(); ++i)
                writer.AddEntry(entries[i].first, entries[i].second,
                                PackWriter::MakeDate(2001 + static_cast<int>(i), 2, 3, 4, 5, 6));
            const Bytes bytes = writer.Build();
            EXPECT_EQ(compressedNames, GetU32(bytes, PackWriter::kNameStoredOffset) !=
                                           GetU32(bytes, PackWriter::kNameFullOffset));

            PackFile pack;
            ASSERT_TRUE(Open(bytes, pack));
            ASSERT_EQ(static_cast<int>(entries.size()), pack.GetNumFiles());
            for (size_t i = 0; i < entries.size(); ++i) {
                const int index = static_cast<int>(i);
                std::string name;
                ASSERT_TRUE(pack.GetFileName(index, name));
                EXPECT_EQ(entries[i].first, name);
                EXPECT_EQ(index, pack.GetFileIndex(name));
                SYSTEMTIME date;
                date.wMilliseconds = 77;
                ASSERT_TRUE(pack.GetFileDateTime(index, date));
                EXPECT_EQ(2001 + index, date.wYear);
                EXPECT_EQ(6, date.wSecond);
                EXPECT_EQ(77, date.wMilliseconds);  // left alone
                std::shared_ptr<CachedFile> file;
                ASSERT_TRUE(pack.GetFile(index, FileInfo(), file));
                EXPECT_EQ(entries[i].second, Contents(file)) << name;
            }
        }
    }
}

TEST_F(PackFileTest, ScrambledBytesAreStoredXorC3)
{
    PackWriter writer;
    writer.SetEntryMode(PackWriter::EntryMode::Scrambled);
    writer.AddEntry("s", std::string("\x00\x01\xC3\xFF", 4));
    const Bytes bytes = writer.Build();
    const size_t record = RecordAt(bytes, 0);
    ASSERT_EQ(4u, GetU32(bytes, record));
    ASSERT_EQ(4u, GetU32(bytes, record + 12));
    const size_t offset = GetU32(bytes, record + 4);
    EXPECT_EQ((Bytes{0xC3, 0xC2, 0x00, 0x3C}), Bytes(bytes.begin() + static_cast<long>(offset),
                                                      bytes.begin() + static_cast<long>(offset) + 4));
    PackFile pack;
    ASSERT_TRUE(Open(bytes, pack));
    std::shared_ptr<CachedFile> file;
    ASSERT_TRUE(pack.GetFile(0, FileInfo(), file));
    EXPECT_EQ(std::string("\x00\x01\xC3\xFF", 4), Contents(file));
}

TEST_F(PackFileTest, HostileHeadersAreRefused)
{
    PackWriter writer;
    writer.AddEntry("one", Text(300, 1));
    writer.AddEntry("two", Text(300, 2));
    const Bytes good = writer.Build();
    PackWriter plainWriter;
    plainWriter.SetCompressedNames(false);
    plainWriter.AddEntry("one", Text(300, 1));
    plainWriter.AddEntry("two", Text(300, 2));
    const Bytes plain = plainWriter.Build();
    const uint32_t storedNames = GetU32(good, PackWriter::kNameStoredOffset);
    const uint32_t fullNames = GetU32(good, PackWriter::kNameFullOffset);

    struct Case {
        const char* what;
        Bytes bytes;
    };
    std::vector<Case> cases;
    auto patched = [](Bytes b, size_t at, uint32_t value) {
        SetU32(b, at, value);
        return b;
    };
    Bytes badMagic = good;
    badMagic[0] = 'W';
    cases.push_back({"bad magic", badMagic});
    cases.push_back({"shorter than the header", Bytes(good.begin(), good.begin() + 31)});
    cases.push_back({"empty file", Bytes()});
    cases.push_back({"entry count 0", patched(good, PackWriter::kCountOffset, 0)});
    cases.push_back({"entry count huge", patched(good, PackWriter::kCountOffset, 0xFFFFFFFFu)});
    cases.push_back({"records reach past the end",
                     patched(good, PackWriter::kCountOffset,
                             static_cast<uint32_t>((good.size() - PackWriter::kHeaderSize - storedNames) / 40 + 1))});
    cases.push_back({"name block past the end", patched(good, PackWriter::kNameStoredOffset, 0xFFFFFFF0u)});
    cases.push_back({"name block inflates huge", patched(good, PackWriter::kNameFullOffset, 0xFFFFFFFFu)});
    cases.push_back({"name block inflates shorter than recorded", patched(good, PackWriter::kNameFullOffset, fullNames + 1)});
    cases.push_back({"name block inflates longer than recorded", patched(good, PackWriter::kNameFullOffset, fullNames - 1)});
    Bytes corruptNames = good;
    corruptNames[PackWriter::kHeaderSize + 3] ^= 0xFF;
    corruptNames[PackWriter::kHeaderSize + 4] ^= 0xFF;
    cases.push_back({"name block corrupt", corruptNames});
    cases.push_back({"fewer names than entries", patched(plain, PackWriter::kCountOffset, 3)});
    Bytes noNul = plain;
    noNul[PackWriter::kHeaderSize + 7] = 'x';  // "one\0two\0" loses its last NUL
    cases.push_back({"last name without NUL", noNul});

    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PackFile pack;
        EXPECT_FALSE(Open(c.bytes, pack, "hostile" + std::to_string(n++) + ".resources"));
        EXPECT_EQ(0, pack.GetNumFiles());
        EXPECT_FALSE(pack.GetRefusal().empty());
        std::shared_ptr<CachedFile> file;
        EXPECT_FALSE(pack.GetFile(0, FileInfo(), file));
    }
    PackFile missing;
    EXPECT_FALSE(missing.Create(folder / "no-such.resources"));
    EXPECT_FALSE(missing.Create(folder.Path()));
    PackFile control;
    EXPECT_TRUE(Open(good, control));
    EXPECT_TRUE(Open(plain, control, "plain.resources"));
}

TEST_F(PackFileTest, NamesTooCostlyToIndexAreRefused)
{
    // A name of 20000 "/" compresses to a pack of about a hundred bytes, yet indexing it
    // would keep a copy under each of its 20000 folders (hundreds of megabytes).
    PackWriter deep;
    deep.AddEntry(std::string(20000, '/'), "x");
    const Bytes deepBytes = deep.Build();
    ASSERT_LT(deepBytes.size(), 200u);
    PackFile refused;
    EXPECT_FALSE(Open(deepBytes, refused, "deep.resources"));
    EXPECT_EQ(0, refused.GetNumFiles());

    // Deep, long names of a real game still mount: 300 names 20 folders deep.
    PackWriter real;
    std::string folders;
    for (int level = 0; level < 20; ++level)
        folders += "folder" + std::to_string(level) + "/";
    for (int i = 0; i < 300; ++i)
        real.AddEntry(folders + "file" + std::to_string(i) + ".png", "x");
    PackFile mounted;
    ASSERT_TRUE(Open(real.Build(), mounted, "real.resources"));
    EXPECT_EQ(300, mounted.GetNumFiles());
}

TEST_F(PackFileTest, HostileRecordsFailTheirEntryOnly)
{
    PackWriter writer;
    writer.SetCompressedNames(false);
    for (int i = 0; i < 7; ++i)
        writer.AddEntry("e" + std::to_string(i), Text(2000, i));
    writer.AddEntry("last", "fine");
    Bytes bytes = writer.Build();
    const uint32_t fileSize = static_cast<uint32_t>(bytes.size());
    SetU32(bytes, RecordAt(bytes, 0) + 4, fileSize);               // data starts at the end
    SetU32(bytes, RecordAt(bytes, 1) + 4, 0xFFFFFFF0u);            // offset + size wraps in 32 bits
    SetU32(bytes, RecordAt(bytes, 2) + 4, fileSize - 10);          // data runs past the end
    SetU32(bytes, RecordAt(bytes, 3) + 12, 0xFFFFFFFFu);           // inflates huge
    SetU32(bytes, RecordAt(bytes, 4) + 12, GetU32(bytes, RecordAt(bytes, 4) + 12) + 1);  // short inflation
    SetU32(bytes, RecordAt(bytes, 5) + 12, GetU32(bytes, RecordAt(bytes, 5) + 12) - 1);  // long inflation
    SetU32(bytes, RecordAt(bytes, 6), 0);                          // absent
    PackFile pack;
    ASSERT_TRUE(Open(bytes, pack));
    EXPECT_EQ("", pack.GetRefusal());
    // What the log says of each: the cause as far as the bytes tell it.
    const std::string cutShort = "the pack is cut short: ";
    const std::string damaged = "its compressed bytes are damaged or cut short";
    const std::string faults[7] = {cutShort, cutShort, cutShort, "the entry's full size is 2 GB or more",
                                   damaged, damaged, "the pack holds no such entry"};
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        std::shared_ptr<CachedFile> file;
        EXPECT_FALSE(pack.GetFile(i, FileInfo(), file));
        EXPECT_FALSE(file);
        EXPECT_EQ(0u, pack.GetReadFault(i).rfind(faults[i], 0)) << pack.GetReadFault(i);
    }
    SYSTEMTIME date;
    EXPECT_FALSE(pack.GetFileDateTime(6, date));
    EXPECT_TRUE(pack.GetFileDateTime(5, date));
    std::shared_ptr<CachedFile> file;
    ASSERT_TRUE(pack.GetFile(7, FileInfo(), file));
    EXPECT_EQ("fine", Contents(file));
}

TEST_F(PackFileTest, IndexesOutOfRangeAndDuplicateNames)
{
    PackWriter writer;
    writer.AddEntry("dup", "first");
    writer.AddEntry("dup", "second");
    writer.AddAbsentEntry("absent");
    PackFile pack;
    ASSERT_TRUE(Open(writer.Build(), pack));
    EXPECT_EQ(0, pack.GetFileIndex("dup"));
    EXPECT_EQ(-1, pack.GetFileIndex("DUP"));
    EXPECT_EQ(2, pack.GetFileIndex("absent"));

    for (int index : {-1, 3, 1 << 30}) {
        SCOPED_TRACE(index);
        std::string name = "keep";
        SYSTEMTIME date;
        std::shared_ptr<CachedFile> file;
        EXPECT_FALSE(pack.GetFileName(index, name));
        EXPECT_EQ("keep", name);
        EXPECT_FALSE(pack.GetFileDateTime(index, date));
        EXPECT_FALSE(pack.GetFile(index, FileInfo(), file));
    }
    std::shared_ptr<CachedFile> file;
    EXPECT_FALSE(pack.GetFile(2, FileInfo(), file));

    // Reading by FileInfo goes by its name; the file carries the info given.
    TempFolder root;
    PackWriter named;
    named.AddEntry("byname/x.png", "x");
    ASSERT_TRUE(named.Write(root / "byname.resources"));
    FileSystem::Instance().AddResourceFile("byname.resources", root.Path());
    FileInfo info;
    ASSERT_TRUE(FileSystem::Instance().GetFileInfo("byname/x.png", info));
    std::shared_ptr<PackFile> mounted;
    ASSERT_TRUE(PackFileStorage::Instance().GetFile(root / "byname.resources", mounted));
    ASSERT_TRUE(mounted->GetFile(info, file));
    EXPECT_EQ("x", Contents(file));
    EXPECT_EQ("byname/x.png", file->GetInfo().GetFileName());
    EXPECT_FALSE(pack.GetFile(info, file));
}

TEST_F(PackFileTest, EntriesCanBeReadFromSeveralThreadsAtOnce)
{
    PackWriter writer;
    for (int i = 0; i < 16; ++i) {
        writer.SetEntryMode(i % 2 ? PackWriter::EntryMode::Scrambled : PackWriter::EntryMode::Compressed);
        writer.AddEntry("t" + std::to_string(i), Text(20000, i));
    }
    PackFile pack;
    ASSERT_TRUE(Open(writer.Build(), pack));
    std::vector<int> mismatches(4, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&pack, &mismatches, t] {
            for (int round = 0; round < 20; ++round)
                for (int i = 0; i < 16; ++i) {
                    std::shared_ptr<CachedFile> file;
                    if (!pack.GetFile(i, FileInfo(), file) || Contents(file) != Text(20000, i))
                        ++mismatches[static_cast<size_t>(t)];
                }
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ((std::vector<int>{0, 0, 0, 0}), mismatches);
}
