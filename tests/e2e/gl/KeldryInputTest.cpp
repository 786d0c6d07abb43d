#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/gl/KeldryProcess.h"
#include "tests/support/TempFolder.h"

extern char** environ;

using namespace E2E;

namespace {

using Clock = std::chrono::steady_clock;

// A child process started from an argument list, with its standard output in a pipe.
struct Child {
    pid_t pid = -1;
    int output = -1;
};

Child Spawn(const std::vector<std::string>& arguments, const std::vector<std::string>& extraEnvironment,
            int keepOpenFd = -1)
{
    Child child;
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return child;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The read end goes first: it may be the very number the write end is moved to.
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], keepOpenFd >= 0 ? keepOpenFd : 1);
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry)
        environment.push_back(*entry);
    for (const std::string& entry : extraEnvironment)
        environment.push_back(entry);
    std::vector<char*> envp;
    for (const std::string& entry : environment)
        envp.push_back(const_cast<char*>(entry.c_str()));
    envp.push_back(nullptr);
    if (posix_spawnp(&child.pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
        child.pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    child.output = pipeFds[0];
    return child;
}

// Reads what the child writes until it closes its output or the time is up.
std::string ReadOutput(int fd, double seconds, const std::string& stopAfter = "")
{
    std::string text;
    const auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0)
            continue;
        char buffer[256];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        text.append(buffer, static_cast<size_t>(n));
        if (!stopAfter.empty() && text.find(stopAfter) != std::string::npos)
            break;
    }
    return text;
}

// Runs a tool to its end; its exit status (-1 when it could not run or took too long).
int RunTool(const std::vector<std::string>& arguments, const std::string& display, std::string* output = nullptr,
            double seconds = 30)
{
    Child child = Spawn(arguments, {"DISPLAY=" + display});
    if (child.pid < 0) {
        close(child.output);
        return -1;
    }
    const std::string text = ReadOutput(child.output, seconds);
    close(child.output);
    if (output)
        *output = text;
    int status = 0;
    const auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
    pid_t done = 0;
    while ((done = waitpid(child.pid, &status, WNOHANG)) == 0 && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (done == 0) {
        kill(child.pid, SIGKILL);
        waitpid(child.pid, &status, 0);
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// An X server of our own on a free display, for as long as the object lives.
class VirtualScreen {
public:
    VirtualScreen()
    {
        // Xvfb picks a free display and writes its number to the descriptor it is given.
        _server = Spawn({"Xvfb", "-displayfd", "3", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"}, {}, 3);
        if (_server.pid < 0)
            return;
        const std::string number = ReadOutput(_server.output, 30, "\n");
        if (number.empty() || number.back() != '\n')
            return;
        _display = ":" + number.substr(0, number.size() - 1);
    }
    ~VirtualScreen()
    {
        if (_server.output >= 0)
            close(_server.output);
        if (_server.pid > 0) {
            kill(_server.pid, SIGTERM);
            waitpid(_server.pid, nullptr, 0);
        }
    }
    // Empty when the server could not start.
    const std::string& Display() const { return _display; }

private:
    Child _server;
    std::string _display;
};

bool WaitForLogLine(const std::string& path, const std::string& line, double seconds)
{
    const auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
    std::string missing;
    while (Clock::now() < deadline) {
        if (HasLinesInOrder(ReadText(path), {line}, missing))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

const char* const kSystemState =
    "SystemLogic = { CursorAnimation = {} }\n"
    "Loading = { LoadingBar = {} }\n"
    "PageFX = {}\n"
    "SystemLogic.CursorAnimation.player = AnimationPlayer()\n"
    "SystemLogic.CursorAnimation.player:SetName('SystemLogic.CursorAnimation.player')\n"
    "Loading.LoadingBar.AnimationPlayer = AnimationPlayer()\n"
    "Loading.LoadingBar.AnimationPlayer:SetName('Loading.LoadingBar.AnimationPlayer')\n"
    "function SystemLogic.FirstLoading() end\n"
    "function Loading.StartMenuLoading() end\n"
    "function Loading.StartGameLoading() end\n"
    "function Loading.StartPageFX() GameStateSystem():EndPageFx() end\n"
    "function Loading.Update() end\n";

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

}  // namespace

// Real X11 input reaches a script: a key press and a click, typed by xdotool into the
// program's window on a virtual screen, run the game's bound actions, and the click's
// action quits the game.
TEST(KeldryInputTest, RealKeysAndClicksRunTheGamesBoundActions)
{
    VirtualScreen screen;
    if (screen.Display().empty())
        GTEST_SKIP() << "no virtual X server (Xvfb) could be started";
    std::string version;
    ASSERT_EQ(RunTool({"xdotool", "version"}, screen.Display(), &version), 0)
        << "xdotool is missing: scripts/setup.sh installs it";

    TestSupport::TempFolder game;
    game.WriteFile("Base/Loading/SystemState.lua", kSystemState);
    game.WriteFile("Base/Loading/Scripts/PreStartup.lua", "");
    game.WriteFile("Base/Loading/Scripts/Startup.lua", kStartup);
    game.WriteFile("Base/Scripts/GameAPI.lua", "");
    game.WriteFile("Base/States/Game.lua", kGame);
    game.WriteFile("Base/Probe/Ready.lua", "");
    game.WriteFile("Base/Probe/Key.lua", "");

    KeldryProcess keldry;
    keldry.environment = {{"SDL_VIDEODRIVER", "x11"}, {"DISPLAY", screen.Display()}};
    const pid_t child = keldry.Start(game.Path(), {"-resource", "Base", "-windowed"});
    ASSERT_GT(child, 0);
    const bool ready = WaitForLogLine(keldry.LogPath(), "LuaScriptEngine::RunFile (Probe/Ready.lua).", 120);
    std::string window;
    const bool found = ready && RunTool({"xdotool", "search", "--sync", "--onlyvisible", "--name", "Ferrowind"},
                                        screen.Display(), &window, 30) == 0;
    if (found) {
        window = window.substr(0, window.find('\n'));
        EXPECT_EQ(RunTool({"xdotool", "windowfocus", "--sync", window}, screen.Display()), 0);
        EXPECT_EQ(RunTool({"xdotool", "key", "--delay", "100", "q"}, screen.Display()), 0);
        EXPECT_TRUE(WaitForLogLine(keldry.LogPath(), "LuaScriptEngine::RunFile (Probe/Key.lua).", 60));
        EXPECT_EQ(RunTool({"xdotool", "mousemove", "--window", window, "--sync", "100", "50"}, screen.Display()), 0);
        EXPECT_EQ(RunTool({"xdotool", "click", "1"}, screen.Display()), 0);
    }
    const RunResult run = keldry.Finish(child, found ? 60 : 1);
    ASSERT_TRUE(ready) << run.stderrText << run.log;
    ASSERT_TRUE(found) << "the game window did not appear\n" << run.log;
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
