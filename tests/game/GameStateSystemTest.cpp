#include <stdexcept>
#include <string>
#include <vector>

#include "engine/System/SystemLogger.h"
#include "tests/game/GameFlowHarness.h"
#include "tests/support/TestLogWriter.h"

using namespace GameFlowTest;
using GameCore::GameState;

class GameStateSystemTest : public Harness {
protected:
    std::vector<std::string> log;

    void SetUp() override
    {
        Harness::SetUp();
        // Only the lines this class writes.
        TestSupport::InstallLogWriter([this](const char* text) {
            const std::string line = text;
            if (line.rfind("scriptName: ", 0) == 0 || line.rfind("Game state (", 0) == 0)
                log.push_back(text);
        });
    }

    void TearDown() override
    {
        EngineCore::SystemLogger::Instance().SetLogger(nullptr);
        Harness::TearDown();
    }

    // Starts with the "game" and "map" states and enters `first`.
    void Enter(const std::string& first)
    {
        Start({"game", "map"}, first);
        FinishLoad();
        ASSERT_EQ(Current(), first);
    }

    std::string Current()
    {
        std::shared_ptr<GameState> current;
        return app.GetCurrentGameState(current) ? current->GetStateName() : "<none>";
    }

    // Runs a script text in the current state; the text's error, if any.
    std::string Run(const std::string& text)
    {
        std::shared_ptr<GameState> current;
        app.GetCurrentGameState(current);
        return ErrorOf([&] { current->RunScriptString(text); });
    }

    std::string Global(const char* name) { return LuaGlobal(CurrentInterpreter(), name); }
};

TEST_F(GameStateSystemTest, RunScriptTakesStageAndLevelOnlyFromAWellFormedLevelPath)
{
    const struct {
        const char* path;
        const char* stageLevel;
        bool logged;
    } rows[] = {
        {"Stage07/Level12/Scripts/Startup.lua", "7 12", true},
        {"Base/Stage01/Level05/Scripts/Startup.lua", "1 5", true},
        // The first group would be "7/": no match.
        {"Stage7/Level12/Scripts/Startup.lua", "1 5", false},
        // Matches, but "0a" is not a number: the script still runs, nothing else happens.
        {"Stage0a/Level03/Scripts/Startup.lua", "1 5", false},
        {"Levels/Plain.lua", "1 5", false},
    };
    for (const auto& row : rows)
        Write(row.path, "Ran = (Ran or 0) + 1\n");
    Enter("game");
    for (const auto& row : rows) {
        log.clear();
        Run("Ran = 0");
        EXPECT_EQ(Run(std::string("GameStateSystem():RunScript('") + row.path + "')"), "<no error>") << row.path;
        EXPECT_EQ(Global("Ran"), "1") << row.path;
        Run("local s, l = GameStateSystem():GetCurrentStageLevel(); Got = s .. ' ' .. l");
        EXPECT_EQ(Global("Got"), row.stageLevel) << row.path;
        EXPECT_EQ(log, row.logged ? std::vector<std::string>{std::string("scriptName: ") + row.path}
                                  : std::vector<std::string>{})
            << row.path;
    }
}

TEST_F(GameStateSystemTest, RunScriptOfAMissingLevelFileFailsAfterTheBookkeeping)
{
    Enter("game");
    const std::string error = Run("GameStateSystem():RunScript('Stage03/Level04/Scripts/Startup.lua')");
    EXPECT_NE(error, "<no error>");
    Run("local s, l = GameStateSystem():GetCurrentStageLevel(); Got = s .. ' ' .. l");
    EXPECT_EQ(Global("Got"), "3 4");
    EXPECT_EQ(log, std::vector<std::string>{"scriptName: Stage03/Level04/Scripts/Startup.lua"});
}

TEST_F(GameStateSystemTest, RunScriptStringRunsOnlyHashTexts)
{
    Enter("game");
    const struct {
        const char* text;
        const char* value;
    } rows[] = {
        {"#Value = 'ran'", "ran"},
        {"#", "nil"},
        {"Value = 'plain'", "nil"},
        {"", "nil"},
        {"x", "nil"},
    };
    for (const auto& row : rows) {
        Run("Value = nil");
        EXPECT_EQ(Run(std::string("GameStateSystem():RunScriptString([[") + row.text + "]])"), "<no error>")
            << row.text;
        EXPECT_EQ(Global("Value"), row.value) << row.text;
    }
    const std::string error = Run("GameStateSystem():RunScriptString('#this is not Lua')");
    EXPECT_NE(error, "<no error>");
}

