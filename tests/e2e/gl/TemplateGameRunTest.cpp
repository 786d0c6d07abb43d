// The template game of the guide for game authors runs as it is: the real program on a
// copy of the folder, with only its quit setting overridden.
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/gl/ImageCompare.h"
#include "tests/e2e/gl/KeldryProcess.h"
#include "tests/support/TempFolder.h"

extern char** environ;

using namespace E2E;

namespace {

// Runs Keldry-pack in `folder` as the guide does; its exit status, or -1.
int RunPackCommand(const std::string& folder, const std::string& source, const std::string& output)
{
    const std::string program = std::filesystem::path(KELDRY_PROGRAM).parent_path() / "Keldry-pack";
    const std::string from = folder + "/" + source;
    const std::string to = folder + "/" + output;
    char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(from.c_str()),
                    const_cast<char*>(to.c_str()), nullptr};
    pid_t pid = 0;
    int status = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0 || waitpid(pid, &status, 0) != pid ||
        !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

uint32_t PixelAt(const Image& image, int x, int y)
{
    return image.argb[static_cast<size_t>(y) * image.width + x];
}

bool IsFile(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// A copy of the template in `game`, with its pack built as the guide builds it, and set to
// quit by itself after 30 frames of play (a replacement settings file in `keldry`'s home,
// mounted by the arguments of TemplateArguments).
void PrepareTemplate(const TestSupport::TempFolder& game, const KeldryProcess& keldry)
{
    std::filesystem::copy(TEMPLATE_GAME_DIR, game.Path(), std::filesystem::copy_options::recursive);
    ASSERT_EQ(0, RunPackCommand(game.Path(), "Packed", "Base/Packed.resources"));
    ASSERT_FALSE(IsFile(game / "Base/Textures/Badge.png"));
    WriteReplacement(keldry.home, "override/Scripts/Settings.lua", "Settings = { speed = 200, quitAfterFrames = 30 }\n",
                     game / "Base/Scripts/Settings.lua");
}

std::vector<std::string> TemplateArguments(const KeldryProcess& keldry)
{
    return {"-resource", "Base", "-resource", keldry.home / "override", "-windowed"};
}

// The Lua blocks of the guide's paragraph that starts with `opening`, up to the next section.
std::vector<std::string> GuideExamples(const std::string& opening)
{
    std::istringstream lines(ReadText(GUIDE_PAGE));
    std::vector<std::string> blocks;
    bool inParagraph = false;
    bool inBlock = false;
    for (std::string line; std::getline(lines, line);) {
        if (!inParagraph) {
            inParagraph = line.rfind(opening, 0) == 0;
            continue;
        }
        if (line.rfind("## ", 0) == 0)
            break;
        if (inBlock && line == "```")
            inBlock = false;
        else if (inBlock)
            blocks.back() += line + "\n";
        else if (line == "```lua") {
            inBlock = true;
            blocks.emplace_back();
        }
    }
    return blocks;
}

TEST(TemplateGameRun, StartsLoadsItsStateDrawsAndQuitsCleanly)
{
    KeldryProcess keldry;
    TestSupport::TempFolder game;
    PrepareTemplate(game, keldry);
    ASSERT_FALSE(testing::Test::HasFatalFailure());
    // 30 frames of play at a fixed 1/60 s, then the game quits by itself.
    const std::string snapshot = keldry.home / "last.bmp";
    keldry.environment = {{"KELDRY_TEST_SNAPSHOT", snapshot}, {"KELDRY_TEST_FIXED_DELTA", "0.0166666675"}};
    const RunResult run = keldry.Run(game.Path(), TemplateArguments(keldry));
    ASSERT_EQ(run.status, 0) << run.stderrText << run.log;
    EXPECT_EQ(run.log.find("FatalError"), std::string::npos) << run.log;
    EXPECT_EQ(run.stderrText.find("FatalError"), std::string::npos) << run.stderrText;
    EXPECT_NE(run.stderrText.find("Log file: "), std::string::npos) << run.stderrText;

    std::string missing;
    EXPECT_TRUE(HasLinesInOrder(run.log,
                                {
                                    "LuaScriptEngine::RunFile (Loading/SystemState.lua).",
                                    "Texture_Load (Loading/Bar.png)...ok",
                                    "LuaScriptEngine::RunFile (Loading/Scripts/Startup.lua).",
                                    "LuaScriptEngine::RunFile (Scripts/GameAPI.lua).",
                                    "LuaScriptEngine::RunFile (Scripts/Settings.lua).",
                                    "LuaScriptEngine::RunFile (States/Play.lua).",
                                    "Sprite_Create (Play.Field)...ok",
                                    "Texture_Load (Textures/Field.png)...ok",
                                    "Sprite_Create (Play.Box)...ok",
                                    "Texture_Load (Textures/Box.png)...ok",
                                    "Sprite_Create (Play.Badge)...ok",
                                    "Texture_Load (Textures/Badge.png)...ok",
                                },
                                missing))
        << "missing: " << missing << "\n"
        << run.log;

    // The saves go where the pre-start-up script said, inside the documents folder.
    EXPECT_TRUE(IsFile(keldry.home / "Documents/MyStudio/FirstGame/Profiles.dat"));

    // The last frame: the stretched field, and the box 30 steps of (200, 150) / 60 from
    // (100, 100); its middle is inside the box a frame either way.
    Image last;
    ASSERT_TRUE(LoadImage(snapshot, last));
    ASSERT_EQ(1024, last.width);
    ASSERT_EQ(768, last.height);
    const uint32_t field = 0xFF141E46u;
    const uint32_t box = 0xFFFF9628u;
    EXPECT_EQ(field, PixelAt(last, 5, 5));
    EXPECT_EQ(field, PixelAt(last, 1018, 762));
    EXPECT_EQ(box, PixelAt(last, 232, 207));
    EXPECT_EQ(field, PixelAt(last, 100 + 32, 100 + 32));
    // The badge from the pack, 48 x 48 at (960, 16).
    const uint32_t badge = 0xFFF0C828u;
    EXPECT_EQ(badge, PixelAt(last, 960, 16));
    EXPECT_EQ(badge, PixelAt(last, 1007, 63));
    EXPECT_EQ(field, PixelAt(last, 959, 40));
    EXPECT_EQ(field, PixelAt(last, 1008, 40));
}

// The guide's timed work for the loading screen, added to the template's loading screen where
// the guide says: the hints come every half second of loading, the loading bar's clock runs
// on so that the bar fills, and the page-turn load that enters the game ends. Frames of 0.25 s
// make the load (ten frames of the page-turn effect and those before it) last over two
// seconds, as long as the bar takes to fill.
TEST(TemplateGameRun, TheGuidesTimedLoadingScreenWorkKeepsTheTemplatesLoadingScreenWorking)
{
    const std::vector<std::string> example = GuideExamples("The loading screen has no timers");
    ASSERT_EQ(example.size(), 2u) << "the clock, set once, and the lines for Loading.Update";
    KeldryProcess keldry;
    TestSupport::TempFolder game;
    PrepareTemplate(game, keldry);
    ASSERT_FALSE(testing::Test::HasFatalFailure());

    // The clock at the end of the file, the lines at the end of the body of Loading.Update
    // (just before the first unindented "end" after its first line), and the hint itself,
    // which writes the load's clock and the bar's width to the log.
    const std::string path = game / "Base/Loading/SystemState.lua";
    std::string script = ReadText(path);
    const size_t function = script.find("\nfunction Loading.Update()\n");
    ASSERT_NE(function, std::string::npos) << script;
    const size_t end = script.find("\nend\n", function + 1);
    ASSERT_NE(end, std::string::npos) << script;
    script.insert(end + 1, example[1]);
    script += example[0];
    script += "function Loading.NextHint()\n"
              "  Debugger():ShowValue('NextHint', 'hint at ' .. Loading.time .. ' s, bar ' ..\n"
              "                       Loading.bar:GetHorizontalScale())\n"
              "end\n";
    game.WriteFile("Base/Loading/SystemState.lua", script);

    keldry.environment = {{"KELDRY_TEST_FIXED_DELTA", "0.25"}};
    // A page-turn load that never ends keeps the game from its 30 frames of play.
    const RunResult run = keldry.Run(game.Path(), TemplateArguments(keldry), 60);
    ASSERT_EQ(run.status, 0) << "the first load never ended\n" << run.stderrText << run.log;
    EXPECT_EQ(run.log.find("FatalError"), std::string::npos) << run.log;
    EXPECT_EQ(run.log.find("Error"), std::string::npos) << run.log;

    // The k-th hint at k half seconds of the load; the bar, 50 times its picture wide at two
    // seconds, grows with the load's clock until it is full.
    const std::regex hint("^Value data: hint at ([0-9.]+) s, bar ([0-9.]+)$");
    std::istringstream lines(run.log);
    std::vector<std::pair<double, double>> hints;
    for (std::string line; std::getline(lines, line);) {
        std::smatch match;
        if (std::regex_match(line, match, hint))
            hints.emplace_back(std::stod(match[1].str()), std::stod(match[2].str()));
    }
    ASSERT_GE(hints.size(), 5u) << run.log;
    for (size_t k = 0; k < hints.size(); ++k) {
        SCOPED_TRACE("hint " + std::to_string(k + 1));
        EXPECT_EQ(hints[k].first, 0.5 * double(k + 1));
        EXPECT_EQ(hints[k].second, std::min(50.0, 25.0 * hints[k].first));
    }
    EXPECT_EQ(hints.back().second, 50.0) << "the bar filled";
}

}  // namespace
