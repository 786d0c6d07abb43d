#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <list>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/FileSystem/CachedFile.h"
#include "engine/FileSystem/DiskPath.h"
#include "engine/FileSystem/FileInfo.h"
#include "engine/FileSystem/FileLoader.h"
#include "engine/FileSystem/FileSystem.h"
#include "engine/FileSystem/InputDataStream.h"
#include "engine/FileSystem/MountedPlaces.h"
#include "engine/FileSystem/OutputDataStream.h"
#include "engine/FileSystem/PackFileStorage.h"
#include "engine/Resources/ResourceManager.h"
#include "engine/System/SystemLogger.h"
#include "tests/support/EnvGuard.h"
#include "tests/support/FakeResource.h"
#include "tools/pack/PackWriter.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestLogWriter.h"

using namespace EngineCore;
using PackTool::PackWriter;
using TestSupport::TempFolder;
using TestSupport::UtcTime;

// The file system is one process-wide index, so every test uses names of its own.

namespace {

std::string Contents(const std::shared_ptr<CachedFile>& file)
{
    if (!file || file->GetSize() == 0)
        return std::string();
    return std::string(reinterpret_cast<const char*>(file->GetData()), static_cast<size_t>(file->GetSize()));
}

std::list<std::string> ListOf(const std::string& directory)
{
    std::list<std::string> files;
    FileSystem::Instance().GetFileListFromDirectory(directory, files);
    return files;
}

bool Indexed(const std::string& name)
{
    FileInfo info;
    return FileSystem::Instance().GetFileInfo(name, info);
}

class FileSystemTest : public ::testing::Test {
protected:
    // The index lives as long as the process and a listing keeps every name stored under
    // it: a test that lists a folder names one of its own on every run.
    static std::string FreshFolder(const std::string& name)
    {
        static int runs = 0;
        return name + std::to_string(++runs);
    }

    FileSystem& fs = FileSystem::Instance();
    TempFolder root;
};

}  // namespace

TEST_F(FileSystemTest, KeysAreRelativeToTheRootAndListedUnderEveryFolder)
{
    const std::string keys = FreshFolder("keys");
    root.WriteFile(keys + "/b/c.png", "c");
    root.WriteFile(keys + "/top.png", "t");
    root.WriteFile("keysNoExtension", "n");
    root.SetModificationTime(keys + "/b/c.png", UtcTime(2011, 4, 5, 6, 7, 8));
    fs.AddDirectory(root.Path());

    FileInfo info;
    ASSERT_TRUE(fs.GetFileInfo(keys + "/b/c.png", info));
    EXPECT_EQ(FileInfo::TypeDisk, info.GetType());
    EXPECT_EQ(root.Path(), info.GetDiskPath());
    EXPECT_EQ(keys + "/b/c.png", info.GetFileName());
    const SYSTEMTIME& date = info.GetDataTime();
    EXPECT_EQ((std::vector<int>{2011, 4, 5, 6, 7, 8}),
              (std::vector<int>{date.wYear, date.wMonth, date.wDay, date.wHour, date.wMinute, date.wSecond}));
    EXPECT_TRUE(Indexed("keysNoExtension"));
    EXPECT_FALSE(Indexed(root.Path() + "/" + keys + "/top.png"));

    EXPECT_EQ((std::list<std::string>{keys + "/b/c.png", keys + "/top.png"}), ListOf(keys));
    EXPECT_EQ((std::list<std::string>{keys + "/b/c.png"}), ListOf(keys + "/b"));
    std::list<std::string> untouched = {"old"};
    EXPECT_FALSE(fs.GetFileListFromDirectory(keys + "/none", untouched));
    EXPECT_FALSE(fs.GetFileListFromDirectory(root.Path(), untouched));
    EXPECT_FALSE(fs.GetFileListFromDirectory(keys + "/", untouched));
    EXPECT_EQ(std::list<std::string>{"old"}, untouched);

    // Storing a name again appends it again.
    fs.AddDirectory(root.Path(), (keys + "/b").c_str());
    EXPECT_EQ((std::list<std::string>{keys + "/b/c.png", keys + "/b/c.png"}), ListOf(keys + "/b"));
}

