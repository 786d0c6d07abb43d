// Timers in the application's frame: scaled by the global animation speed, counted
// only while their state is current, and gone with the state's interpreter.
#include <memory>
#include <string>

#include "game/Logic/PropertySystem.h"
#include "tests/game/GameFlowHarness.h"

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
