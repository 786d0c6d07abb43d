#pragma once
// A private X server seen with Xlib: top-level windows found by name, the close request a
// window manager sends, and the pixels on the screen. Include it after every other header: Xlib's macros
// (Bool, None, Status) break some of them.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <string>
#include <thread>

namespace E2E {

// A connection of the test's own to the X server.
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
            if (const unsigned long found = WindowNamed(name))
                return found;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return 0;
    }

    // True once no top-level window is named `name`; false when one is still there after `seconds`.
    bool WaitUntilGone(const std::string& name, int seconds)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (WindowNamed(name) != 0) {
            if (std::chrono::steady_clock::now() >= deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return true;
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

    // The screen's pixel at (x, y) as 0xRRGGBB; ~0 when it cannot be read.
    unsigned long ScreenPixel(int x, int y)
    {
        XImage* image = XGetImage(_display, DefaultRootWindow(_display), x, y, 1, 1, AllPlanes, ZPixmap);
        if (!image)
            return ~0ul;
        const unsigned long pixel = XGetPixel(image, 0, 0) & 0xFFFFFFul;
        XDestroyImage(image);
        return pixel;
    }

private:
    // The top-level window named `name` now; 0 when there is none.
    unsigned long WindowNamed(const std::string& name)
    {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        unsigned long found = 0;
        // A window may go between the listing and the look at its name.
        const XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
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
        XSync(_display, False);
        XSetErrorHandler(previous);
        return found;
    }

    Display* _display;
};

}  // namespace E2E