TEST_F(FileSystemTest, SkipsFoldersAndExtensionsExactlyAsNamed)
{
    const struct {
        const char* file;
        bool indexed;
    } cases[] = {
        {"skip/notes.txt", false},        {"skip/x.TXT", true},          {"skip/m.max", false},
        {"skip/t.tga", false},            {"skip/b.bat", false},         {"skip/c.cmd", false},
        {"skip/m.Max", true},             {"skip/plain", true},          {"skip/a.b.txt", false},
        {"skip/.svn/inside.png", false},  {"skip/.SVN/inside.png", true}, {"skip/_FinalGraphics/f.png", false},
        {"skip/_finalgraphics/f.png", true}, {"skip/deep/.svn/x.png", false}, {"skip/txt", true},
    };
    for (const auto& c : cases)
        root.WriteFile(c.file, "x");
    fs.AddDirectory(root.Path());
    for (const auto& c : cases)
        EXPECT_EQ(c.indexed, Indexed(c.file)) << c.file;
}

TEST_F(FileSystemTest, NonRegularFilesAndLinkLoopsAreNotFollowed)
{
    root.WriteFile("links/real/a.png", "a");
    ASSERT_EQ(0, symlink("real", (root / "links/alias").c_str()));
    ASSERT_EQ(0, symlink("..", (root / "links/real/up").c_str()));
    ASSERT_EQ(0, mkfifo((root / "links/pipe").c_str(), 0600));
    fs.AddDirectory(root.Path());
    EXPECT_TRUE(Indexed("links/real/a.png"));
    EXPECT_TRUE(Indexed("links/alias/a.png"));
    // A link back to a folder being walked is not entered: the walk ends.
    EXPECT_FALSE(Indexed("links/real/up/real/a.png"));
    EXPECT_FALSE(Indexed("links/pipe"));
}

TEST_F(FileSystemTest, NewestCopyWinsAndEqualDatesGoToTheLaterOne)
{
    // Each case: a first and a second source of one name with dates; which one wins.
    // An author patches a shipped pack with a newer copy: the month outranks the day.
    enum Source { Folder, Pack };
    struct Date {
        int year, month, day;
    };
    struct Case {
        const char* name;
        Source first;
        Source second;
        Date firstDate;
        Date secondDate;
        bool secondWins;
    } cases[] = {
        {"nw/ff-older.png", Folder, Folder, {2010, 6, 1}, {2009, 6, 1}, false},
        {"nw/ff-newer.png", Folder, Folder, {2010, 6, 1}, {2011, 6, 1}, true},
        {"nw/ff-equal.png", Folder, Folder, {2010, 6, 1}, {2010, 6, 1}, true},
        {"nw/ff-month.png", Folder, Folder, {2010, 1, 31}, {2010, 2, 1}, true},
        {"nw/fp-older.png", Folder, Pack, {2010, 6, 1}, {2009, 6, 1}, false},
        {"nw/fp-newer.png", Folder, Pack, {2010, 6, 1}, {2011, 6, 1}, true},
        {"nw/fp-equal.png", Folder, Pack, {2010, 6, 1}, {2010, 6, 1}, true},
        {"nw/fp-month.png", Folder, Pack, {2010, 2, 1}, {2010, 1, 31}, false},
        {"nw/pf-older.png", Pack, Folder, {2010, 6, 1}, {2009, 6, 1}, false},
        {"nw/pf-equal.png", Pack, Folder, {2010, 6, 1}, {2010, 6, 1}, true},
    };
    TempFolder first, second;
    PackWriter firstPack, secondPack;
    for (const Case& c : cases) {
        const TempFolder* folders[] = {&first, &second};
        PackWriter* packs[] = {&firstPack, &secondPack};
        const Source sources[] = {c.first, c.second};
        const Date dates[] = {c.firstDate, c.secondDate};
        for (int i = 0; i < 2; ++i) {
            const std::string text = i == 0 ? "first" : "second";
            const Date& d = dates[i];
            if (sources[i] == Folder) {
                folders[i]->WriteFile(c.name, text);
                folders[i]->SetModificationTime(c.name, UtcTime(d.year, d.month, d.day, 12));
            } else {
                packs[i]->AddEntry(c.name, text, PackWriter::MakeDate(d.year, d.month, d.day, 12));
            }
        }
    }
    ASSERT_TRUE(firstPack.Write(first / "nw1.resources"));
    ASSERT_TRUE(secondPack.Write(second / "nw2.resources"));
    // Within one folder the pack ("nw1.resources") sorts before the folder "nw", so it
    // is indexed first; the "Pack then Folder" cases rely on that order.
    fs.AddDirectory(first.Path());
    fs.AddDirectory(second.Path());

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::shared_ptr<CachedFile> file;
        ASSERT_TRUE(fs.GetFile(c.name, file));
        EXPECT_EQ(c.secondWins ? "second" : "first", Contents(file));
    }
}

