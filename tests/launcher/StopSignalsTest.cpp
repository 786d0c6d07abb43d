// Stop signals in a child process: the first asks for the orderly end, copies of it that
// arrive at once (as `timeout` sends one to the process and to its group) change nothing,
// and a later one ends the process at once with status 1. Once the fatal-error box is up
// there is no orderly end to wait for: every stop ends at once, one that came before too.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "launcher/Misc/StopSignals.h"

namespace {

// Runs `body` in a child that installed the handlers; its exit status, or -1.
template <typename Body>
int InChild(Body body)
{
    const pid_t child = fork();
    if (child == 0) {
        ApplicationCore::InstallStopSignals();
        _exit(body());
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

TEST(StopSignals, CopiesOfTheFirstSignalAskOnceAndALaterOneEndsAtOnce)
{
    // Two, three: the same stop delivered again; the child goes on and ends by itself.
    for (const int copies : {1, 2, 3}) {
        SCOPED_TRACE(copies);
        EXPECT_EQ(7, InChild([copies] {
                      for (int i = 0; i < copies; ++i)
                          raise(i % 2 ? SIGINT : SIGTERM);
                      return ApplicationCore::StopRequested() ? 7 : 3;
                  }));
    }
    // A second signal after the orderly end had time to come: status 1 at once.
    EXPECT_EQ(1, InChild([] {
                  raise(SIGHUP);
                  std::this_thread::sleep_for(std::chrono::milliseconds(700));
                  raise(SIGTERM);
                  return 7;
              }));
    // A cleared request starts again from the first signal.
    EXPECT_EQ(7, InChild([] {
                  raise(SIGTERM);
                  std::this_thread::sleep_for(std::chrono::milliseconds(700));
                  ApplicationCore::ClearStopRequest();
                  raise(SIGTERM);
                  return ApplicationCore::StopRequested() ? 7 : 3;
              }));
}

TEST(StopSignals, WhileTheErrorBoxIsUpAStopEndsAtOnceEvenOneThatCameBefore)
{
    EXPECT_EQ(1, InChild([] {
                  raise(SIGTERM);
                  ApplicationCore::EndAtOnceOnStopSignals();
                  return 7;
              }));
    EXPECT_EQ(1, InChild([] {
                  ApplicationCore::EndAtOnceOnStopSignals();
                  raise(SIGHUP);
                  return 7;
              }));
    EXPECT_EQ(7, InChild([] {
                  ApplicationCore::EndAtOnceOnStopSignals();
                  return 7;
              }));
}

}  // namespace
