#include "launcher/Misc/StopSignals.h"

#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <initializer_list>

namespace ApplicationCore {

namespace {

// Lock-free, so the handler may set them. `g_firstStopNs` is the monotonic time of the
// first stop signal, 0 while none came.
std::atomic<bool> g_stopRequested{false};
std::atomic<int64_t> g_firstStopNs{0};
static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler needs a lock-free flag");
static_assert(std::atomic<int64_t>::is_always_lock_free, "the signal handler needs a lock-free time");

// Signals this soon after the first are the same request delivered again: `timeout` and
// a terminal send one stop to the process and to its process group, so the game may get
// it twice at once. Only a later one means "the orderly end did not come".
constexpr int64_t kSameStopNs = 500 * 1000 * 1000;

int64_t NowNs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);  // async-signal-safe
    return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec + 1;  // never 0
}

void EndNow(int) { _exit(1); }

void OnStopSignal(int signal)
{
    const int64_t now = NowNs();
    int64_t first = 0;
    if (g_firstStopNs.compare_exchange_strong(first, now)) {
        g_stopRequested.store(true);
        return;
    }
    if (now - first >= kSameStopNs)
        EndNow(signal);
}

void Install(void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT})
        sigaction(signal, &action, nullptr);
}

}  // namespace

void InstallStopSignals() { Install(&OnStopSignal); }

bool StopRequested() { return g_stopRequested.load(); }

void ClearStopRequest()
{
    g_stopRequested.store(false);
    g_firstStopNs.store(0);
}

void EndAtOnceOnStopSignals()
{
    Install(&EndNow);
    // A signal that came before the handlers changed would otherwise wait for the box.
    if (StopRequested())
        EndNow(0);
}

}  // namespace ApplicationCore