TEST_F(GameStateSystemTest, TheUpdaterCallsTheNamedFunctionWithTheScaledFrameTime)
{
    Enter("game");
    Run("Calls = 0\n"
        "function OnFrame(dt) Calls = Calls + 1; Last = dt; if dt == 0.0166666675 then Exact = 1 end end\n"
        "GameStateSystem():SetUpdaterFunctionName('OnFrame')");
    Frame(1.0f / 60.0f);
    EXPECT_EQ(Global("Calls"), "1");
    EXPECT_EQ(Global("Exact"), "1");

    Run("GameStateSystem():SetGlobalAnimationSpeed(2)");
    Frame(0.25f);
    EXPECT_EQ(Global("Calls"), "2");
    EXPECT_EQ(Global("Last"), "0.5");
    Run("GameStateSystem():SetGlobalAnimationSpeed(1)");

    // An empty name keeps the updater installed but calls nothing.
    Run("GameStateSystem():SetUpdaterFunctionName('')");
    Frame();
    EXPECT_EQ(Global("Calls"), "2");

    // A name the state does not define ends the frame with an error.
    Run("GameStateSystem():SetUpdaterFunctionName('Missing')");
    EXPECT_NE(ErrorOf([&] { Frame(); }), "<no error>");
}

TEST_F(GameStateSystemTest, EachStateKeepsTheUpdaterNameItInstalled)
{
    Write("States/game.lua", "GameCalls = 0; function GameFrame() GameCalls = GameCalls + 1 end\n");
    Enter("game");
    Run("GameStateSystem():SetUpdaterFunctionName('GameFrame')");
    Run("GameStateSystem():ChangeState('map')");
    FinishLoad();
    ASSERT_EQ(Current(), "map");
    Run("function MapFrame() MapCalls = 1 end\nGameStateSystem():SetUpdaterFunctionName('MapFrame')");
    Frame();
    EXPECT_EQ(Global("MapCalls"), "1");

    // Back in "game": a fresh interpreter whose script defines GameFrame again, not MapFrame.
    Run("GameStateSystem():ChangeState('game')");
    FinishLoad();
    ASSERT_EQ(Current(), "game");
    EXPECT_EQ(ErrorOf([&] { Frame(); }), "<no error>");
    EXPECT_NE(Global("GameCalls"), "0");
}

TEST_F(GameStateSystemTest, AnUnknownStateNameCancelsAPendingSwitchWithALogLine)
{
    Enter("game");
    Run("GameStateSystem():ChangeState('map')");
    Run("GameStateSystem():ChangeState('Map')");
    EXPECT_EQ(log, std::vector<std::string>{"Game state (Map) does not exist, so no switch is made (a pending one is "
                                            "cancelled); the states are: game, map, system."});
    Frame();
    Frame();
    EXPECT_FALSE(app.IsWaiting());
    EXPECT_EQ(Current(), "game");
}

TEST_F(GameStateSystemTest, QuitEndsTheLoopAtTheNextFrameAfterTheRestOfTheScript)
{
    Enter("game");
    EXPECT_EQ(Run("GameStateSystem():Quit(); After = 1"), "<no error>");
    EXPECT_EQ(Global("After"), "1");
    EXPECT_TRUE(Frame());
}

TEST_F(GameStateSystemTest, QuitFromStateLeavesForTheNamedOrTheFirstRemainingState)
{
    Enter("game");
    Run("local g = GameStateSystem(); Name = g:GetName(); g:QuitFromState(); g:ChangeState('map')");
    EXPECT_EQ(Global("Name"), "game");
    FinishLoad();
    EXPECT_EQ(Current(), "map");
    EXPECT_FALSE(State("game"));
}

TEST_F(GameStateSystemTest, QuitFromStateAloneGoesToTheFirstRemainingStateByName)
{
    Enter("map");
    Run("GameStateSystem():QuitFromState()");
    FinishLoad();
    // "system" is never chosen.
    EXPECT_EQ(Current(), "game");
    EXPECT_FALSE(State("map"));
}

TEST_F(GameStateSystemTest, EndPageFxReleasesALoadWaitingForThePageEffect)
{
    Start({"game", "map"}, "");
    RunSystem("EndPageFxAfter = nil");
    RunSystem("function Loading.Update() if PageFX.backgroundTextureNew then GameStateSystem():EndPageFx() end end");
    app.SetCurrentGameState(State("game"), false);
    FinishLoad(300);
    EXPECT_EQ(Current(), "game");
}

TEST_F(GameStateSystemTest, BackgroundTexturesGoToTheCurrentState)
{
    Enter("game");
    Run("local g = GameStateSystem(); g:SetBackgroundTexture('Page.png'); g:SetBackgroundEndTexture('End.png')");
    EXPECT_EQ(State("game")->GetBackgroundTexture(), "Page.png");
    EXPECT_EQ(State("game")->GetBackgroundEndTexture(), "End.png");
}

TEST_F(GameStateSystemTest, AsyncLoadingNeedsAnIndexedFolder)
{
    Write("Music/a.lua", "A = 1");
    Enter("game");
    EXPECT_EQ(Run("GameStateSystem():AddAsyncLoadingDirectory('Music')"), "<no error>");
    const std::string error = Run("GameStateSystem():AddAsyncLoadingDirectory('NoSuchFolder')");
    EXPECT_NE(error.find("Error: AddAsyncLoadingDirectory error."), std::string::npos) << error;
    EXPECT_EQ(Run("local g = GameStateSystem(); g:PrecacheDataFolder('Music/a.lua'); g:FreeDataCache()"),
              "<no error>");
}
