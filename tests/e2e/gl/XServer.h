#pragma once
// A private X server (Xvfb) for end-to-end runs with real input, and xdotool to
// drive it. Both are optional: Available() tells whether the tools are installed.
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
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

// Runs a program to its end with the given arguments and DISPLAY; its exit status,
// -1 when it could not run.
inline int RunTool(const std::string& display, const std::vector<std::string>& arguments)
{
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::string(*e).rfind("DISPLAY=", 0) != 0)
            env.push_back(*e);
    env.push_back("DISPLAY=" + display);
    std::vector<char*> envp;
    for (auto& e : env)
        envp.push_back(&e[0]);
    envp.push_back(nullptr);
    std::vector<std::string> args = arguments;
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(&a[0]);
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class XServer {
public:
    static bool Available() { return IsProgram("/usr/bin/Xvfb") && IsProgram("/usr/bin/xdotool"); }

    // Starts Xvfb on the first free display from :71 on; Display() is empty on failure.
    XServer()
    {
        for (int number = 71; number < 120 && _display.empty(); ++number) {
            const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
            const std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
            struct stat info;
            if (stat(socket.c_str(), &info) == 0 || stat(lock.c_str(), &info) == 0)
                continue;
            const std::string display = ":" + std::to_string(number);
            std::vector<std::string> args = {"/usr/bin/Xvfb", display, "-screen", "0", "1280x1024x24", "-nolisten",
                                             "tcp"};
            std::vector<char*> argv;
            for (auto& a : args)
                argv.push_back(&a[0]);
            argv.push_back(nullptr);
            if (posix_spawn(&_pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
                _pid = 0;
                return;
            }
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (std::chrono::steady_clock::now() < deadline) {
                if (stat(socket.c_str(), &info) == 0) {
                    _display = display;
                    break;
                }
                int status = 0;
                if (waitpid(_pid, &status, WNOHANG) == _pid) {  // lost the race for this display
                    _pid = 0;
                    break;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            if (_display.empty() && _pid) {
                kill(_pid, SIGTERM);
                waitpid(_pid, nullptr, 0);
                _pid = 0;
            }
        }
    }
    ~XServer()
    {
        if (_pid) {
            kill(_pid, SIGTERM);
            waitpid(_pid, nullptr, 0);
        }
    }
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    const std::string& Display() const { return _display; }

private:
    pid_t _pid = 0;
    std::string _display;
};

}  // namespace E2E
