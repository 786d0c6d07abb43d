#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/gl/KeldryProcess.h"
#include "tests/e2e/gl/LoadingScripts.h"
#include "tests/e2e/gl/XServer.h"
#include "tests/support/TempFolder.h"

// Last: Xlib's macros (Bool, None, Status) would break the headers above.
#include "tests/e2e/gl/XWindows.h"

using namespace E2E;

namespace {

using Clock = std::chrono::steady_clock;

const char* const kStartup =
    "Application():SetStartupScript('Scripts/GameAPI.lua')\n"
    "local g = GameState(); g:SetName('game'); g:SetStartupScript('States/Game.lua')\n"
    "Application():SetCurrentGameState('game')\n";

// The key Q notes its press and release; a left click notes where it landed and quits.
// The state says it is ready by running a script file, which the log records.
const char* const kGame =
    "function Mark(name) local s = Sprite(); s:SetName(name) end\n"
    "local input = InputDeviceManager()\n"
    "input:RegisterKeyboardAction('Q', '', '#Mark(\"Input.KeyDown\"); GameStateSystem():RunScript(\"Probe/Key.lua\")',"
    " '#Mark(\"Input.KeyUp\")')\n"
    "input:RegisterMouseAction('LeftButton', '',"
    " '#local x, y = InputDeviceManager():GetMousePosition(); Mark(\"Input.Click.\" .. x .. \".\" .. y);"
    " GameStateSystem():Quit()', '')\n"
    "Frames = 0\n"
    "function OnFrame() Frames = Frames + 1; if Frames == 10 then GameStateSystem():RunScript('Probe/Ready.lua') end "
    "end\n"
    "GameStateSystem():SetUpdaterFunctionName('OnFrame')\n";

// A run of the game in `game` on `screen` that has said it is ready and whose window is
// found, focused and sent the key Q, which runs Probe/Key.lua. `found` is false when the
// run never got ready or no window appeared; then nothing was typed.
struct KeyRun {
    KeldryProcess keldry;
    pid_t child = -1;
    bool ready = false;
    bool found = false;
    std::string window;
};

void StartAndPressQ(const XServer& screen, const TestSupport::TempFolder& game, KeyRun& run)
{
    run.keldry.environment = {{"SDL_VIDEODRIVER", "x11"}, {"DISPLAY", screen.Display()}};
    run.child = run.keldry.Start(game.Path(), {"-resource", "Base", "-windowed"});
    if (run.child <= 0)
        return;
    run.ready = WaitForLogLine(run.keldry.LogPath(), "LuaScriptEngine::RunFile (Probe/Ready.lua).", 120);
    run.found = run.ready && RunTool({"xdotool", "search", "--sync", "--onlyvisible", "--name", "Ferrowind"},
                                     screen.Display(), &run.window, 30) == 0;
    if (!run.found)
        return;
    run.window = run.window.substr(0, run.window.find('\n'));
    EXPECT_EQ(RunTool({"xdotool", "windowfocus", "--sync", run.window}, screen.Display()), 0);
    EXPECT_EQ(RunTool({"xdotool", "key", "--delay", "100", "q"}, screen.Display()), 0);
    EXPECT_TRUE(WaitForLogLine(run.keldry.LogPath(), "LuaScriptEngine::RunFile (Probe/Key.lua).", 60));
}

}  // namespace

// Real X11 input reaches a script: a key press and a click, typed by xdotool into the
// program's window on a virtual screen, run the game's bound actions, and the click's
// action quits the game.
TEST(KeldryInputTest, RealKeysAndClicksRunTheGamesBoundActions)
{
    XServer screen;
    ASSERT_FALSE(screen.Display().empty()) << "no virtual X server could be started: scripts/setup.sh installs Xvfb";
    std::string version;
    ASSERT_EQ(RunTool({"xdotool", "version"}, screen.Display(), &version), 0)
        << "xdotool is missing: scripts/setup.sh installs it";

    TestSupport::TempFolder game;
    WriteLoadingScripts(game, kBareSystemState, kStartup);
    game.WriteFile("Base/States/Game.lua", kGame);
    game.WriteFile("Base/Probe/Ready.lua", "");
    game.WriteFile("Base/Probe/Key.lua", "");

    KeyRun keys;
    StartAndPressQ(screen, game, keys);
    ASSERT_GT(keys.child, 0);
    if (keys.found) {
        EXPECT_EQ(RunTool({"xdotool", "mousemove", "--window", keys.window, "--sync", "100", "50"}, screen.Display()),
                  0);
        EXPECT_EQ(RunTool({"xdotool", "click", "1"}, screen.Display()), 0);
    }
    const RunResult run = keys.keldry.Finish(keys.child, keys.found ? 60 : 1);
    ASSERT_TRUE(keys.ready) << run.stderrText << run.log;
    ASSERT_TRUE(keys.found) << "the game window did not appear\n" << run.log;
    EXPECT_EQ(run.status, 0) << run.stderrText << run.log;
    std::string missing;
    EXPECT_TRUE(HasLinesInOrder(run.log,
                                {
                                    "LuaScriptEngine::RunFile (Probe/Ready.lua).",
                                    "Sprite_Create (Input.KeyDown)...ok",
                                    "LuaScriptEngine::RunFile (Probe/Key.lua).",
                                    "Sprite_Create (Input.KeyUp)...ok",
                                    "Sprite_Create (Input.Click.100.50)...ok",
                                },
                                missing))
        << "missing: " << missing << "\n"
        << run.log;
    EXPECT_EQ(run.log.find("FatalError"), std::string::npos) << run.log;
}

