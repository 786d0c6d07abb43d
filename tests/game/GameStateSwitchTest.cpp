#include <chrono>
#include <stdexcept>

#include "tests/game/GameFlowHarness.h"

using namespace GameFlowTest;
using GameCore::GameState;

namespace {

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The error text a script file gives when it runs on its own.
std::string ScriptError(const std::string& path)
{
    GameLuaScriptImpl::LuaScriptEngine engine;
    engine.Open();
    return ErrorOf([&] { engine.RunFile(path); });
}

}  // namespace

class GameStateSwitchTest : public Harness {
protected:
    void SetTextures()
    {
        const struct {
            const char* state;
            const char* background;
            const char* end;
        } textures[] = {
            {"game", "PageGame", "End\"Game\\"},
            {"map", "PageMap", "EndMap"},
            {"menu", "PageMenu", "EndMenu"},
        };
        for (const auto& t : textures) {
            State(t.state)->SetBackgroundTexture(t.background);
            State(t.state)->SetBackgroundEndTexture(t.end);
        }
    }

    std::string CurrentName()
    {
        std::shared_ptr<GameState> current;
        return app.GetCurrentGameState(current) ? current->GetStateName() : "<none>";
    }
};

// One switch per row of the switch table that has a current state, in a chain.
TEST_F(GameStateSwitchTest, EachPairResetsTheLoadingScreenAndPlaysTheEffectItsRowSays)
{
    Start({"game", "map", "menu", "intro", "other"}, "");
    SetTextures();
    // No state is current: "menu" starts loading at once, with the effect.
    app.SetCurrentGameState(State("menu"), false);
    FinishLoad();
    EXPECT_EQ(Trace(), "FirstLoading|MenuLoading|PageFX:>PageMenu|");

    const struct {
        const char* next;
        const char* trace;
        bool cursorHidden;
    } rows[] = {
        {"map", "MenuLoading|PageFX:>PageMap|", false},
        {"game", "MenuLoading|PageFX:>PageGame|", false},
        // The system state's end texture becomes the game's own, equal to the new state's:
        // no effect plays.
        {"game", "GameLoading:End\"Game\\|", false},
        // Leaving "game" for "map" empties the end texture: the effect always plays.
        {"map", "MenuLoading|PageFX:>PageMap|", false},
        {"menu", "MenuLoading|PageFX:>PageMenu|", false},
        {"intro", "GameLoading:-|", true},
        {"menu", "MenuLoading|PageFX:>PageMenu|", false},
        // A pair not in the table: menu loading and no effect.
        {"game", "MenuLoading|", false},
        {"other", "MenuLoading|", false},
    };
    for (const auto& row : rows) {
        const std::string from = CurrentName();
        ClearTrace();
        cursor->calls.clear();
        app.SetCurrentGameState(State(row.next), false);
        if (std::string(row.next) == "intro") {
            // Entered at once, inside the frame that starts the switch.
            Frame();
            EXPECT_FALSE(app.IsWaiting());
            EXPECT_EQ(LuaGlobal(CurrentInterpreter(), "Visits"), "1");
        } else {
            FinishLoad();
        }
        EXPECT_EQ(CurrentName(), row.next) << from << " -> " << row.next;
        EXPECT_EQ(Trace(), row.trace) << from << " -> " << row.next;
        EXPECT_EQ(cursor->calls.find('H') != std::string::npos, row.cursorHidden) << from << " -> " << row.next;
    }
}

TEST_F(GameStateSwitchTest, IntroFirstLoadsAtOnceWithoutLoadingScreen)
{
    Start({"intro", "menu"}, "");
    cursor->calls.clear();
    app.SetCurrentGameState(State("intro"), false);
    // Back from the call: the intro's script has run, and no load is pending.
    EXPECT_EQ(LuaGlobal(CurrentInterpreter(), "Visits"), "1");
    EXPECT_EQ(LuaGlobal(CurrentInterpreter(), "SeenApi"), "nil");
    EXPECT_FALSE(app.IsWaiting());
    EXPECT_EQ(Trace(), "");
    EXPECT_EQ(cursor->calls, "H");
    EXPECT_FALSE(Frame());
    EXPECT_EQ(CurrentName(), "intro");
}

TEST_F(GameStateSwitchTest, AnIntroErrorLeavesTheStartupScript)
{
    Write("Startup.lua",
          "local s = GameState(); s:SetName('intro'); s:SetStartupScript('States/broken.lua')\n"
          "Application():SetCurrentGameState('intro')\n");
    Prepare();
    const std::string expected = ScriptError("States/broken.lua");
    EXPECT_NE(expected.find("List of script files:\n\tStates/broken.lua\n"), std::string::npos);
    EXPECT_EQ(ErrorOf([&] { app.Init("Startup.lua"); }), expected);
}

TEST_F(GameStateSwitchTest, AnErrorWhileLoadingEndsTheLoadAndThrowsOnTheNextFrame)
{
    StartWithScript("local s = GameState(); s:SetName('broken'); s:SetStartupScript('States/broken.lua')\n"
                    "Application():SetCurrentGameState('broken')\n");
    ASSERT_TRUE(AwaitLoadStart());
    int frames = 0;
    while (app.IsWaiting() && frames < 600) {
        EXPECT_FALSE(Frame());
        ++frames;
    }
    EXPECT_FALSE(app.IsWaiting());
    const std::string expected = ScriptError("States/broken.lua");
    EXPECT_EQ(ErrorOf([&] { Frame(); }), expected);
    // The game's own script ran first and is listed nowhere: it had ended.
    EXPECT_EQ(expected.find("GameAPI"), std::string::npos);
}

