#pragma once
// A private X server (Xvfb) for end-to-end runs with real input, and xdotool to
// drive it. scripts/setup.sh installs both; Available() tells whether they are there.
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace E2E {

inline bool IsProgram(const char* path)
{
    return access(path, X_OK) == 0;
}

// A child process started from an argument list, with its standard output in a pipe.
struct Child {
    pid_t pid = -1;
    int output = -1;
};

// The pipe takes the child's descriptor keepOpenFd instead of its standard output when
// one is given.
inline Child Spawn(const std::vector<std::string>& arguments, const std::vector<std::string>& extraEnvironment,
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
inline std::string ReadOutput(int fd, double seconds, const std::string& stopAfter = "")
{
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
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

// Runs a tool on the display to its end; its exit status (-1 when it could not run or
// took too long).
inline int RunTool(const std::vector<std::string>& arguments, const std::string& display,
                   std::string* output = nullptr, double seconds = 30)
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
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    pid_t done = 0;
    while ((done = waitpid(child.pid, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (done == 0) {
        kill(child.pid, SIGKILL);
        waitpid(child.pid, &status, 0);
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// An X server of our own on a free display, for as long as the object lives.
class XServer {
public:
    static bool Available() { return IsProgram("/usr/bin/Xvfb") && IsProgram("/usr/bin/xdotool"); }

    XServer()
    {
        // Xvfb picks a free display and writes its number to the descriptor it is given:
        // servers started side by side never race for one.
        _server = Spawn({"Xvfb", "-displayfd", "3", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"}, {}, 3);
        if (_server.pid < 0)
            return;
        const std::string number = ReadOutput(_server.output, 30, "\n");
        if (number.empty() || number.back() != '\n')
            return;
        _display = ":" + number.substr(0, number.size() - 1);
    }
    ~XServer()
    {
        if (_server.output >= 0)
            close(_server.output);
        if (_server.pid > 0) {
            kill(_server.pid, SIGTERM);
            waitpid(_server.pid, nullptr, 0);
        }
    }
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    // Empty when the server could not start.
    const std::string& Display() const { return _display; }

private:
    Child _server;
    std::string _display;
};

}  // namespace E2E
