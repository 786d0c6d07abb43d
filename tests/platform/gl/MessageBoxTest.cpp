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

// Last: its macros (Bool, None, Status) would break the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

using E2E::RunTool;

// One connection for the whole test, opened before any box: SDL shows a box from a forked
// child, which would stay locked out of Xlib if it were forked while this process was
// inside XOpenDisplay.
class XConnection {
public:
    explicit XConnection(const std::string& display) : _display(XOpenDisplay(display.c_str())) {}
    ~XConnection()
    {
        if (_display)
            XCloseDisplay(_display);
    }
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;

    bool Open() const { return _display != nullptr; }

    // The top-level window named `name`, once there is one; 0 when none came within 30 s.
    unsigned long FindWindow(const std::string& name)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (std::chrono::steady_clock::now() < deadline) {
            Window root = 0, parent = 0;
            Window* children = nullptr;
            unsigned count = 0;
            unsigned long found = 0;
            if (XQueryTree(_display, DefaultRootWindow(_display), &root, &parent, &children, &count)) {
                for (unsigned i = 0; i < count && found == 0; ++i) {
                    // The name as stored, whether typed STRING or UTF8_STRING.
                    XTextProperty title{};
                    if (XGetWMName(_display, children[i], &title) && title.value) {
                        if (name == std::string(reinterpret_cast<const char*>(title.value), title.nitems))
                            found = children[i];
                        XFree(title.value);
                    }
                }
                XFree(children);
            }
            if (found != 0)
                return found;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return 0;
    }

    // What a window manager sends when the close button of a window is pressed.
    bool RequestClose(unsigned long window)
    {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(_display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = long(XInternAtom(_display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        const bool sent = XSendEvent(_display, window, False, NoEventMask, &event) != 0;
        XFlush(_display);
        return sent;
    }

private:
    Display* _display;
};

}  // namespace

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