// The game's own folder is indexed at start-up, a second folder after it, and the
// game's folder once more when the first state loads. Dates count in whole seconds.
TEST_F(FileSystemTest, AFolderIndexedAgainTakesBackEveryTieButNoNewerCopy)
{
    enum Origin { BaseFolder, BasePack, Over };
    struct Case {
        const char* name;
        Origin baseCopy;  // where the game's own copy lives: a loose file or its pack
        time_t baseSeconds;
        long baseNanoseconds;
        time_t overSeconds;
        long overNanoseconds;
        Origin winnerBefore;  // after the two folders
        Origin winnerAfter;   // after the game's folder again
    };
    const time_t t = UtcTime(2015, 3, 1, 9, 30, 0);
    const Case cases[] = {
        {"again/newer.lua", BaseFolder, t, 0, t + 1, 0, Over, Over},
        {"again/older.lua", BaseFolder, t, 0, t - 1, 0, BaseFolder, BaseFolder},
        {"again/same.lua", BaseFolder, t, 0, t, 0, Over, BaseFolder},
        // Written later within the same second is still a tie.
        {"again/later-same-second.lua", BaseFolder, t, 100000000, t, 900000000, Over, BaseFolder},
        {"again/earlier-same-second.lua", BaseFolder, t, 900000000, t, 100000000, Over, BaseFolder},
        // A pack is mounted once: finding it again indexes none of its entries again.
        {"again/pack-same.lua", BasePack, t, 0, t, 0, Over, Over},
        {"again/pack-newer.lua", BasePack, t + 1, 0, t, 0, BasePack, BasePack},
        {"again/pack-older.lua", BasePack, t - 1, 0, t, 0, Over, Over},
    };
    TempFolder base, over;
    PackWriter pack;
    for (const Case& c : cases) {
        if (c.baseCopy == BasePack) {
            std::tm utc{};
            gmtime_r(&c.baseSeconds, &utc);
            pack.AddEntry(c.name, "pack",
                          PackWriter::MakeDate(utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour,
                                               utc.tm_min, utc.tm_sec));
        } else {
            base.WriteFile(c.name, "base");
            base.SetModificationTime(c.name, c.baseSeconds, c.baseNanoseconds);
        }
        over.WriteFile(c.name, "over");
        over.SetModificationTime(c.name, c.overSeconds, c.overNanoseconds);
    }
    ASSERT_TRUE(pack.Write(base / "again.resources"));

    auto originOf = [&](const char* name) {
        FileInfo info;
        if (!fs.GetFileInfo(name, info))
            return -1;
        if (info.GetType() == FileInfo::TypePack)
            return info.GetPackName() == base / "again.resources" ? int(BasePack) : -1;
        return info.GetDiskPath() == base.Path() ? int(BaseFolder) : info.GetDiskPath() == over.Path() ? int(Over) : -1;
    };

    fs.AddDirectory(base.Path());
    fs.AddDirectory(over.Path());
    for (const Case& c : cases)
        EXPECT_EQ(c.winnerBefore, originOf(c.name)) << c.name << " after the two folders";
    fs.AddDirectory(base.Path());
    for (const Case& c : cases)
        EXPECT_EQ(c.winnerAfter, originOf(c.name)) << c.name << " after the game's folder again";
}

TEST_F(FileSystemTest, TiesInsideOneFolderFollowSortedNames)
{
    PackWriter a, z;
    a.AddEntry("tie/x.png", "from a", PackWriter::MakeDate(2012, 1, 1));
    z.AddEntry("tie/x.png", "from z", PackWriter::MakeDate(2012, 1, 1));
    ASSERT_TRUE(z.Write(root / "z.resources"));
    ASSERT_TRUE(a.Write(root / "a.resources"));
    fs.AddDirectory(root.Path());
    FileInfo info;
    ASSERT_TRUE(fs.GetFileInfo("tie/x.png", info));
    EXPECT_EQ(FileInfo::TypePack, info.GetType());
    EXPECT_EQ(root / "z.resources", info.GetPackName());
    EXPECT_EQ("Base", info.GetDiskPath());
    EXPECT_FALSE(Indexed("z.resources"));
    EXPECT_FALSE(Indexed("a.resources"));
}

