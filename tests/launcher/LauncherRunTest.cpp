#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/Logic/Profile.h"
#include "game/Logic/ProfilesFile.h"
#include "platform/os/InstanceLock.h"
#include "tests/launcher/LauncherFixture.h"

using namespace LauncherTest;

namespace {

const char* const kSystemState =
    "SystemLogic = { CursorAnimation = {} }\n"
    "Loading = { LoadingBar = {} }\n"
    "PageFX = {}\n"
    "SystemLogic.CursorAnimation.player = AnimationPlayer()\n"
    "SystemLogic.CursorAnimation.player:SetName('SystemLogic.CursorAnimation.player')\n"
    "Loading.LoadingBar.AnimationPlayer = AnimationPlayer()\n"
    "Loading.LoadingBar.AnimationPlayer:SetName('Loading.LoadingBar.AnimationPlayer')\n"
    "function SystemLogic.FirstLoading() end\n"
    "function Loading.StartGameLoading() end\n"
    "function Loading.StartMenuLoading() end\n"
    "function Loading.StartPageFX() GameStateSystem():EndPageFx() end\n"
    "function Loading.Update() end\n";

const char* const kStartup =
    "local menu = GameState(); menu:SetName('menu'); menu:SetStartupScript('States/menu.lua')\n"
    "Application():SetStartupScript('Scripts/GameAPI.lua')\n"
    "Application():SetCurrentGameState('menu')\n";

// The menu counts frames through its updater and acts on the third.
std::string MenuScript(const std::string& onThirdFrame)
{
    return "Frames = 0\n"
           "function OnFrame(dt) Frames = Frames + 1; if Frames == 3 then " +
           onThirdFrame +
           " end end\n"
           "GameStateSystem():SetUpdaterFunctionName('OnFrame')\n";
}

const char* const kBadLexicalCast = "bad lexical cast: source type value could not be interpreted as target";

}  // namespace

class LauncherRunTest : public LauncherFixture {
protected:
    void WriteGame(const std::string& preStartup, const std::string& menu)
    {
        folder.WriteFile("Base/Loading/Scripts/PreStartup.lua", preStartup);
        folder.WriteFile("Base/Loading/Scripts/Startup.lua", kStartup);
        folder.WriteFile("Base/Loading/SystemState.lua", kSystemState);
        folder.WriteFile("Base/Scripts/GameAPI.lua", "ApiRan = 1\n");
        folder.WriteFile("Base/States/menu.lua", menu);
    }

    void ExpectFatalDialogOnly()
    {
        ASSERT_EQ(dialogs.size(), 1u);
        EXPECT_EQ(dialogs[0].kind, ApplicationCore::DialogKind::Error);
        EXPECT_EQ(dialogs[0].caption, "Fatal error");
        EXPECT_EQ(dialogs[0].text, "Please restart your application.");
    }

    bool ProfilesWritten() const
    {
        struct stat info {};
        return stat(ProfilesPath().c_str(), &info) == 0;
    }
};

TEST_F(LauncherRunTest, AQuitByScriptEndsTheLoopAndShutsDownInOrder)
{
    WriteGame("", MenuScript("GameStateSystem():Quit()"));
    EXPECT_EQ(Launch({"-resource", "Base", "-nosound", "-width", "800"}), 0);
    EXPECT_TRUE(dialogs.empty());
    EXPECT_EQ(errors, "");
    EXPECT_EQ(record->calls,
              (std::vector<std::string>{"made", "Icon102", "SoundVolume", "MusicVolume", "StreamVolume",
                                        "SystemCursor", "ScreenSettings", "ScreenSettingsUpdater", "Open",
                                        "ScreenBuffer", "Run", "Close", "destroyed"}));
    // The delegates were in place before the first volume; no sound until the profiles say so.
    ASSERT_FALSE(record->soundVolumes.empty());
    EXPECT_EQ(record->soundVolumes.front(), 0.0f);
    ASSERT_FALSE(record->musicVolumes.empty());
    EXPECT_EQ(record->musicVolumes.front(), 0.0f);
    EXPECT_TRUE(record->deviceManagerAtOpen);
    EXPECT_EQ(record->settingsAtOpen.width, 800);
    EXPECT_EQ(record->settingsAtOpen.height, 768);
    EXPECT_EQ(record->settingsAtOpen.bpp, 32);
    EXPECT_TRUE(record->log.empty());
    EXPECT_LT(record->frames, 2000);
}

