// Real message boxes on a private X server, answered with keys and with the close button.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "platform/os/MessageBox.h"
#include "tests/e2e/gl/XServer.h"
#include "tests/support/EnvGuard.h"

// Last: Xlib's macros (Bool, None, Status) would break the headers above.
#include "tests/e2e/gl/XWindows.h"

using E2E::RunTool;
using E2E::XConnection;

// Return answers yes, Escape no; closing the box gives no answer, so it counts as no: a
// player who shuts the exit question keeps playing.
TEST(MessageBoxOnScreen, TheExitQuestionClosedWithoutAnAnswerCountsAsNo)
{
    // Made before the server: on a failure the server goes first, and takes a box still up
    // with it, so no answer is waited for in vain.
    std::vector<std::future<bool>> answers;
    E2E::XServer screen;
    ASSERT_FALSE(screen.Display().empty()) << "no virtual X server could be started: scripts/setup.sh installs Xvfb";
    TestSupport::EnvGuard display("DISPLAY"), wayland("WAYLAND_DISPLAY"), driver("SDL_VIDEODRIVER");
    setenv("DISPLAY", screen.Display().c_str(), 1);
    unsetenv("WAYLAND_DISPLAY");
    setenv("SDL_VIDEODRIVER", "x11", 1);  // SDL shows boxes only with the driver it is told to use
    // Opened before any box: SDL shows a box from a forked child, which would stay locked
    // out of Xlib if it were forked while this process was inside XOpenDisplay.
    XConnection x(screen.Display());
    ASSERT_TRUE(x.Open());

    const struct {
        const char* how;
        bool expected;
    } rows[] = {
        {"Return", true},
        {"Escape", false},
        {"close", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.how);
        answers.push_back(std::async(
            std::launch::async, [] { return OsPlatform::AskYesNo("Exit question", "You really want to quit?"); }));
        std::future<bool>& answer = answers.back();
        const unsigned long window = x.FindWindow("Exit question");
        ASSERT_NE(window, 0ul) << "the box did not appear";
        if (std::string(row.how) == "close") {
            ASSERT_TRUE(x.RequestClose(window));
        } else {
            EXPECT_EQ(RunTool({"xdotool", "windowfocus", "--sync", std::to_string(window)}, screen.Display()), 0);
            EXPECT_EQ(RunTool({"xdotool", "key", row.how}, screen.Display()), 0);
        }
        ASSERT_EQ(answer.wait_for(std::chrono::seconds(30)), std::future_status::ready) << "the box stayed up";
        EXPECT_EQ(answer.get(), row.expected);
    }
}