TEST_F(FileSystemTest, APackIsMountedOncePerPathAndAbsentEntriesAreNotIndexed)
{
    PackWriter pack;
    pack.AddEntry("once/x.png", "pack", PackWriter::MakeDate(2013, 1, 1));
    pack.AddAbsentEntry("once/absent.png");
    ASSERT_TRUE(pack.Write(root / "Loading.resources"));
    fs.AddResourceFile("Loading.resources", root.Path());
    EXPECT_TRUE(PackFileStorage::Instance().IsExist(root.Path() + "/Loading.resources"));
    EXPECT_TRUE(Indexed("once/x.png"));
    EXPECT_FALSE(Indexed("once/absent.png"));

    // A folder copy of equal date indexed after the pack wins ...
    TempFolder other;
    other.WriteFile("once/x.png", "folder");
    other.SetModificationTime("once/x.png", UtcTime(2013, 1, 1));
    fs.AddDirectory(other.Path());
    // ... and finding the pack again while indexing its folder does not mount it again.
    fs.AddDirectory(root.Path());
    std::shared_ptr<CachedFile> file;
    ASSERT_TRUE(fs.GetFile("once/x.png", file));
    EXPECT_EQ("folder", Contents(file));
}

TEST_F(FileSystemTest, ABrokenPackIsSkippedAndNotStoredAndTheLogSaysWhy)
{
    std::vector<std::string> logged;
    TestSupport::InstallLogWriter([&logged](const char* text) { logged.emplace_back(text); });
    PackWriter writer;
    writer.AddEntry("refused/a.png", std::string(3000, 'a'));
    std::vector<unsigned char> cut = writer.Build();
    cut.resize(40);  // inside the name block and the records
    root.WriteFile("cut.resources", cut);
    root.WriteFile("broken.resources", "not a pack at all, but long enough to hold a header");
    struct Case {
        const char* pack;
        const char* why;
    } cases[] = {
        {"broken.resources", "it does not start with \"wR.resources\""},
        {"cut.resources", "it is cut short: its name block or entry records run past its end"},
        {"missing.resources", "it cannot be opened"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pack);
        logged.clear();
        fs.AddResourceFile(c.pack, root.Path());
        EXPECT_FALSE(PackFileStorage::Instance().IsExist(root / c.pack));
        EXPECT_EQ(std::vector<std::string>{"Pack (" + (root / c.pack) + ") is not mounted: " + c.why + "."}, logged);
    }
    EXPECT_FALSE(Indexed("refused/a.png"));

    // Refused again, as when its folder is indexed again: said once. An optional pack is
    // passed over in silence only when it is not there.
    logged.clear();
    fs.AddResourceFile("cut.resources", root.Path());
    fs.AddResourceFile("missing.resources", root.Path());
    fs.AddResourceFile("absent.resources", root.Path(), true);
    EXPECT_TRUE(logged.empty()) << logged.front();
    root.WriteFile("optional.resources", cut);
    fs.AddResourceFile("optional.resources", root.Path(), true);
    EXPECT_EQ(std::vector<std::string>{"Pack (" + (root / "optional.resources") +
                                       ") is not mounted: it is cut short: its name block or entry records run past "
                                       "its end."},
              logged);
    SystemLogger::Instance().SetLogger(nullptr);
}

