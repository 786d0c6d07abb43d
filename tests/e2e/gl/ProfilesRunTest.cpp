// Player data across runs of the real program: what one run saves, the next one
// reads; and a program killed while it saves leaves a whole profiles file.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "game/Logic/ProfilesFile.h"
#include "tests/e2e/gl/KeldryProcess.h"
#include "tests/e2e/gl/LoadingScripts.h"
#include "tests/support/ChildEnvironment.h"
#include "tests/support/TempFolder.h"

using namespace E2E;

namespace {

// The first run fills a profile, its properties and the inventory, then quits;
// the shutdown saves them.
const char* const kFirstRun =
    "local p = ProfileSystem()\n"
    "local id = p:GetSelectedProfileId()\n"
    "p:SetProfileName(id, 'Ann')\n"
    "p:SetTotalScores(id, 1234)\n"
    "p:SetNumCompletedStages(id, 3)\n"
    "local second = p:CreateNewProfile()\n"
    "p:SetProfileName(second, 'Bob')\n"
    "local ps = PropertySystem()\n"
    "ps:SetValue('Best', 42.125)\n"
    "ps:SetValue('Who', 'Ann')\n"
    "local inv = CharacterInventory()\n"
    "inv:AddItem('key') inv:AddItem('lamp')\n"
    "GameStateSystem():Quit()\n";

// The second run restores and reports what it found.
const char* const kSecondRun =
    "local p = ProfileSystem()\n"
    "local ps = PropertySystem()\n"
    "local inv = CharacterInventory()\n"
    "local d = Debugger()\n"
    "ps:LoadProperty()\n"
    "inv:AddItemFromSave()\n"
    "d:ShowValue('profiles', p:GetNumProfiles())\n"
    "d:ShowValue('name', p:GetProfileName(p:GetSelectedProfileId()))\n"
    "d:ShowValue('second', p:GetProfileName(p:GetProfileId(1)))\n"
    "d:ShowValue('scores', p:GetTotalScores(p:GetSelectedProfileId()))\n"
    "d:ShowValue('stages', p:GetNumCompletedStages(p:GetSelectedProfileId()))\n"
    "d:ShowValue('best', ps:GetValue('Best'))\n"
    "d:ShowValue('who', ps:GetValue('Who'))\n"
    "d:ShowValue('items', inv:GetNumItems())\n"
    "d:ShowValue('item0', inv:GetItemName(0))\n"
    "d:ShowValue('item1', inv:GetItemName(1))\n"
    "GameStateSystem():Quit()\n";

// Saves on every frame and never ends by itself.
const char* const kSaveEveryFrame =
    "local p = ProfileSystem()\n"
    "Frames = 0\n"
    "function OnFrame() Frames = Frames + 1 p:SetProfileName(p:GetSelectedProfileId(), 'frame ' .. Frames)"
    " p:SetTotalScores(p:GetSelectedProfileId(), Frames) end\n"
    "GameStateSystem():SetUpdaterFunctionName('OnFrame')\n";

// Changes the display choice on its fifth frame (windowed, with the second display flag
// set), says so through a probe file, then runs on until it is killed.
const char* const kScreenChoice =
    "Frames = 0\n"
    "function OnFrame() Frames = Frames + 1\n"
    "  if Frames == 5 then GUISystem():SetScreenSettings(32, 1024, 768, 1, 1)"
    " GameStateSystem():RunScript('Probe/Set.lua') end\n"
    "end\n"
    "GameStateSystem():SetUpdaterFunctionName('OnFrame')\n";

class ProfilesRunTest : public testing::Test {
protected:
    KeldryProcess keldry;
    TestSupport::TempFolder game;

    void WriteGame(const std::string& menu)
    {
        WriteLoadingScripts(game, kBareSystemState, kMenuStartup);
        game.WriteFile("Base/States/Menu.lua", menu);
    }

    static constexpr const char* kProfilesFile = "Documents/Tollevane/Quorrel_1.0/Profiles.dat";
    std::string ProfilesPath() const { return keldry.home / kProfilesFile; }

    std::string LogValue(const std::string& log, const std::string& name)
    {
        const std::string head = "*** DebugWrapper::ShowValue: " + name + "\n";
        const size_t at = log.find(head);
        if (at == std::string::npos)
            return "(absent)";
        const size_t data = log.find("Value data: ", at);
        const size_t end = log.find('\n', data);
        return log.substr(data + 12, end - data - 12);
    }
};

}  // namespace