TEST_F(LauncherRunTest, NoSoundHoldsUntilTheSelectedProfileBringsItsOwnVolumes)
{
    auto profile = std::make_shared<GameCore::Profile>();
    profile->id = 0;
    profile->soundVolume = 0.25f;
    profile->musicVolume = 0.75f;
    const std::vector<unsigned char> bytes = GameCore::EncodeProfilesFile({profile}, 0, "");
    std::filesystem::create_directories(ProfilesFolder());
    std::ofstream(ProfilesPath(), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                          static_cast<std::streamsize>(bytes.size()));
    WriteGame("", MenuScript("GameStateSystem():Quit()"));
    EXPECT_EQ(Launch({"-resource", "Base", "-nosound"}), 0);
    ASSERT_GE(record->soundVolumes.size(), 2u);
    EXPECT_EQ(record->soundVolumes[0], 0.0f);
    EXPECT_EQ(record->soundVolumes[1], 0.25f);
    ASSERT_GE(record->musicVolumes.size(), 2u);
    EXPECT_EQ(record->musicVolumes[0], 0.0f);
    EXPECT_EQ(record->musicVolumes[1], 0.75f);
}

TEST_F(LauncherRunTest, AScriptErrorInAFrameIsFatal)
{
    WriteGame("", MenuScript("NoSuchFunction()"));
    EXPECT_EQ(Launch({"-resource", "Base"}), 1);
    ASSERT_EQ(record->log.size(), 1u);
    const std::string& text = record->log[0];
    EXPECT_EQ(text.rfind("\n\n*** FatalError: ", 0), 0u) << text;
    EXPECT_NE(text.find("NoSuchFunction"), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.size() - 2), "\n\n");
    EXPECT_EQ(errors, text + "Log file: /logs/Vexa.log\n");
    EXPECT_EQ(windowsHidden, 1);
    ExpectFatalDialogOnly();
    // Shutdown still runs completely.
    ASSERT_GE(record->calls.size(), 2u);
    EXPECT_EQ(record->calls[record->calls.size() - 2], "Close");
    EXPECT_EQ(record->calls.back(), "destroyed");
}

TEST_F(LauncherRunTest, FailuresBeforeTheWindowReachOnlyStderrAndTheBox)
{
    const struct {
        std::vector<std::string> arguments;
        const char* preStartup;
        const char* errorPart;
        int backEnds;
    } rows[] = {
        {{"-resource", "Base", "-bpp", "16x"}, "", kBadLexicalCast, 0},
        {{"-resource", "Base"}, "this is not Lua", "PreStartup.lua", 1},
    };
    for (const auto& row : rows) {
        record = std::make_shared<BackEndRecord>();
        dialogs.clear();
        errors.clear();
        backEndsMade = 0;
        WriteGame(row.preStartup, MenuScript("GameStateSystem():Quit()"));
        EXPECT_EQ(Launch(row.arguments), 1) << row.errorPart;
        EXPECT_EQ(errors.rfind("\n\n*** FatalError: ", 0), 0u) << errors;
        EXPECT_NE(errors.find(row.errorPart), std::string::npos) << errors;
        // No log was opened by this run: none is named, even though one exists.
        EXPECT_EQ(errors.find("Log file: "), std::string::npos) << errors;
        EXPECT_EQ(backEndsMade, row.backEnds);
        EXPECT_TRUE(record->log.empty());
        EXPECT_EQ(windowsHidden, 0);
        for (const std::string& call : record->calls)
            EXPECT_NE(call, "Open");
        ExpectFatalDialogOnly();
    }
}

TEST_F(LauncherRunTest, ASecondInstanceWarnsAndStartsNothing)
{
    WriteGame("", MenuScript("GameStateSystem():Quit()"));
    OsPlatform::InstanceLock running(LockName());
    ASSERT_EQ(running.GetState(), OsPlatform::InstanceLock::State::Held);
    EXPECT_EQ(Launch({"-resource", "Base"}), 0);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].kind, ApplicationCore::DialogKind::Warning);
    EXPECT_EQ(dialogs[0].caption, "Warning");
    EXPECT_EQ(dialogs[0].text, "Game already is started!");
    EXPECT_EQ(backEndsMade, 0);
    EXPECT_EQ(errors, "");
    EXPECT_FALSE(ProfilesWritten());

}