TEST_F(FileSystemTest, AnEntryThatCannotBeReadIsLoggedWithItsPackNotAsMissing)
{
    auto u32 = [](const std::vector<unsigned char>& b, size_t at) {
        return static_cast<uint32_t>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (b[at + 3] << 24));
    };
    PackWriter writer;
    writer.AddEntry("unreadable/States/Menu.lua", std::string(600, 'm'));
    const std::vector<unsigned char> good = writer.Build();
    const size_t record = PackWriter::kHeaderSize + u32(good, PackWriter::kNameStoredOffset);
    const uint32_t stored = u32(good, record), offset = u32(good, record + 4);
    ASSERT_NE(stored, 600u);  // compressed
    std::vector<unsigned char> damaged = good;
    damaged[offset + stored / 2] ^= 0x5A;
    damaged[offset + stored / 2 + 1] ^= 0xA5;
    const std::vector<unsigned char> cut(good.begin(), good.end() - 3);
    struct Case {
        const char* pack;
        std::vector<unsigned char> bytes;
        std::string why;
    } cases[] = {
        {"Damaged.resources", damaged, "its compressed bytes are damaged or cut short (they do not inflate to its 600 bytes)"},
        {"Cut.resources", cut,
         "the pack is cut short: the entry's " + std::to_string(stored) + " bytes at offset " + std::to_string(offset) +
             " run past its end (" + std::to_string(cut.size()) + " bytes)"},
    };
    std::vector<std::string> logged;
    TestSupport::InstallLogWriter([&logged](const char* text) { logged.emplace_back(text); });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pack);
        TempFolder folder;
        folder.WriteFile(c.pack, c.bytes);
        logged.clear();
        fs.AddDirectory(folder.Path());
        ASSERT_TRUE(Indexed("unreadable/States/Menu.lua"));
        std::shared_ptr<CachedFile> file;
        EXPECT_FALSE(fs.GetFile("unreadable/States/Menu.lua", file));
        // The name was found: no "looked for" line follows the reason.
        LogWhereLookedFor("unreadable/States/Menu.lua");
        EXPECT_EQ(std::vector<std::string>{"File (unreadable/States/Menu.lua) is in the pack (" + (folder / c.pack) +
                                           "), but could not be read: " + c.why + "."},
                  logged);
    }
    logged.clear();
    LogWhereLookedFor("unreadable/States/None.lua");
    ASSERT_EQ(1u, logged.size());
    EXPECT_EQ(0u, logged[0].rfind("File (unreadable/States/None.lua) was looked for in the data folders (", 0))
        << logged[0];
    SystemLogger::Instance().SetLogger(nullptr);
}

TEST_F(FileSystemTest, GetFileCachesAndFailsCleanly)
{
    root.WriteFile("get/a.bin", "alpha");
    root.WriteFile("get/empty.bin", "");
    root.WriteFile("get/gone.bin", "gone");
    fs.AddDirectory(root.Path());
    ASSERT_EQ(0, unlink((root / "get/gone.bin").c_str()));

    std::shared_ptr<CachedFile> first, second;
    ASSERT_TRUE(fs.GetFile("get/a.bin", first));
    ASSERT_TRUE(fs.GetFile("get/a.bin", second));
    EXPECT_EQ(first, second);
    EXPECT_EQ("alpha", Contents(first));
    EXPECT_EQ("get/a.bin", first->GetInfo().GetFileName());

    std::shared_ptr<CachedFile> empty;
    ASSERT_TRUE(fs.GetFile("get/empty.bin", empty));
    EXPECT_EQ(0, empty->GetSize());
    EXPECT_EQ(nullptr, empty->GetData());

    std::shared_ptr<CachedFile> none;
    EXPECT_FALSE(fs.GetFile("get/gone.bin", none));
    EXPECT_FALSE(fs.GetFile("get/unknown.bin", none));
    EXPECT_FALSE(none);

    // Cached bytes outlive the disk file until the cache is freed.
    ASSERT_EQ(0, unlink((root / "get/a.bin").c_str()));
    EXPECT_TRUE(fs.GetFile("get/a.bin", second));
    fs.FreeCache();
    EXPECT_FALSE(fs.GetFile("get/a.bin", second));
    EXPECT_EQ("alpha", Contents(first));
}