TEST_F(ProfilesRunTest, WhatOneRunSavesTheNextRunReads)
{
    WriteGame(kFirstRun);
    const RunResult first = keldry.Run(game.Path(), {"-resource", "Base", "-windowed"});
    ASSERT_EQ(first.status, 0) << first.stderrText << first.log;

    WriteGame(kSecondRun);
    const RunResult second = keldry.Run(game.Path(), {"-resource", "Base", "-windowed"});
    ASSERT_EQ(second.status, 0) << second.stderrText << second.log;
    struct Expected {
        const char* name;
        const char* value;
    };
    for (const Expected& e : {Expected{"profiles", "2"}, Expected{"name", "Ann"}, Expected{"second", "Bob"},
                              Expected{"scores", "1234"}, Expected{"stages", "3"}, Expected{"best", "42.125"},
                              Expected{"who", "Ann"}, Expected{"items", "2"}, Expected{"item0", "key"},
                              Expected{"item1", "lamp"}})
        EXPECT_EQ(LogValue(second.log, e.name), e.value) << e.name << "\n" << second.log;
}

// A run that saves before its scripts call LoadProperty (its quit, a setter, the save at
// the end of a run that a script error ended) keeps the saved properties, with what it set
// itself winning; the next run restores them.
TEST_F(ProfilesRunTest, ASaveBeforeLoadPropertyKeepsTheSavedProperties)
{
    WriteGame(kFirstRun);
    const RunResult first = keldry.Run(game.Path(), {"-resource", "Base", "-windowed"});
    ASSERT_EQ(first.status, 0) << first.stderrText << first.log;
    const std::string saved = ReadText(ProfilesPath());

    struct Case {
        const char* name;
        const char* menu;
        // The run is killed once this value has been shown; else it ends by itself.
        const char* killAfter;
        int status;
        const char* who;
    };
    const Case cases[] = {
        {"quit", "PropertySystem():SetValue('Who', 'Bea')\nGameStateSystem():Quit()\n", nullptr, 0, "Bea"},
        {"setter",
         "local p = ProfileSystem()\np:SetProfileName(p:GetSelectedProfileId(), 'Ann')\n"
         "Debugger():ShowValue('saved', 1)\n",
         "saved", -1, "Ann"},
        {"script error", "PropertySystem():SetValue('Who', 'Cy')\nNoSuchFunction()\n", nullptr, 1, "Cy"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        keldry.home.WriteFile(kProfilesFile, saved);
        WriteGame(c.menu);
        if (c.killAfter) {
            const pid_t child = keldry.Start(game.Path(), {"-resource", "Base", "-windowed"});
            ASSERT_GT(child, 0);
            const bool shown =
                WaitForLogLine(keldry.LogPath(), std::string("*** DebugWrapper::ShowValue: ") + c.killAfter, 120);
            ::kill(child, SIGKILL);
            int status = 0;
            waitpid(child, &status, 0);
            ASSERT_TRUE(shown) << ReadText(keldry.home / "stderr.txt") << ReadText(keldry.LogPath());
            ASSERT_TRUE(WIFSIGNALED(status)) << "the program ended on its own";
        } else {
            const RunResult run = keldry.Run(game.Path(), {"-resource", "Base", "-windowed"});
            ASSERT_EQ(run.status, c.status) << run.stderrText << run.log;
        }

        WriteGame(kSecondRun);
        const RunResult next = keldry.Run(game.Path(), {"-resource", "Base", "-windowed"});
        // A property that did not come back ends this run with "Property (...) not found.".
        EXPECT_EQ(next.status, 0) << next.stderrText;
        EXPECT_EQ(LogValue(next.log, "best"), "42.125");
        EXPECT_EQ(LogValue(next.log, "who"), c.who);
        EXPECT_EQ(LogValue(next.log, "items"), "2") << next.log;
    }
}

TEST_F(ProfilesRunTest, TheDemoRemembersItsBestScoreAndItsPlays)
{
    WriteReplacement(keldry.home, "override/Scripts/Settings.lua",
                     "Settings = { menuFrames = 2, quitAfterFrames = 240, fixedStep = 1 / 60 }\n",
                     std::string(DEMO_GAME_DIR) + "/Base/Scripts/Settings.lua");
    const std::vector<std::string> arguments = {"-resource", "Base", "-resource", keldry.home / "override",
                                                "-windowed"};
    const RunResult first = keldry.Run(DEMO_GAME_DIR, arguments);
    ASSERT_EQ(first.status, 0) << first.stderrText << first.log;
    EXPECT_EQ(LogValue(first.log, "Demo.Plays"), "0");
    EXPECT_EQ(LogValue(first.log, "Demo.BestScore"), "0");

    // The demo's pre-start-up script names its own folder.
    const std::string bytes = ReadText(keldry.home / "Documents/Keldry/Demo/Profiles.dat");
    GameCore::ProfilesFileContents contents;
    ASSERT_EQ(GameCore::DecodeProfilesFile(bytes.data(), bytes.size(), contents), GameCore::ProfilesFileStatus::Ok);
    const int best = contents.profiles.at(0)->totalScores;
    EXPECT_GT(best, 0);

    const RunResult second = keldry.Run(DEMO_GAME_DIR, arguments);
    ASSERT_EQ(second.status, 0) << second.stderrText << second.log;
    EXPECT_EQ(LogValue(second.log, "Demo.Plays"), "1");
    EXPECT_EQ(LogValue(second.log, "Demo.BestScore"), std::to_string(best));
}

// A real saving program killed at random moments: after every kill the profiles
// file is whole. KELDRY_PROFILE_KILLS sets how many kills (scripts/profile-kills.sh).
TEST_F(ProfilesRunTest, AProgramKilledWhileSavingLeavesAWholeFile)
{
    const char* setting = std::getenv("KELDRY_PROFILE_KILLS");
    const int kills = setting ? std::atoi(setting) : 12;
    WriteGame(kSaveEveryFrame);
    keldry.home.MakeFolder("Documents");
    keldry.home.MakeFolder("runtime");
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> delay(0, 400);
    const auto start = std::chrono::steady_clock::now();

    for (int kill = 0; kill < kills; ++kill) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            TestSupport::SetHeadlessChildEnvironment(keldry.home);
            if (chdir(game.Path().c_str()) != 0)
                _exit(126);
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, 2);
            execl(KELDRY_PROGRAM, KELDRY_PROGRAM, "-resource", "Base", "-windowed", static_cast<char*>(nullptr));
            _exit(127);
        }
        // Once the game saves its frames, kill it at a random moment.
        std::error_code ec;
        const auto started = std::filesystem::exists(ProfilesPath(), ec)
                                 ? std::filesystem::last_write_time(ProfilesPath(), ec)
                                 : std::filesystem::file_time_type();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < deadline) {
            if (std::filesystem::exists(ProfilesPath(), ec) &&
                std::filesystem::last_write_time(ProfilesPath(), ec) != started)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(delay(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "kill " << kill << ": the program ended on its own";

        const std::string bytes = ReadText(ProfilesPath());
        GameCore::ProfilesFileContents contents;
        ASSERT_EQ(GameCore::DecodeProfilesFile(bytes.data(), bytes.size(), contents), GameCore::ProfilesFileStatus::Ok)
            << "kill " << kill << ": " << bytes.size() << " bytes";
        ASSERT_EQ(contents.profiles.size(), 1u) << "kill " << kill;
        // Each frame saves twice (its name, then its scores): the file holds one of the
        // two saves, never a mix. Frame 1's name comes with the previous run's scores.
        const int scores = contents.profiles[0]->totalScores;
        const std::string& name = contents.profiles[0]->name;
        EXPECT_TRUE(name == "frame " + std::to_string(scores) || name == "frame " + std::to_string(scores + 1) ||
                    name == "frame 1" || (scores == 0 && name.empty()))
            << "kill " << kill << ": " << name << ", " << scores;
    }
    // Nothing was ever moved aside (no run found a damaged file), and each start
    // cleared what the kill before it left: at most the last kill's temporary remains.
    int temporaries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(keldry.home / "Documents/Tollevane/Quorrel_1.0")) {
        EXPECT_EQ(entry.path().filename().string().find(".bad-"), std::string::npos) << entry.path();
        if (entry.path().filename().string().find(".tmp.") != std::string::npos)
            ++temporaries;
    }
    EXPECT_LE(temporaries, 1);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%d kills in %.1f s; every file whole\n", kills, seconds);
}

