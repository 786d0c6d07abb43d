// The template game of the guide for game authors runs as it is: the real program on a
// copy of the folder, with only its quit setting overridden.
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

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

TEST(TemplateGameRun, StartsLoadsItsStateDrawsAndQuitsCleanly)
{
    KeldryProcess keldry;
    TestSupport::TempFolder game;
    std::filesystem::copy(TEMPLATE_GAME_DIR, game.Path(), std::filesystem::copy_options::recursive);
    // The template's pack, built as the guide builds it.
    ASSERT_EQ(0, RunPackCommand(game.Path(), "Packed", "Base/Packed.resources"));
    ASSERT_FALSE(IsFile(game / "Base/Textures/Badge.png"));
    // 30 frames of play at a fixed 1/60 s, then the game quits by itself.
    WriteReplacement(keldry.home, "override/Scripts/Settings.lua", "Settings = { speed = 200, quitAfterFrames = 30 }\n",
                     game / "Base/Scripts/Settings.lua");
    const std::string snapshot = keldry.home / "last.bmp";
    keldry.environment = {{"KELDRY_TEST_SNAPSHOT", snapshot}, {"KELDRY_TEST_FIXED_DELTA", "0.0166666675"}};
    const RunResult run =
        keldry.Run(game.Path(), {"-resource", "Base", "-resource", keldry.home / "override", "-windowed"});
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

}  // namespace
