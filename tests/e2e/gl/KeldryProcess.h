#pragma once
// Runs the real program as a child process in a folder, with its own documents and
// runtime folders, and collects its exit status, stderr and log.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/ChildEnvironment.h"
#include "tests/support/TempFolder.h"

namespace E2E {

struct RunResult {
    int status = -1;  // exit status; -1 when killed or not run
    std::string stderrText;
    std::string log;
};

inline std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class KeldryProcess {
public:
    TestSupport::TempFolder home;
    std::vector<std::pair<std::string, std::string>> environment;
    // When set, sent once to the program as soon as its game has started (it printed
    // the log's path).
    int stopSignal = 0;

    // Runs Keldry in `workingFolder` with `arguments`; gives up (and kills it) after `seconds`.
    RunResult Run(const std::string& workingFolder, const std::vector<std::string>& arguments, int seconds = 180)
    {
        return Finish(Start(workingFolder, arguments), seconds);
    }

    std::string LogPath() { return home / "Documents/Vexa.log"; }

    // Starts Keldry in `workingFolder` with `arguments`; the child's id, or -1.
    pid_t Start(const std::string& workingFolder, const std::vector<std::string>& arguments)
    {
        home.MakeFolder("Documents");
        home.MakeFolder("runtime");
        const std::string errPath = home / "stderr.txt";
        // A run's stop signal waits for this run's own text.
        unlink(errPath.c_str());
        const pid_t child = fork();
        if (child == 0) {
            TestSupport::SetHeadlessChildEnvironment(home);
            for (const auto& entry : environment)
                setenv(entry.first.c_str(), entry.second.c_str(), 1);
            const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (err >= 0) {
                dup2(err, 2);
                close(err);
            }
            if (chdir(workingFolder.c_str()) != 0)
                _exit(126);
            std::vector<char*> argv{const_cast<char*>(KELDRY_PROGRAM)};
            for (const std::string& argument : arguments)
                argv.push_back(const_cast<char*>(argument.c_str()));
            argv.push_back(nullptr);
            execv(KELDRY_PROGRAM, argv.data());
            _exit(127);
        }
        return child;
    }

    // Waits for a child of Start to end; gives up (and kills it) after `seconds`.
    RunResult Finish(pid_t child, int seconds = 180)
    {
        RunResult result;
        const std::string errPath = home / "stderr.txt";
        if (child < 0)
            return result;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        int status = 0;
        pid_t done = 0;
        bool signalled = false;
        while ((done = waitpid(child, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < deadline) {
            if (stopSignal != 0 && !signalled && ReadText(errPath).find("Log file: ") != std::string::npos) {
                kill(child, stopSignal);
                signalled = true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (done == 0) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
        } else if (WIFEXITED(status)) {
            result.status = WEXITSTATUS(status);
        }
        result.stderrText = ReadText(errPath);
        result.log = ReadText(home / "Documents/Vexa.log");
        return result;
    }
};

// Writes `relative` below `folder` to replace, in a run, the copy at `replaced`. Of
// two copies of a name the one with the later date wins, dates count in whole seconds,
// and "Base" is indexed again when the first state loads, which takes back every tie;
// so the new copy is dated a minute after the one it replaces, however soon after that
// one it is written.
inline void WriteReplacement(const TestSupport::TempFolder& folder, const std::string& relative,
                             const std::string& text, const std::string& replaced)
{
    struct stat st {};
    if (stat(replaced.c_str(), &st) != 0)
        throw std::runtime_error("no copy to replace at " + replaced);
    folder.WriteFile(relative, text);
    folder.SetModificationTime(relative, st.st_mtime + 60);
}

// True when every line of `expected` appears in `log` as a whole line, in this order.
inline bool HasLinesInOrder(const std::string& log, const std::vector<std::string>& expected, std::string& missing)
{
    size_t at = 0;
    for (const std::string& line : expected) {
        size_t found = std::string::npos;
        for (size_t from = at; (from = log.find(line, from)) != std::string::npos; from += 1) {
            const bool startsLine = from == 0 || log[from - 1] == '\n';
            const size_t end = from + line.size();
            const bool endsLine = end == log.size() || log[end] == '\n' || log[end] == '\r';
            if (startsLine && endsLine) {
                found = from;
                break;
            }
        }
        if (found == std::string::npos) {
            missing = line;
            return false;
        }
        at = found + line.size();
    }
    return true;
}

// Waits up to `seconds` for `line` to appear as a whole line of the file at `path`.
inline bool WaitForLogLine(const std::string& path, const std::string& line, double seconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    std::string missing;
    while (std::chrono::steady_clock::now() < deadline) {
        if (HasLinesInOrder(ReadText(path), {line}, missing))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

}  // namespace E2E
