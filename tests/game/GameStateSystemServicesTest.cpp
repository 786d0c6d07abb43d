#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "engine/Audio/MusicSystem.h"
#include "engine/Audio/SoundSystem.h"
#include "engine/Renderer/RenderSystem.h"
#include "engine/Renderer/ScreenBuffer.h"
#include "engine/System/SystemLogger.h"
#include "engine/System/WindowServices.h"
#include "game/Logic/Profile.h"
#include "game/Logic/ProfileSystem.h"
#include "game/Wrappers/GameStateSystemWrapper.h"
#include "tests/game/GameFlowHarness.h"
#include "tests/support/TestLogWriter.h"

using namespace GameFlowTest;
using GameCore::GameStateSystemWrapper;
using TestSupport::EndsWith;
using Strings = std::vector<std::string>;

namespace {

// Writes the screenshot it is asked for as a small file, so that later names see it.
class FileScreenBuffer : public EngineCore::ScreenBuffer {
public:
    Strings paths;

protected:
    bool MakeScreenshot(const char* path) override
    {
        paths.push_back(path);
        std::ofstream(path) << "BM";
        return true;
    }
    bool GetCurrentTexture(float, float, std::shared_ptr<EngineCore::Resource>&) const override { return false; }
};

// A window and a browser that note what is asked of them.
struct FakeWindow {
    std::string title = "Original Title";
    Strings opened;
    int minimized = 0;

    void Install()
    {
        EngineCore::WindowServices::Functions f;
        f.getTitle = [this] { return title; };
        f.setTitle = [this](const std::string& t) { title = t; };
        f.minimize = [this] { ++minimized; };
        f.openWebLink = [this](const std::string& link) {
            opened.push_back(link);
            return true;
        };
        EngineCore::WindowServices::Instance().Install(f);
    }
};

class GameStateSystemServicesTest : public Harness {
protected:
    FakeWindow window;
    Strings log;

    void SetUp() override
    {
        Harness::SetUp();
        window.Install();
        TestSupport::InstallLogWriter([this](const char* text) {
            if (std::string(text).rfind("GetWindowText", 0) == 0)
                log.push_back(text);
        });
        Start({"intro"}, "intro");
    }

    void TearDown() override
    {
        Harness::TearDown();
        EngineCore::SystemLogger::Instance().SetLogger(nullptr);
        EngineCore::WindowServices::Instance().Install(EngineCore::WindowServices::Functions());
        EngineCore::RenderSystem::Instance().SetScreenBufferInstance(nullptr);
    }

    std::string Run(const std::string& text)
    {
        std::shared_ptr<GameCore::GameState> current;
        app.GetCurrentGameState(current);
        return ErrorOf([&] { current->RunScriptString(text); });
    }
    std::string Global(const char* name) { return LuaGlobal(CurrentInterpreter(), name); }
};

}  // namespace

