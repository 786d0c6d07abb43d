#pragma once
// Lets a test see that another of its threads is blocked: asleep in the kernel, as a
// thread waiting for a lock or a condition is, rather than merely not there yet.
#include <sys/syscall.h>
#include <sys/types.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>

namespace TestSupport {

// The calling thread's id in the kernel.
inline pid_t KernelThreadId()
{
    return static_cast<pid_t>(syscall(SYS_gettid));
}

// Waits until `thread` has published its kernel id and is asleep; false when it is not
// within `limit`. The thread publishes its id right before the call that should block,
// with nothing between that could sleep on its own.
inline bool AwaitAsleep(const std::atomic<pid_t>& thread, std::chrono::milliseconds limit = std::chrono::seconds(20))
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (const pid_t id = thread.load()) {
            std::ifstream in("/proc/self/task/" + std::to_string(id) + "/stat");
            std::string stat;
            std::getline(in, stat);
            // The state follows the name, which is in parentheses and may hold anything.
            const size_t close = stat.rfind(')');
            if (close != std::string::npos && close + 2 < stat.size() && stat[close + 2] == 'S')
                return true;
        }
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

}  // namespace TestSupport