TEST_F(GameStateSwitchTest, TheLoadingScreenStaysTwoSecondsWithoutEffectAndNotLongerWithOne)
{
    Start({"other", "menu"}, "");
    // With a page-turn effect that ends at once, the load ends as soon as it can.
    auto start = std::chrono::steady_clock::now();
    app.SetCurrentGameState(State("menu"), false);
    FinishLoad();
    EXPECT_LT(SecondsSince(start), 2.0);

    // "menu" to "other" plays no effect: the screen stays for the full minimum.
    start = std::chrono::steady_clock::now();
    app.SetCurrentGameState(State("other"), false);
    const int frames = FinishLoad();
    const double seconds = SecondsSince(start);
    EXPECT_GE(seconds, 2.0);
    EXPECT_GT(frames, 10);
    // Each loading frame sleeps at least 30 ms, leaving the processor to the loader.
    EXPECT_LE(frames * 0.030, seconds);
    // The loading screen saw its frame times, printed exactly.
    EXPECT_EQ(LuaGlobal(System(), "ExactFrameTime"), "true");
}

TEST_F(GameStateSwitchTest, ThePageEffectHoldsTheLoadUntilAScriptEndsIt)
{
    Start({"menu"}, "");
    RunSystem("EndPageFxAfter = nil");
    app.SetCurrentGameState(State("menu"), false);
    ASSERT_TRUE(AwaitLoadStart());
    for (int i = 0; i < 90; ++i)
        Frame();
    EXPECT_TRUE(app.IsWaiting());
    // Started once however many frames the effect takes.
    EXPECT_EQ(Trace(), "FirstLoading|MenuLoading|PageFX:>|");
    EXPECT_TRUE(RunSystem("EndPageFx()"));
    int frames = 0;
    while (app.IsWaiting() && frames < 100) {
        Frame();
        ++frames;
    }
    EXPECT_FALSE(app.IsWaiting());
    EXPECT_LT(frames, 20);
}

TEST_F(GameStateSwitchTest, QuitEndsTheGameWhileTheLoaderWaits)
{
    const struct {
        const char* state;
        const char* why;
    } cases[] = {
        {"menu", "page effect never ended"},
        {"other", "minimum loading time"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        // Quit is sticky: each case is a run of its own.
        Start({"menu", "other"}, "");
        RunSystem("EndPageFxAfter = nil");
        app.SetCurrentGameState(State(c.state), false);
        ASSERT_TRUE(AwaitLoadStart());
        for (int i = 0; i < 10; ++i)
            EXPECT_FALSE(Frame());
        app.Quit();
        int frames = 0;
        while (!Frame() && frames < 100)
            ++frames;
        EXPECT_LT(frames, 20);
        EXPECT_FALSE(app.IsWaiting());
        // A loader that missed the quit would hold Release for ever: end what it waits for.
        RunSystem("EndPageFx()");
        app.Release();
        released = true;
    }
}

// Two copies of one name dated the same second: the folder indexed last holds the name.
TEST_F(GameStateSwitchTest, BaseIsIndexedAgainByTheFirstLoadOfARunOnly)
{
    folder.WriteFile("Base/Probe.lua", "base");
    folder.WriteFile("data/Probe.lua", "data");
    const time_t date = TestSupport::UtcTime(2020, 5, 6, 7, 8, 9);
    folder.SetModificationTime("Base/Probe.lua", date);
    folder.SetModificationTime("data/Probe.lua", date);
    auto holder = [] {
        EngineCore::FileInfo info;
        return EngineCore::FileSystem::Instance().GetFileInfo("Probe.lua", info) ? info.GetDiskPath() : "<none>";
    };
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run == 0 ? "first run" : "second run");
        EngineCore::FileSystem::Instance().AddDirectory("data");
        ASSERT_EQ(holder(), "data");
        Start({"menu", "map"}, "");
        app.SetCurrentGameState(State("menu"), false);
        FinishLoad();
        EXPECT_EQ(holder(), "Base") << "the first load indexes Base after the other folders";

        EngineCore::FileSystem::Instance().AddDirectory("data");
        app.SetCurrentGameState(State("map"), false);
        FinishLoad();
        EXPECT_EQ(CurrentName(), "map");
        EXPECT_EQ(holder(), "data") << "a later load indexed Base again";
        app.Release();
        released = true;
    }
}

TEST_F(GameStateSwitchTest, ReleaseWaitsForALoaderThatHasNotFinished)
{
    Start({"other"}, "other");
    ASSERT_TRUE(AwaitLoadStart());
    // No frame is drawn: the loader still waits for the first one.
    const auto start = std::chrono::steady_clock::now();
    std::shared_ptr<GameState> other = State("other");
    app.Release();
    released = true;
    EXPECT_LT(SecondsSince(start), 1.0);
    EXPECT_FALSE(other->RunScriptString("x = 1"));
    EXPECT_FALSE(app.IsWaiting());
}

TEST_F(GameStateSwitchTest, ReleaseAfterAFailedLoadClosesEverything)
{
    StartWithScript("local s = GameState(); s:SetName('broken'); s:SetStartupScript('States/broken.lua')\n"
                    "Application():SetCurrentGameState('broken')\n");
    ASSERT_TRUE(AwaitLoadStart());
    std::string error;
    for (int i = 0; i < 600 && error.empty(); ++i)
        error = [&] {
            try {
                Frame();
            } catch (const std::exception& e) {
                return std::string(e.what());
            }
            return std::string();
        }();
    ASSERT_FALSE(error.empty());
    std::shared_ptr<GameState> broken = State("broken");
    app.Release();
    released = true;
    EXPECT_FALSE(broken->RunScriptString("x = 1"));
    EXPECT_FALSE(State("broken"));
}
