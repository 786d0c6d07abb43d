#include "launcher/Misc/StopSignals.h"

#include <signal.h>

#include <atomic>

namespace ApplicationCore {

namespace {

// Lock-free, so the handler may set it.
std::atomic<bool> g_stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler needs a lock-free flag");

void OnStopSignal(int) { g_stopRequested.store(true); }

}  // namespace

void InstallStopSignals()
{
    struct sigaction action {};
    action.sa_handler = &OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

bool StopRequested() { return g_stopRequested.load(); }

void ClearStopRequest() { g_stopRequested.store(false); }

}  // namespace ApplicationCore
