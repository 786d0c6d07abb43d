// The handle through which callbacks reach the interpreter of the state that made their
// object: which state it captures, and when it runs nothing.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>

#include "engine/Renderer/GameStateScope.h"
#include "game/Base/Application.h"
#include "game/Base/GameState.h"
#include "game/Base/StateCallback.h"

using GameCore::Application;
using GameCore::GameState;
using GameCore::StateCallback;

namespace {

class StateCallbackTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(app.CreateGameState("cb-made", made));
        ASSERT_TRUE(app.CreateGameState("cb-current", current));
        app.SetCurrentGameState(current, true);
    }
    void TearDown() override
    {
        app.SetCurrentGameState(nullptr, true);
        for (const std::shared_ptr<GameState>& state : {made, current}) {
            if (state)
                app.RemoveGameState(state, true);
        }
    }

    // The text a callback runs marks the state whose interpreter ran it.
    static std::string Mark(const std::string& tag)
    {
        return "GameStateSystem():SetBackgroundTexture('" + tag + "')";
    }

    Application& app = Application::Instance();
    std::shared_ptr<GameState> made;
    std::shared_ptr<GameState> current;
};

}  // namespace

TEST_F(StateCallbackTest, CapturesTheStateRunningOnTheThreadElseTheCurrentOne)
{
    const StateCallback outside;
    EXPECT_EQ(current, outside.Owner());
    EXPECT_EQ("", EngineCore::GameStateScope::Current());

    std::shared_ptr<GameState> inside;
    std::string insideName;
    {
        StateCallback::Scope scope(*made);
        inside = StateCallback().Owner();
        insideName = EngineCore::GameStateScope::Current();
        {
            StateCallback::Scope nested(*current);
            EXPECT_EQ(current, StateCallback::CallingState());
            EXPECT_EQ("cb-current", EngineCore::GameStateScope::Current());
        }
        // Leaving the inner scope gives the thread back to the outer state, under both faces.
        EXPECT_EQ(made, StateCallback::CallingState());
        EXPECT_EQ("cb-made", EngineCore::GameStateScope::Current());
    }
    EXPECT_EQ(made, inside);
    EXPECT_EQ("cb-made", insideName);
    EXPECT_EQ(current, StateCallback::CallingState());
    EXPECT_EQ("", EngineCore::GameStateScope::Current());

    // On another thread nothing of this thread's scope shows.
    std::shared_ptr<GameState> elsewhere;
    {
        StateCallback::Scope scope(*made);
        std::thread other([&] { elsewhere = StateCallback::CallingState(); });
        other.join();
    }
    EXPECT_EQ(current, elsewhere);
}

// With no script running both faces of the owner rule fall back to the state made
// current (a switch makes it current before the loader enters it). A callback that looks
// its owner up when it fires takes the state whose script runs, else only an entered one.
TEST_F(StateCallbackTest, OutsideEveryScopeBothFacesNameTheCurrentState)
{
    EXPECT_EQ("cb-current", EngineCore::GameStateScope::Owner());
    EXPECT_EQ(current, StateCallback::CallingState());
    EXPECT_EQ(nullptr, StateCallback::FiringState()) << "cb-current was never entered";
    StateCallback::Scope scope(*made);
    EXPECT_EQ(made, StateCallback::FiringState());
}

TEST_F(StateCallbackTest, RunsInTheOwnersInterpreterAndNothingOnceItIsLeftOrGone)
{
    std::unique_ptr<StateCallback> callback;
    {
        StateCallback::Scope scope(*made);
        callback.reset(new StateCallback);
    }
    // Script text the callback starts runs in the owner's interpreter too.
    EXPECT_TRUE(callback->Run(Mark("ran") + " GameStateSystem():RunScriptString([[#" + Mark("nested") + "]])"));
    EXPECT_EQ("nested", made->GetBackgroundTexture());
    EXPECT_EQ("", current->GetBackgroundTexture());

    made->OnLeave();
    EXPECT_FALSE(callback->Run(Mark("left")));
    EXPECT_EQ("nested", made->GetBackgroundTexture());

    app.RemoveGameState(made, true);
    made.reset();
    EXPECT_FALSE(callback->Owner());
    EXPECT_FALSE(callback->Run(Mark("gone")));
    EXPECT_EQ("", current->GetBackgroundTexture());
}