TEST_F(FileSystemTest, PrecacheFolderRunsOncePerTextAndCanFreeFirst)
{
    fs.FreeCache();
    root.WriteFile("Pre/Cache/one.png", "1");
    root.WriteFile("pre/other/two.png", "2");
    root.WriteFile("elsewhere/three.png", "3");
    fs.AddDirectory(root.Path());

    fs.PrecacheFolder("pre/CACHE", false);
    // Cached copies survive the disk files; uncached names do not.
    ASSERT_EQ(0, unlink((root / "Pre/Cache/one.png").c_str()));
    ASSERT_EQ(0, unlink((root / "pre/other/two.png").c_str()));
    std::shared_ptr<CachedFile> file;
    EXPECT_TRUE(fs.GetFile("Pre/Cache/one.png", file));
    EXPECT_FALSE(fs.GetFile("pre/other/two.png", file));

    // The same text again does nothing, even after the cache was refilled differently.
    root.WriteFile("Pre/Cache/one.png", "1");
    fs.PrecacheFolder("pre/CACHE", true);
    ASSERT_EQ(0, unlink((root / "Pre/Cache/one.png").c_str()));
    EXPECT_TRUE(fs.GetFile("Pre/Cache/one.png", file));

    // Another text with free-first empties the cache before reading.
    fs.PrecacheFolder("elsewhere", true);
    EXPECT_FALSE(fs.GetFile("Pre/Cache/one.png", file));
    ASSERT_EQ(0, unlink((root / "elsewhere/three.png").c_str()));
    EXPECT_TRUE(fs.GetFile("elsewhere/three.png", file));
}

TEST_F(FileSystemTest, UserDataDirectoryIsCreatedBelowTheDocumentsFolder)
{
    const TestSupport::EnvGuard home("HOME"), documents("XDG_DOCUMENTS_DIR"), config("XDG_CONFIG_HOME");
    setenv("HOME", root.Path().c_str(), 1);
    unsetenv("XDG_DOCUMENTS_DIR");
    setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);

    const struct {
        const char* sub;
        std::string expected;
    } cases[] = {
        {"A/B", root / "Documents/A/B"},
        {"Tollevane\\Quorrel_1.0", root / "Documents/Tollevane/Quorrel_1.0"},
        {"../../outside", root / "Documents/outside"},
        {"", root / "Documents"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sub);
        std::string path;
        ASSERT_TRUE(fs.GetUserDataDirectory(c.sub, path));
        EXPECT_EQ(c.expected, path);
        EXPECT_TRUE(std::filesystem::is_directory(path));
    }
    // A file in the way of the folder is a failure.
    root.WriteFile("Documents/blocked", "x");
    std::string path = "unchanged";
    EXPECT_FALSE(fs.GetUserDataDirectory("blocked/more", path));
    EXPECT_EQ("unchanged", path);
}

TEST_F(FileSystemTest, UnlinkForgetsTheNameAndReportsTheDeletion)
{
    const std::string unl = FreshFolder("unl");
    root.WriteFile(unl + "/a.png", "a");
    root.WriteFile(unl + "/b.png", "b");
    root.WriteFile("loose.bin", "x");
    fs.AddDirectory(root.Path(), unl.c_str());
    std::shared_ptr<CachedFile> file;
    ASSERT_TRUE(fs.GetFile(unl + "/a.png", file));

    EXPECT_TRUE(fs.UnlinkFile(root / unl + "/a.png", (unl + "/a.png").c_str()));
    EXPECT_FALSE(Indexed(unl + "/a.png"));
    EXPECT_FALSE(fs.GetFile(unl + "/a.png", file));
    EXPECT_FALSE(std::filesystem::exists(root / unl + "/a.png"));
    EXPECT_EQ((std::list<std::string>{unl + "/a.png", unl + "/b.png"}), ListOf(unl));

    EXPECT_TRUE(fs.UnlinkFile(root / "loose.bin"));
    EXPECT_FALSE(std::filesystem::exists(root / "loose.bin"));
    EXPECT_FALSE(fs.UnlinkFile(root / "loose.bin"));
}

TEST_F(FileSystemTest, CreateFileReplacesWholeFilesAndLeavesNothingBehind)
{
    const std::string target = root / "saves/Profiles.dat";
    root.MakeFolder("saves");
    root.WriteFile("saves/Profiles.dat", "old contents, longer than the new ones");
    const std::string data = "new";
    ASSERT_TRUE(fs.CreateFileW(target, data.data(), static_cast<uint32_t>(data.size())));
    std::ifstream in(target, std::ios::binary);
    EXPECT_EQ("new", std::string(std::istreambuf_iterator<char>(in), {}));
    EXPECT_FALSE(Indexed(target));

    ASSERT_TRUE(fs.CreateFileW(root / "saves/empty.dat", nullptr, 0));
    EXPECT_EQ(0u, std::filesystem::file_size(root / "saves/empty.dat"));

    // Failures leave the old file and no temporary file.
    EXPECT_FALSE(fs.CreateFileW(root / "missing/Profiles.dat", data.data(), 3));
    EXPECT_FALSE(fs.CreateFileW(target, nullptr, 3));
    root.MakeFolder("saves/folder.dat");
    EXPECT_FALSE(fs.CreateFileW(root / "saves/folder.dat", data.data(), 3));
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(root / "saves"))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{"Profiles.dat", "empty.dat", "folder.dat"}), names);
}

