// The "ActionTrack" script class through the real application and interpreter.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/game/GameFlowHarness.h"
#include "tests/support/TrackFileWriter.h"

using testing::HasSubstr;

namespace {

std::string Bytes(const std::vector<unsigned char>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

class ActionTrackScriptTest : public GameFlowTest::Harness {
protected:
    void SetUp() override
    {
        GameFlowTest::Harness::SetUp();
        Write("Tracks/keys.bin", Bytes(TestSupport::TrackFile({{0.0f, "K0 = (K0 or 0) + 1"},
                                                               {0.5f, "K5 = (K5 or 0) + 1"},
                                                               {2.0f, "K20 = (K20 or 0) + 1"}})));
        Write("Tracks/zero.bin", Bytes(TestSupport::TrackFile({{0.0f, "Z = (Z or 0) + 1"}})));
        Write("Tracks/drop.bin", Bytes(TestSupport::TrackFile({{0.0f, "t = nil"}, {0.5f, "K5 = (K5 or 0) + 1"}})));
        Write("Tracks/short.bin", "kT.actiontrack.bin");
        // "intro" is entered at once: no loading screen, no two-second minimum.
        Start({"intro"}, "intro");
    }

    void Run(const std::string& text)
    {
        std::shared_ptr<GameCore::GameState> current;
        ASSERT_TRUE(app.GetCurrentGameState(current));
        ASSERT_TRUE(current->RunScriptString(text)) << text;
    }
    std::string FailureOf(const std::string& text) { return GameFlowTest::ErrorOf([&] { Run(text); }); }
    std::string Global(const char* name) { return GameFlowTest::LuaGlobal(GameFlowTest::CurrentInterpreter(), name); }
    std::string Keys() { return Global("K0") + " " + Global("K5") + " " + Global("K20"); }

    // Frames of 1/60 s; at speed 30 the track moves half a second each.
    void Frames(int count)
    {
        for (int i = 0; i < count; ++i)
            Frame();
    }
};

}  // namespace

TEST_F(ActionTrackScriptTest, TracksAdvanceOnlyWithANamedPlayerInTheirState)
{
    Run("t = ActionTrack() t:Load('Tracks/keys.bin') t:SetAnimationSpeed(30) t:Play()");
    Frames(3);
    EXPECT_EQ("nil nil nil", Keys());
    Run("p = AnimationPlayer() p:SetName('p')");
    Frames(1);
    EXPECT_EQ("1 1 nil", Keys());
}

TEST_F(ActionTrackScriptTest, KeysRunAsTheTrackPlays)
{
    Run("p = AnimationPlayer() p:SetName('p')");
    struct Case {
        const char* setup;
        int frames;
        const char* keys;
    } cases[] = {
        {"t:Play()", 6, "1 1 1"},
        {"t:SetAnimationFrame(15) t:Play()", 1, "nil 1 nil"},
        {"t:SetAnimationFrame(-1) t:Play()", 1, "1 1 nil"},
        {"t:SetAnimationFrame(60) t:Play()", 2, "nil nil 1"},
        {"t:SetAnimationType(1) t:Play()", 8, "2 2 2"},
        {"t:SetAnimationType(1.9) t:Play()", 8, "2 2 2"},
        {"t:SetAnimationType(2) t:Play()", 8, "1 1 1"},
        {"t:Play() t:Stop()", 4, "nil nil nil"},
        {"t:Resume()", 1, "1 1 nil"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setup);
        Run(std::string("K0, K5, K20 = nil, nil, nil t = ActionTrack() t:Load('Tracks/keys.bin')"
                        " t:SetAnimationSpeed(30) ") +
            c.setup);
        Frames(c.frames);
        EXPECT_EQ(c.keys, Keys());
        Run("t = nil");
    }
}

TEST_F(ActionTrackScriptTest, PauseAndStopMoveTheTrackAndItsPlayers)
{
    Run("p = AnimationPlayer() p:SetName('p')\n"
        "t = ActionTrack() t:Load('Tracks/keys.bin') t:SetAnimationSpeed(30) t:SetAnimationType(1)\n"
        "t:AddAnimationPlayer('p') t:Play()");
    Frames(5);  // 0.5, 1.0, 1.5, 2.0, then wrapped to 0.5
    EXPECT_EQ("2 2 1", Keys());
    Run("p:SetAnimationFrame(27) t:Pause() PT = p:GetCurrentAnimationTime() t:Play()");
    EXPECT_EQ("0.5", Global("PT")) << "pulled back to the key run last";
    Frames(1);
    EXPECT_EQ("2 2 1", Keys()) << "that key is not run again";
    Run("t:Stop() t:Play()");
    Frames(1);
    EXPECT_EQ("3 3 1", Keys()) << "stop forgets it: the key at 0 runs again";

    // Pause before any key ran keeps the position.
    Run("K0, K5, K20 = nil, nil, nil u = ActionTrack() u:Load('Tracks/keys.bin') u:SetAnimationSpeed(30)"
        " u:SetAnimationFrame(30) u:Pause() u:Play() t:Stop()");
    Frames(2);
    EXPECT_EQ("nil nil 1", Keys());
}

TEST_F(ActionTrackScriptTest, FailuresAndEdgeTracks)
{
    Run("p = AnimationPlayer() p:SetName('p') gone = AnimationPlayer() gone:SetName('gone') gone = nil");
    struct Case {
        const char* script;
        const char* tail;
    } cases[] = {
        {"ActionTrack():Load('Tracks/none.bin')", "Error: Resource (Tracks/none.bin) loading error."},
        {"ActionTrack():Load('Tracks/short.bin')", "Error: Resource (Tracks/short.bin) data error."},
        {"ActionTrack():AddAnimationPlayer('nobody')", "Error: Animation player (nobody) not found."},
        // Its name stays listed until the next frame, with no player behind it.
        {"ActionTrack():AddAnimationPlayer('gone')", "Error: Animation player (gone) not found."},
        {"ActionTrack():SetAnimationSpeed()", "number expected, got no value"},
        {"ActionTrack():AddAnimationPlayer('p')", "<no error>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        EXPECT_THAT(FailureOf(c.script), HasSubstr(c.tail));
    }

    // A looping track of length 0 stays at 0 and runs its key once.
    Run("z = ActionTrack() z:Load('Tracks/zero.bin') z:SetAnimationType(1) z:SetAnimationSpeed(30) z:Play()");
    Frames(3);
    EXPECT_EQ("1", Global("Z"));

    // A key that drops its own track: the step it runs in ends normally, and nothing runs after.
    Run("t = ActionTrack() t:Load('Tracks/drop.bin') t:SetAnimationSpeed(30) t:Play()");
    Frames(3);
    EXPECT_EQ("nil", Global("t"));
    EXPECT_EQ("1", Global("K5"));
}