TEST(ScreenshotName, StateNameTagAndTimeMakeTheFileName)
{
    std::tm t{};
    t.tm_year = 2012 - 1900;
    t.tm_mon = 2;
    t.tm_mday = 5;
    t.tm_hour = 14;
    t.tm_min = 7;
    t.tm_sec = 9;
    const struct {
        const char* state;
        const char* levelScript;
        const char* name;
    } rows[] = {
        {"game", "Stage03/Level07/Scripts/Startup.lua", "game_[Stage03_Level07]_[2012-03-05_14-07.09].bmp"},
        {"menu", "Stage03/Level07/Scripts/Startup.lua", "menu[2012-03-05_14-07.09].bmp"},
        {"gameover", "", "gameover[2012-03-05_14-07.09].bmp"},
        {"game", "Stage01/Startup.lua", "game[2012-03-05_14-07.09].bmp"},
        {"game", "//Stage01//Level02///x.lua", "game_[Stage01_Level02]_[2012-03-05_14-07.09].bmp"},
        {"gam", "Stage03/Level07/Scripts/Startup.lua", "gam[2012-03-05_14-07.09].bmp"},
        // Nothing a script names may lead out of the folder or hide control characters.
        {"../../etc/x", "", ".._.._etc_x[2012-03-05_14-07.09].bmp"},
        {"a\\b\nc", "", "a_b_c[2012-03-05_14-07.09].bmp"},
        {"game", "S\\1/L\t2/x", "game_[S_1_L_2]_[2012-03-05_14-07.09].bmp"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(GameStateSystemWrapper::ScreenshotFileName(row.state, row.levelScript, t), row.name)
            << row.state << " " << row.levelScript;
    // A long name is not cut or overflowed.
    const std::string longName(5000, 'n');
    EXPECT_EQ(GameStateSystemWrapper::ScreenshotFileName(longName, "", t), longName + "[2012-03-05_14-07.09].bmp");
}

TEST_F(GameStateSystemServicesTest, ScreenshotsGoToTheScreenshotsFolderAndNeverOverwrite)
{
    auto buffer = std::make_shared<FileScreenBuffer>();
    EngineCore::RenderSystem::Instance().SetScreenBufferInstance(buffer);
    ASSERT_EQ(Run("GameStateSystem():MakeScreenshot(); GameStateSystem():MakeScreenshot()"), "<no error>");
    ASSERT_EQ(buffer->paths.size(), 2u);
    const std::string folder = std::filesystem::current_path().string() + "/Screenshots/";
    const std::regex pattern(R"(intro\[\d{4}-\d\d-\d\d_\d\d-\d\d\.\d\d\](_2)?\.bmp)");
    for (const std::string& path : buffer->paths) {
        ASSERT_EQ(path.compare(0, folder.size(), folder), 0) << path;
        EXPECT_TRUE(std::regex_match(path.substr(folder.size()), pattern)) << path;
    }
    EXPECT_NE(buffer->paths[0], buffer->paths[1]);
    // Within one second the second one takes the "_2" name; otherwise a later second's.
    const std::string stem = buffer->paths[0].substr(0, buffer->paths[0].size() - 4);
    EXPECT_TRUE(buffer->paths[1] == stem + "_2.bmp" ||
                buffer->paths[1].substr(0, buffer->paths[1].size() - 4) > stem)
        << buffer->paths[1];
}

TEST_F(GameStateSystemServicesTest, AFileNamedScreenshotsIsReportedAndNothingIsWritten)
{
    auto buffer = std::make_shared<FileScreenBuffer>();
    EngineCore::RenderSystem::Instance().SetScreenBufferInstance(buffer);
    std::ofstream("Screenshots") << "not a folder";
    EXPECT_TRUE(EndsWith(Run("GameStateSystem():MakeScreenshot()"), "ScreenShots file must be deleted."));
    EXPECT_TRUE(buffer->paths.empty());
}

TEST_F(GameStateSystemServicesTest, TheTitleIsTheFirstTitleFollowedByTheLatestText)
{
    ASSERT_EQ(Run("GameStateSystem():SetWindowText('x')"), "<no error>");
    EXPECT_EQ(window.title, "Original Title" + std::string("x"));
    EXPECT_EQ(log, (Strings{"GetWindowText 0", "GetWindowText 1", "GetWindowText 2", "GetWindowText 3",
                            "GetWindowText 4", "GetWindowText 5", "GetWindowText name=Original Title",
                            "GetWindowText 6", "GetWindowText 7"}));
    log.clear();
    ASSERT_EQ(Run("GameStateSystem():SetWindowText('x')"), "<no error>");
    EXPECT_EQ(window.title, "Original Titlex");  // not "xx"
    EXPECT_EQ(log, (Strings{"GetWindowText 0", "GetWindowText 1", "GetWindowText 2", "GetWindowText 4",
                            "GetWindowText 5", "GetWindowText name=Original Titlex", "GetWindowText 6",
                            "GetWindowText 7"}));
    ASSERT_EQ(Run("GameStateSystem():SetWindowText(' - Level 2')"), "<no error>");
    EXPECT_EQ(window.title, "Original Title - Level 2");
}

// Survey mode is process-wide and cannot be switched off, so its cases run in order here.
TEST_F(GameStateSystemServicesTest, SurveyLinksOpenOnlyInSurveyModeAndOnlyWhenSet)
{
    ASSERT_EQ(Run("local g = GameStateSystem()\n"
                  "g:SetOnGameQuitLink('https://example.org/quit?a=1&b=\"; rm -rf ~\"')\n"
                  "g:SetOnSurveyEndLink('https://example.org/end')\n"
                  "g:RunSurveyBrowser(0); g:RunSurveyBrowser(1)"),
              "<no error>");
    EXPECT_TRUE(window.opened.empty());
    EXPECT_EQ(window.minimized, 0);
    EXPECT_FALSE(GameStateSystemWrapper::IsEnabledSurveyMode());

    ASSERT_EQ(Run("local g = GameStateSystem(); g:EnableSurveyMode(); g:RunSurveyBrowser(0); g:RunSurveyBrowser(2)"),
              "<no error>");
    EXPECT_TRUE(GameStateSystemWrapper::IsEnabledSurveyMode());
    // The link reaches the opener whole, as one argument.
    EXPECT_EQ(window.opened, (Strings{"https://example.org/end", "https://example.org/quit?a=1&b=\"; rm -rf ~\""}));
    EXPECT_EQ(window.minimized, 2);

    // An empty link opens nothing.
    window.opened.clear();
    ASSERT_EQ(Run("GameStateSystem():SetOnSurveyEndLink(''); GameStateSystem():RunSurveyBrowser(0)"), "<no error>");
    EXPECT_TRUE(window.opened.empty());

    // The end of a run not asked for by a script opens the game-quit link; a script's quit does not.
    window.opened.clear();
    app.Release();
    released = true;
    EXPECT_EQ(window.opened, Strings{"https://example.org/quit?a=1&b=\"; rm -rf ~\""});
    window.opened.clear();
    app.Release();
    EXPECT_TRUE(window.opened.empty());
}

TEST_F(GameStateSystemServicesTest, VolumeSettersChangeTheEngineAndTheSelectedProfile)
{
    EngineCore::SoundSystem::Instance().SetVolume(0.5f);
    EngineCore::MusicSystem::Instance().SetVolume(0.5f);
    std::vector<float> heardSound, heardMusic;
    EngineCore::SoundSystem::Instance().SetEvent(std::function<void(float)>([&](float v) { heardSound.push_back(v); }));
    EngineCore::MusicSystem::Instance().SetMusicEvent([&](float v) { heardMusic.push_back(v); });

    // The volume takes effect, unclamped, and the run's selected profile keeps it.
    EXPECT_EQ(Run("GameStateSystem():SetSoundVolume(2.0)"), "<no error>");
    EXPECT_EQ(Run("GameStateSystem():SetMusicVolume(0.25)"), "<no error>");
    std::shared_ptr<GameCore::Profile> selected;
    ASSERT_TRUE(GameCore::ProfileSystem::Instance().GetSelectedProfile(selected) && selected);
    EXPECT_EQ(selected->soundVolume, 2.0f);
    EXPECT_EQ(selected->musicVolume, 0.25f);
    ASSERT_EQ(Run("Sound = GameStateSystem():GetSoundVolume(); Music = GameStateSystem():GetMusicVolume()"),
              "<no error>");
    EXPECT_EQ(Global("Sound"), "2");
    EXPECT_EQ(Global("Music"), "0.25");
    EXPECT_EQ(heardSound, std::vector<float>{2.0f});
    EXPECT_EQ(heardMusic, std::vector<float>{0.25f});
    // Stop-all stays unconnected: nothing is called, nothing fails.
    EXPECT_EQ(Run("GameStateSystem():StopAllSounds()"), "<no error>");

    EngineCore::SoundSystem::Instance().SetEvent(std::function<void(float)>());
    EngineCore::MusicSystem::Instance().SetMusicEvent(nullptr);
    EngineCore::SoundSystem::Instance().SetVolume(1.0f);
    EngineCore::MusicSystem::Instance().SetVolume(1.0f);
}