TEST_F(FileSystemTest, WindowsStylePathsAreFoundOnDisk)
{
    root.WriteFile("Data/Sub/File.PNG", "x");
    const struct {
        std::string given;
        std::string expected;
    } cases[] = {
        {root / "Data/Sub/File.PNG", root / "Data/Sub/File.PNG"},
        {root / "Data\\Sub\\File.PNG", root / "Data/Sub/File.PNG"},
        {root / "data\\SUB/file.png", root / "Data/Sub/File.PNG"},
        {root / "data/none/file.png", root / "data/none/file.png"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, ResolveDiskPath(c.given)) << c.given;

    fs.AddDirectory(root / "data\\sub");
    EXPECT_TRUE(Indexed("File.PNG"));
}

TEST(FileInfo, SerializesAndComparesByDate)
{
    PackWriter pack;
    pack.AddEntry("info/x.png", "x", PackWriter::MakeDate(2014, 2, 3, 4, 5, 6));
    TempFolder root;
    ASSERT_TRUE(pack.Write(root / "info.resources"));
    FileSystem::Instance().AddResourceFile("info.resources", root.Path());
    FileInfo info;
    ASSERT_TRUE(FileSystem::Instance().GetFileInfo("info/x.png", info));

    OutputDataStream out;
    EXPECT_TRUE(info.Serialize(out));
    InputDataStream in(out.GetData(), out.GetSize());
    FileInfo back;
    EXPECT_TRUE(back.Serialize(in));
    EXPECT_EQ(out.GetSize(), in.GetPosition());
    EXPECT_EQ(FileInfo::TypePack, back.GetType());
    EXPECT_EQ(0, back.GetPackedFileIndex());
    EXPECT_EQ("Base", back.GetDiskPath());
    EXPECT_EQ(root / "info.resources", back.GetPackName());
    EXPECT_TRUE(back == info);
    EXPECT_FALSE(back < info);
    EXPECT_FALSE(info < back);
    EXPECT_FALSE(FileInfo() == info);
    EXPECT_TRUE(FileInfo() < info);

    // An empty stream leaves the type 0.
    InputDataStream nothing;
    FileInfo blank;
    EXPECT_TRUE(blank.Serialize(nothing));
    EXPECT_EQ(FileInfo::TypeNone, blank.GetType());

    // A type byte naming no known place reads as none, whatever follows.
    for (const unsigned char type : {3, 120, 255}) {
        InputDataStream bad(&type, 1);
        FileInfo unknown;
        EXPECT_TRUE(unknown.Serialize(bad));
        EXPECT_EQ(FileInfo::TypeNone, unknown.GetType()) << int(type);
    }
}

TEST_F(FileSystemTest, ReadersIndexersAndCacheFreeingMayRunAtOnce)
{
    for (int i = 0; i < 20; ++i)
        root.WriteFile("conc/f" + std::to_string(i) + ".bin", std::string(static_cast<size_t>(100 + i), 'c'));
    fs.AddDirectory(root.Path());
    TempFolder more;
    const std::string conc2 = FreshFolder("conc2");
    for (int i = 0; i < 200; ++i)
        more.WriteFile(conc2 + "/g" + std::to_string(i) + ".bin", "g");

    std::atomic<int> failures{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < 4; ++t)
        readers.emplace_back([&] {
            for (int round = 0; round < 50; ++round)
                for (int i = 0; i < 20; ++i) {
                    std::shared_ptr<CachedFile> file;
                    if (!fs.GetFile("conc/f" + std::to_string(i) + ".bin", file) || file->GetSize() != 100 + i)
                        ++failures;
                }
        });
    std::thread indexer([&] { fs.AddDirectory(more.Path()); });
    for (int round = 0; round < 50; ++round)
        fs.FreeCache();
    for (auto& t : readers)
        t.join();
    indexer.join();
    EXPECT_EQ(0, failures.load());
    EXPECT_EQ(200u, ListOf(conc2).size());
}
