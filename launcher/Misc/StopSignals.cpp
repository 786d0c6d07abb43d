#include "launcher/Misc/StopSignals.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <initializer_list>

namespace ApplicationCore {

namespace {

// Lock-free, so the handler may set it.
std::atomic<bool> g_stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler needs a lock-free flag");

void EndNow(int) { _exit(1); }

void OnStopSignal(int signal)
{
    if (g_stopRequested.exchange(true))
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

void ClearStopRequest() { g_stopRequested.store(false); }

void EndAtOnceOnStopSignals()
{
    Install(&EndNow);
    // A signal that came before the handlers changed would otherwise wait for the box.
    if (StopRequested())
        EndNow(0);
}

}  // namespace ApplicationCore