// The display choice is on disk as soon as the script has made it: a program killed
// right after the call leaves the new flags in the selected profile.
TEST_F(ProfilesRunTest, AScreenChoiceIsOnDiskRightAfterTheCall)
{
    WriteGame(kScreenChoice);
    game.WriteFile("Base/Probe/Set.lua", "");
    const pid_t child = keldry.Start(game.Path(), {"-resource", "Base", "-windowed"});
    ASSERT_GT(child, 0);
    const bool set = WaitForLogLine(keldry.LogPath(), "LuaScriptEngine::RunFile (Probe/Set.lua).", 120);
    ::kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(set) << ReadText(keldry.home / "stderr.txt") << ReadText(keldry.LogPath());
    ASSERT_TRUE(WIFSIGNALED(status)) << "the program ended on its own";

    const std::string bytes = ReadText(ProfilesPath());
    GameCore::ProfilesFileContents contents;
    ASSERT_EQ(GameCore::DecodeProfilesFile(bytes.data(), bytes.size(), contents), GameCore::ProfilesFileStatus::Ok);
    ASSERT_EQ(contents.profiles.size(), 1u);
    EXPECT_TRUE(contents.profiles[0]->windowed);
    EXPECT_TRUE(contents.profiles[0]->stretch);
}

// The property list is shared by every record, but "CurrentLevelScript" mirrors the
// selected profile's own level script: a second player never takes the first one's level,
// neither from the property nor into the record, while the rest of the list comes back.
TEST_F(ProfilesRunTest, ASecondPlayerNeverTakesTheFirstPlayersLevelScript)
{
    const std::string report =
        "local ps = PropertySystem()\n"
        "ps:LoadProperty()\n"
        "local d = Debugger()\n"
        "d:ShowValue('level', ps:IsExist('CurrentLevelScript') == 1 and ps:GetValue('CurrentLevelScript') or 'none')\n"
        "d:ShowValue('gold', ps:IsExist('Gold') == 1 and ps:GetValue('Gold') or 'none')\n"
        "GameStateSystem():Quit()\n";
    struct Run {
        const char* name;
        std::string menu;
        const char* level;  // what the run's report shows; null: no report
    };
    const Run runs[] = {
        {"Ann sets her level and makes Bob",
         "local p = ProfileSystem()\nlocal ps = PropertySystem()\nps:LoadProperty()\n"
         "p:SetProfileName(p:GetSelectedProfileId(), 'Ann')\n"
         "ps:SetValue('Gold', 100)\nps:SetValue('CurrentLevelScript', 'Levels/A3.lua')\n"
         "p:SetProfileName(p:CreateNewProfile(), 'Bob')\nGameStateSystem():Quit()\n",
         nullptr},
        {"Bob selected", "ProfileSystem():SetSelectedProfileId(ProfileSystem():GetProfileId(1))\n" + report, "none"},
        {"Bob selected again", report, "none"},
        {"Ann selected", "ProfileSystem():SetSelectedProfileId(ProfileSystem():GetProfileId(0))\n" + report,
         "Levels/A3.lua"},
    };
    for (const Run& run : runs) {
        SCOPED_TRACE(run.name);
        WriteGame(run.menu);
        const RunResult result = keldry.Run(game.Path(), {"-resource", "Base", "-windowed"});
        ASSERT_EQ(result.status, 0) << result.stderrText << result.log;
        if (run.level) {
            EXPECT_EQ(LogValue(result.log, "level"), run.level) << result.log;
            EXPECT_EQ(LogValue(result.log, "gold"), "100") << result.log;
        }
        const std::string bytes = ReadText(ProfilesPath());
        GameCore::ProfilesFileContents contents;
        ASSERT_EQ(GameCore::DecodeProfilesFile(bytes.data(), bytes.size(), contents), GameCore::ProfilesFileStatus::Ok);
        ASSERT_EQ(contents.profiles.size(), 2u);
        EXPECT_EQ(contents.profiles[0]->name, "Ann");
        EXPECT_EQ(contents.profiles[0]->levelScript, "Levels/A3.lua");
        EXPECT_EQ(contents.profiles[1]->name, "Bob");
        EXPECT_EQ(contents.profiles[1]->levelScript, "");
    }
}