namespace {

// The menu binds Q once and moves on to the game; the game-API script, which every
// state runs, defines what Q does, and each state says who it is.
const char* const kTwoStateStartup =
    "Application():SetStartupScript('Scripts/GameAPI.lua')\n"
    "local m = GameState(); m:SetName('menu'); m:SetStartupScript('States/Menu.lua')\n"
    "local g = GameState(); g:SetName('game'); g:SetStartupScript('States/Game.lua')\n"
    "Application():SetCurrentGameState('menu')\n";
const char* const kGameApi =
    "function Mark(name) local s = Sprite(); s:SetName(name) end\n"
    "function OnQ() Mark('Input.Q.' .. Here); GameStateSystem():RunScript('Probe/Key.lua');"
    " GameStateSystem():Quit() end\n";
const char* const kBindingMenu =
    "Here = 'menu'\n"
    "InputDeviceManager():RegisterKeyboardAction('Q', '', '#OnQ()', '')\n"
    "Frames = 0\n"
    "function OnFrame() Frames = Frames + 1; if Frames == 3 then GameStateSystem():ChangeState('game') end end\n"
    "GameStateSystem():SetUpdaterFunctionName('OnFrame')\n";
const char* const kBoundGame =
    "Here = 'game'\n"
    "Frames = 0\n"
    "function OnFrame() Frames = Frames + 1; if Frames == 10 then GameStateSystem():RunScript('Probe/Ready.lua') end "
    "end\n"
    "GameStateSystem():SetUpdaterFunctionName('OnFrame')\n";

}  // namespace

// A key the menu bound still fires once the game state is current, and its text runs in
// the game's interpreter.
TEST(KeldryInputTest, AKeyBoundInTheMenuFiresInTheGame)
{
    XServer screen;
    ASSERT_FALSE(screen.Display().empty()) << "no virtual X server could be started: scripts/setup.sh installs Xvfb";

    TestSupport::TempFolder game;
    WriteLoadingScripts(game, kBareSystemState, kTwoStateStartup);
    game.WriteFile("Base/Scripts/GameAPI.lua", kGameApi);
    game.WriteFile("Base/States/Menu.lua", kBindingMenu);
    game.WriteFile("Base/States/Game.lua", kBoundGame);
    game.WriteFile("Base/Probe/Ready.lua", "");
    game.WriteFile("Base/Probe/Key.lua", "");

    KeyRun keys;
    StartAndPressQ(screen, game, keys);
    ASSERT_GT(keys.child, 0);
    const RunResult run = keys.keldry.Finish(keys.child, keys.found ? 60 : 1);
    ASSERT_TRUE(keys.ready) << run.stderrText << run.log;
    ASSERT_TRUE(keys.found) << "the game window did not appear\n" << run.log;
    EXPECT_EQ(run.status, 0) << run.stderrText << run.log;
    std::string missing;
    EXPECT_TRUE(HasLinesInOrder(run.log,
                                {"LuaScriptEngine::RunFile (Probe/Ready.lua).", "Sprite_Create (Input.Q.game)...ok",
                                 "LuaScriptEngine::RunFile (Probe/Key.lua)."},
                                missing))
        << "missing: " << missing << "\n"
        << run.log;
    EXPECT_EQ(run.log.find("Input.Q.menu"), std::string::npos) << run.log;
    EXPECT_EQ(run.log.find("FatalError"), std::string::npos) << run.log;
}

