// Timers in the application's frame: scaled by the global animation speed, counted
// only while their state is current (never the loading screen's), and gone with the
// state's interpreter.
#include <memory>
#include <string>
#include <vector>

#include "engine/System/SystemLogger.h"
#include "game/Logic/PropertySystem.h"
#include "tests/game/GameFlowHarness.h"
#include "tests/support/TestLogWriter.h"

using namespace GameFlowTest;
using GameCore::GameState;

class TimerFlowTest : public Harness {
protected:
    void SetUp() override
    {
        Harness::SetUp();
        GameCore::PropertySystem::Instance().Clear();
    }

    void Enter(const std::string& first)
    {
        Start({"game", "map"}, first);
        FinishLoad();
    }

    std::string Run(const std::string& text)
    {
        std::shared_ptr<GameState> current;
        app.GetCurrentGameState(current);
        return ErrorOf([&] { current->RunScriptString(text); });
    }

    static bool Fired() { return static_cast<bool>(GameCore::PropertySystem::Instance().GetPropertyByName("fired")); }
};

TEST_F(TimerFlowTest, GameTimeRunsAtTheGlobalAnimationSpeed)
{
    Enter("game");
    EXPECT_EQ(Run("t = Timer() t:Setup(1.5, '#PropertySystem():SetValue(\"fired\", 1)')"), "<no error>");
    EXPECT_EQ(Run("GameStateSystem():SetGlobalAnimationSpeed(2)"), "<no error>");
    Frame(0.5f);
    EXPECT_FALSE(Fired()) << "1.0 s of game time";
    Frame(0.3f);
    EXPECT_TRUE(Fired()) << "1.6 s of game time after 0.8 s";
    EXPECT_EQ(Run("GameStateSystem():SetGlobalAnimationSpeed(1)"), "<no error>");
}

TEST_F(TimerFlowTest, TimersOfAStateThatWasLeftNeverFire)
{
    Enter("game");
    EXPECT_EQ(Run("t = Timer() t:Setup(0.5, '#PropertySystem():SetValue(\"fired\", 1)')"), "<no error>");
    Frame(0.25f);
    EXPECT_EQ(Run("GameStateSystem():ChangeState('map')"), "<no error>");
    FinishLoad();
    for (int i = 0; i < 10; ++i)
        Frame(0.25f);
    EXPECT_FALSE(Fired());
}

// The "system" state is never the current state, so the loading screen's timers never run
// out, over a load and the frames after it: a page-turn load that waits for one would never
// end. Each Setup made by the loading screen writes one log line that says so; a Setup of
// the loaded state writes none.
TEST_F(TimerFlowTest, TheLoadingScreensTimersNeverRunAndEachSetupSaysSoInTheLog)
{
    std::vector<std::string> log;
    const std::string prefix = "Timer:Setup on the loading screen";
    TestSupport::InstallLogWriter([&log, &prefix](const char* text) {
        if (std::string(text).rfind(prefix, 0) == 0)
            log.push_back(text);
    });
    Write("Loading/SystemState.lua",
          std::string(SystemStateScript()) +
              "function SystemLogic.FirstLoading() First = Timer() First:Setup(0.05, '#Fired = \"first\"') end\n"
              "function Loading.StartMenuLoading()\n"
              "  Started = Timer() Started:Setup(0.1, '#Fired = \"started\"')\n"
              "end\n");
    // A load of two seconds without the page effect: many loading frames.
    Write("States/other.lua", "Own = Timer() Own:Setup(100, '#OwnFired = true')\n");
    Start({"other"}, "other");
    EXPECT_GT(FinishLoad(), 10);
    for (int i = 0; i < 60; ++i)
        Frame(0.05f);
    EngineCore::SystemLogger::Instance().SetLogger(nullptr);
    EXPECT_EQ(LuaGlobal(System(), "Fired"), "nil") << "a loading-screen timer ran out";
    EXPECT_EQ(log, (std::vector<std::string>{
                       prefix + " (the \"system\" state): its text (#Fired = \"first\") will never run, since the "
                                "loading screen's timers do not count down; time its work in Loading.Update with "
                                "Loading.frameTime.",
                       prefix + " (the \"system\" state): its text (#Fired = \"started\") will never run, since the "
                                "loading screen's timers do not count down; time its work in Loading.Update with "
                                "Loading.frameTime."}));
}
