// What the real program logs before its log file is open: the data folders indexed,
// the loading pack mounted or refused, the pre-start-up script, the profiles read. Those
// lines reach the log once the window has opened, first and in order; a run that fails
// before that puts them on stderr with the fatal text.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/gl/KeldryProcess.h"
#include "tests/e2e/gl/LoadingScripts.h"
#include "tests/support/TempFolder.h"
#include "tools/pack/PackWriter.h"

using namespace E2E;

namespace {

const char* const kFatalStart = "\n\n*** FatalError: ";
const char* const kProfilesFolder = "Documents/Tollevane/Quorrel_1.0";
const char* const kCutPackRefusal =
    "Pack (Base/Loading.resources) is not mounted: it is cut short: its name block or entry records run past its end.";

size_t Count(const std::string& text, const std::string& line)
{
    size_t count = 0;
    for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + line.size()))
        ++count;
    return count;
}

class StartupLogRunTest : public ::testing::Test {
protected:
    KeldryProcess keldry;
    TestSupport::TempFolder game;

    void SetUp() override
    {
        WriteLoadingScripts(game, kBareSystemState, kMenuStartup);
        game.WriteFile("Base/States/Menu.lua", "GameStateSystem():Quit()\n");
    }

    std::string ProfilesPath() const { return keldry.home / (std::string(kProfilesFolder) + "/Profiles.dat"); }

    // A profiles file that is not one: the next start moves it aside.
    void DamageProfiles() const { keldry.home.WriteFile(std::string(kProfilesFolder) + "/Profiles.dat", "not profiles"); }

    // The names in the profiles folder that a damaged file was moved aside to.
    std::vector<std::string> KeptAside() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(keldry.home / kProfilesFolder))
            if (entry.path().filename().string().rfind("Profiles.dat.bad-", 0) == 0)
                names.push_back(entry.path().string());
        return names;
    }

    // The loading scripts only in Base/Loading.resources, cut inside its records.
    void WriteCutLoadingPack() const
    {
        std::filesystem::remove(game / "Base/Loading/SystemState.lua");
        PackTool::PackWriter pack;
        pack.AddEntry("Loading/SystemState.lua", std::string(kBareSystemState));
        std::vector<unsigned char> bytes = pack.Build();
        bytes.resize(40);
        game.WriteFile("Base/Loading.resources", bytes);
    }
};

}  // namespace

TEST_F(StartupLogRunTest, ADamagedProfilesFileIsLoggedWithWhereItWasKept)
{
    DamageProfiles();
    const RunResult run = keldry.Run(game.Path(), {"-resource", "Base", "-windowed"});
    ASSERT_EQ(run.status, 0) << run.stderrText << run.log;
    const std::vector<std::string> aside = KeptAside();
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(ReadText(aside[0]), "not profiles");
    EXPECT_EQ(aside[0].rfind(ProfilesPath() + ".bad-", 0), 0u) << aside[0];
    const std::string line = "Profiles file (" + ProfilesPath() + ") is damaged: moved aside to " + aside[0] + ".";
    std::string missing;
    EXPECT_TRUE(HasLinesInOrder(run.log, {line}, missing)) << run.log;
}

TEST_F(StartupLogRunTest, ARefusedLoadingPackIsLoggedWithItsReason)
{
    WriteCutLoadingPack();
    const RunResult run = keldry.Run(game.Path(), {"-resource", "Base", "-windowed"});
    EXPECT_EQ(run.status, 1) << run.stderrText;
    const size_t fatal = run.log.find(kFatalStart);
    ASSERT_NE(fatal, std::string::npos) << run.log;
    EXPECT_NE(run.log.find("File (Loading/SystemState.lua) not fond.", fatal), std::string::npos) << run.log;
    // Refused once, however often "Base" was indexed; said before the error it explains.
    std::string missing;
    EXPECT_TRUE(HasLinesInOrder(run.log.substr(0, fatal), {kCutPackRefusal}, missing)) << run.log;
    EXPECT_EQ(Count(run.log, kCutPackRefusal), 1u) << run.log;
}

// The start-up's lines reach the log each once, in the order they were logged, before
// the first line logged with the log open.
TEST_F(StartupLogRunTest, LinesLoggedBeforeTheLogOpensAreWrittenOnceInOrder)
{
    DamageProfiles();
    // A pack refused when "Base" is indexed, before anything else is logged; the loading
    // scripts stay loose.
    game.WriteFile("Base/Loading.resources", std::string("not a pack"));
    const RunResult run = keldry.Run(game.Path(), {"-resource", "Base", "-windowed"});
    ASSERT_EQ(run.status, 0) << run.stderrText << run.log;
    const std::vector<std::string> aside = KeptAside();
    ASSERT_EQ(aside.size(), 1u);
    const std::vector<std::string> early = {
        "Pack (Base/Loading.resources) is not mounted: it is shorter than its 32-byte header.",
        "LuaScriptEngine::RunFile (Loading/Scripts/PreStartup.lua).",
        "Profiles file (" + ProfilesPath() + ") is damaged: moved aside to " + aside[0] + ".",
    };
    std::vector<std::string> inOrder = early;
    inOrder.push_back("LuaScriptEngine::RunFile (Loading/SystemState.lua).");
    std::string missing;
    EXPECT_TRUE(HasLinesInOrder(run.log, inOrder, missing)) << missing << "\n" << run.log;
    for (const std::string& line : early)
        EXPECT_EQ(Count(run.log, line), 1u) << line << "\n" << run.log;
}

// A run that ends before the window opens has no log to write them to: they go to stderr,
// before the fatal text, and nowhere else.
TEST_F(StartupLogRunTest, LinesLoggedBeforeAStartThatFailsReachStderrBeforeTheFatalText)
{
    WriteCutLoadingPack();
    struct Case {
        const char* name;
        std::vector<std::string> arguments;
        std::vector<std::string> early;
        const char* fatal;
    };
    const Case cases[] = {
        {"a bad number", {"-resource", "Base", "-width", "800px"}, {kCutPackRefusal}, "bad lexical cast"},
        {"a window that cannot open",
         {"-resource", "Base", "-windowed", "-width", "100000"},
         {kCutPackRefusal, "LuaScriptEngine::RunFile (Loading/Scripts/PreStartup.lua)."},
         "HGEEngineWrapperApplication::Open() error."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RunResult run = keldry.Run(game.Path(), c.arguments);
        EXPECT_EQ(run.status, 1) << run.stderrText;
        const size_t fatal = run.stderrText.find(kFatalStart);
        ASSERT_NE(fatal, std::string::npos) << run.stderrText;
        EXPECT_NE(run.stderrText.find(c.fatal, fatal), std::string::npos) << run.stderrText;
        std::string missing;
        EXPECT_TRUE(HasLinesInOrder(run.stderrText.substr(0, fatal), c.early, missing))
            << missing << "\n" << run.stderrText;
        for (const std::string& line : c.early) {
            EXPECT_EQ(Count(run.stderrText, line), 1u) << line << "\n" << run.stderrText;
            EXPECT_EQ(run.log.find(line), std::string::npos) << run.log;
        }
    }
}