namespace {

// Waits up to `seconds` for `child` to end; its exit status, or -1 when it is still running.
int WaitForExit(pid_t child, double seconds)
{
    const auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
    int status = 0;
    while (Clock::now() < deadline) {
        if (waitpid(child, &status, WNOHANG) == child)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
}

}  // namespace

// The fatal-error box waits for a click; a stop signal ends the process while it is up,
// with the failed run's status (a runner that stops a game with SIGTERM must not hang),
// and the box goes with it.
TEST(KeldryInputTest, AStopSignalEndsTheRunWhileTheFatalErrorBoxIsUp)
{
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(signal);
        // A server of its own each round: a box left by one run must not pass for the box of
        // the next, whose signal would then come before its handlers.
        XServer screen;
        ASSERT_FALSE(screen.Display().empty()) << "no virtual X server could be started: scripts/setup.sh installs Xvfb";
        XConnection x(screen.Display());
        ASSERT_TRUE(x.Open());
        TestSupport::TempFolder game;
        KeldryProcess keldry;
        keldry.environment = {{"SDL_VIDEODRIVER", "x11"}, {"DISPLAY", screen.Display()}};
        // No start-up scripts at all: the run fails before its first frame.
        const pid_t child = keldry.Start(game.Path(), {"-script", "Missing.lua", "-windowed"});
        ASSERT_GT(child, 0);
        if (x.FindWindow("Fatal error") == 0) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
            FAIL() << "the fatal-error box did not appear";
        }
        kill(child, signal);
        // Bounded: a hang shows as a still-running child, not as a test timeout.
        const int status = WaitForExit(child, 10);
        if (status < 0) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
        }
        EXPECT_EQ(status, 1);
        EXPECT_NE(ReadText(keldry.home / "stderr.txt").find("*** FatalError: "), std::string::npos);
        // The box is drawn by a process of its own, which must not outlive the game.
        if (status >= 0) {
            EXPECT_TRUE(x.WaitUntilGone("Fatal error", 5)) << "the fatal-error box outlived the game";
        }
    }
}

// A frame that never ends keeps the orderly end from running: the second stop signal
// ends the process at once.
TEST(KeldryInputTest, ASecondStopSignalEndsAStuckRunAtOnce)
{
    TestSupport::TempFolder game;
    WriteLoadingScripts(game, kBareSystemState, kStartup);
    game.WriteFile("Base/Probe/Ready.lua", "");
    game.WriteFile("Base/States/Game.lua",
                   "function OnFrame() GameStateSystem():RunScript('Probe/Ready.lua') while true do end end\n"
                   "GameStateSystem():SetUpdaterFunctionName('OnFrame')\n");
    KeldryProcess keldry;
    const pid_t child = keldry.Start(game.Path(), {"-resource", "Base", "-windowed"});
    ASSERT_GT(child, 0);
    const bool ready = WaitForLogLine(keldry.LogPath(), "LuaScriptEngine::RunFile (Probe/Ready.lua).", 120);
    kill(child, SIGTERM);
    // The first asks for the orderly end, which the stuck frame never reaches.
    EXPECT_EQ(WaitForExit(child, 1), -1);
    kill(child, SIGTERM);
    const int status = WaitForExit(child, 10);
    if (status < 0) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    EXPECT_TRUE(ready) << ReadText(keldry.home / "stderr.txt");
    EXPECT_EQ(status, 1);
}

// The window's close button asks the exit question. Closing the question with its own close
// button answers no and the game plays on; asked again, Return answers yes and the game ends.
TEST(KeldryInputTest, ClosingTheExitQuestionKeepsTheGameRunning)
{
    XServer screen;
    ASSERT_FALSE(screen.Display().empty()) << "no virtual X server could be started: scripts/setup.sh installs Xvfb";
    XConnection x(screen.Display());
    ASSERT_TRUE(x.Open());
    TestSupport::TempFolder game;
    WriteLoadingScripts(game, kBareSystemState, kStartup);
    game.WriteFile("Base/States/Game.lua", kGame);
    game.WriteFile("Base/Probe/Ready.lua", "");
    game.WriteFile("Base/Probe/Key.lua", "");

    KeldryProcess keldry;
    keldry.environment = {{"SDL_VIDEODRIVER", "x11"}, {"DISPLAY", screen.Display()}};
    const pid_t child = keldry.Start(game.Path(), {"-resource", "Base", "-windowed"});
    ASSERT_GT(child, 0);
    const bool ready = WaitForLogLine(keldry.LogPath(), "LuaScriptEngine::RunFile (Probe/Ready.lua).", 120);
    const unsigned long window = ready ? x.FindWindow(" * Ferrowind * ") : 0;
    bool closedAsked = false, playedOn = false, askedAgain = false;
    if (window != 0) {
        x.RequestClose(window);
        const unsigned long box = x.FindWindow("Information");
        closedAsked = box != 0 && x.RequestClose(box);
        playedOn = closedAsked && WaitForExit(child, 2) == -1;
    }
    if (playedOn) {
        x.RequestClose(window);
        const unsigned long box = x.FindWindow("Information");
        askedAgain = box != 0;
        if (askedAgain) {
            EXPECT_EQ(RunTool({"xdotool", "windowfocus", "--sync", std::to_string(box)}, screen.Display()), 0);
            EXPECT_EQ(RunTool({"xdotool", "key", "Return"}, screen.Display()), 0);
        }
    }
    const RunResult run = keldry.Finish(child, askedAgain ? 60 : 1);
    ASSERT_TRUE(ready) << run.stderrText << run.log;
    ASSERT_NE(window, 0ul) << "the game window did not appear\n" << run.log;
    ASSERT_TRUE(closedAsked) << "no exit question to close\n" << run.stderrText;
    EXPECT_TRUE(playedOn) << "the game ended when its exit question was closed";
    EXPECT_TRUE(askedAgain);
    EXPECT_EQ(run.status, 0) << run.stderrText << run.log;
}

