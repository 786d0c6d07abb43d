// The pack command (Keldry-pack) run as a program, its pack read back through the
// engine's file system: names, bytes, dates, and the newer-file rule against loose
// copies.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/FileSystem/CachedFile.h"
#include "engine/FileSystem/FileInfo.h"
#include "engine/FileSystem/FileSystem.h"
#include "tests/support/TempFolder.h"

extern char** environ;

namespace {

using TestSupport::TempFolder;
using TestSupport::UtcTime;

struct CommandResult {
    int status = -1;
    std::string stderrText;
};

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

CommandResult RunPack(const TempFolder& work, std::vector<std::string> args)
{
    const std::string errPath = work / "pack-stderr.txt";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    args.insert(args.begin(), KELDRY_PACK_PROGRAM);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    CommandResult result;
    pid_t pid = 0;
    if (posix_spawn(&pid, KELDRY_PACK_PROGRAM, &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        if (WIFEXITED(status))
            result.status = WEXITSTATUS(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    result.stderrText = ReadAll(errPath);
    return result;
}

std::string Contents(const std::string& name)
{
    std::shared_ptr<EngineCore::CachedFile> file;
    if (!EngineCore::FileSystem::Instance().GetFile(name, file) || !file)
        return "<missing>";
    return std::string(reinterpret_cast<const char*>(file->GetData()), static_cast<size_t>(file->GetSize()));
}

TEST(PackCommand, PacksAFolderThatReadsBackWithItsNamesBytesAndDates)
{
    TempFolder source, loose, work;
    std::mt19937 random(7);
    std::string noise(5000, '\0');
    for (char& c : noise)
        c = static_cast<char>(random());
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "Play.score = Play.score + 1\n";
    const struct {
        const char* name;
        std::string bytes;
        time_t date;
    } files[] = {
        {"Textures/Noise.png", noise, UtcTime(2019, 4, 2, 10, 20, 30)},
        {"Scripts/Long.lua", text, UtcTime(2021, 12, 31, 23, 59, 59)},
        {"Empty.dat", "", UtcTime(2010, 1, 1)},
        {"Deep/er/still/x.bin", "x", UtcTime(2018, 7, 7, 7, 7, 7)},
        {"Older/loose-wins.lua", "from the pack", UtcTime(2020, 1, 1)},
        {"Older/pack-wins.lua", "from the pack", UtcTime(2020, 1, 1)},
    };
    for (const auto& file : files) {
        source.WriteFile(file.name, file.bytes);
        source.SetModificationTime(file.name, file.date);
    }
    // Another pack below the folder is not packed: it would never be mounted from inside one.
    source.WriteFile("Inner.resources", "not a pack");
    // Written into the folder it packs, the pack leaves itself out, also when a run before
    // left it there and its name is not one the extension rule passes over.
    for (int run = 0; run < 2; ++run) {
        const CommandResult result = RunPack(work, {source.Path(), source / "Game.pak"});
        ASSERT_EQ(0, result.status) << result.stderrText;
    }

    const std::string pack = ReadAll(source / "Game.pak");
    // Text is compressed; bytes that do not compress are scrambled, never stored plain.
    EXPECT_LT(pack.size(), noise.size() + text.size() / 4);
    EXPECT_EQ(std::string::npos, pack.find(noise.substr(100, 64)));

    loose.WriteFile("Older/loose-wins.lua", "loose");
    loose.SetModificationTime("Older/loose-wins.lua", UtcTime(2020, 1, 1, 0, 0, 1));
    loose.WriteFile("Older/pack-wins.lua", "loose");
    loose.SetModificationTime("Older/pack-wins.lua", UtcTime(2019, 12, 31, 23, 59, 59));

    EngineCore::FileSystem& fs = EngineCore::FileSystem::Instance();
    fs.AddResourceFile("Game.pak", source.Path());
    fs.AddDirectory(loose.Path());
    for (const auto& file : files) {
        SCOPED_TRACE(file.name);
        EngineCore::FileInfo info;
        ASSERT_TRUE(fs.GetFileInfo(file.name, info));
        if (std::string(file.name).rfind("Older/loose", 0) == 0) {
            EXPECT_EQ("loose", Contents(file.name));
            continue;
        }
        EXPECT_EQ(EngineCore::FileInfo::TypePack, info.GetType());
        EXPECT_EQ(file.bytes, Contents(file.name));
        std::tm utc{};
        gmtime_r(&file.date, &utc);
        const EngineCore::SYSTEMTIME& date = info.GetDataTime();
        EXPECT_EQ(utc.tm_year + 1900, date.wYear);
        EXPECT_EQ(utc.tm_mon + 1, date.wMonth);
        EXPECT_EQ(utc.tm_mday, date.wDay);
        EXPECT_EQ(utc.tm_hour, date.wHour);
        EXPECT_EQ(utc.tm_min, date.wMinute);
        EXPECT_EQ(utc.tm_sec, date.wSecond);
    }
    EngineCore::FileInfo info;
    EXPECT_FALSE(fs.GetFileInfo("Inner.resources", info));
    EXPECT_FALSE(fs.GetFileInfo("Game.pak", info));
}

TEST(PackCommand, RefusesWhatItCannotPack)
{
    TempFolder work;
    const struct {
        std::vector<std::string> args;
        int status;
        const char* message;
    } cases[] = {
        {{}, 2, "usage: Keldry-pack <folder> <out.resources>"},
        {{work.Path()}, 2, "usage: Keldry-pack <folder> <out.resources>"},
        {{work / "nowhere", work / "out.resources"}, 1, "Keldry-pack: not a folder: "},
        {{work.Path(), work / "no-such-folder/out.resources"}, 1, "Keldry-pack: cannot write "},
    };
    for (const auto& c : cases) {
        const CommandResult run = RunPack(work, c.args);
        EXPECT_EQ(c.status, run.status) << c.message;
        EXPECT_EQ(0u, run.stderrText.rfind(c.message, 0)) << run.stderrText;
    }
}

}  // namespace
