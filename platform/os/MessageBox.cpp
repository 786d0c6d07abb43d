#include "platform/os/MessageBox.h"

#include <SDL.h>
#include <pthread.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace OsPlatform {

namespace {

std::mutex& HookMutex()
{
    static std::mutex m;
    return m;
}

MessageBoxHook& Hook()
{
    static MessageBoxHook hook;
    return hook;
}

bool HasDisplay()
{
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

Uint32 IconFlag(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Warning: return SDL_MESSAGEBOX_WARNING;
    case MessageIcon::Error: return SDL_MESSAGEBOX_ERROR;
    case MessageIcon::Information: break;
    }
    return SDL_MESSAGEBOX_INFORMATION;
}

// The X11 box is drawn by a process the toolkit forks, and the calling thread waits for it.
// Such a process must end with ours: a game ended by a signal must not leave its box on
// the screen. Thread-local, so that only forks made by a thread inside Show are marked
// (the child is a copy of that thread). The parent-death signal follows the thread that
// forked, which stays blocked until the box's process ends, so it fires only when our
// process goes.
thread_local pid_t t_showingFrom = 0;

// Runs in the forked child: async-signal-safe calls only.
void EndWithParent()
{
    if (t_showingFrom == 0)
        return;
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    // The parent may have gone before the signal was asked for.
    if (getppid() != t_showingFrom)
        _exit(1);
}

class BoxProcessGuard {
public:
    BoxProcessGuard()
    {
        static const int registered = pthread_atfork(nullptr, nullptr, &EndWithParent);
        (void)registered;
        t_showingFrom = getpid();
    }
    ~BoxProcessGuard() { t_showingFrom = 0; }
    BoxProcessGuard(const BoxProcessGuard&) = delete;
    BoxProcessGuard& operator=(const BoxProcessGuard&) = delete;
};

// False when no box could be shown. Else *pressed is the id of the pressed button, or -1
// when the box was closed without one (its window's close button).
bool Show(const std::string& caption, const std::string& text, Uint32 flags, void* parent,
          const SDL_MessageBoxButtonData* buttons, int count, int* pressed)
{
    *pressed = -1;
    if (!HasDisplay())
        return false;
    SDL_MessageBoxData box{};
    box.flags = flags;
    box.window = static_cast<SDL_Window*>(parent);
    box.title = caption.c_str();
    box.message = text.c_str();
    box.numbuttons = count;
    box.buttons = buttons;
    const BoxProcessGuard guard;
    return SDL_ShowMessageBox(&box, pressed) == 0;
}

// The text is data, never a format.
void ToStderr(const std::string& caption, const std::string& text)
{
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
}

bool CallHook(const std::string& caption, const std::string& text, bool* answer)
{
    MessageBoxHook hook;
    {
        std::lock_guard<std::mutex> lock(HookMutex());
        hook = Hook();
    }
    if (!hook)
        return false;
    *answer = hook(caption, text);
    return true;
}

}  // namespace

void ShowMessage(const std::string& caption, const std::string& text, MessageIcon icon, void* parent)
{
    bool ignored = false;
    if (CallHook(caption, text, &ignored))
        return;
    const SDL_MessageBoxButtonData ok{SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT,
                                      1, "OK"};
    int pressed = -1;
    if (!Show(caption, text, IconFlag(icon), parent, &ok, 1, &pressed))
        ToStderr(caption, text);
}

bool AskYesNo(const std::string& caption, const std::string& text, void* parent)
{
    bool answer = true;
    if (CallHook(caption, text, &answer))
        return answer;
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No"},
    };
    int pressed = -1;
    if (!Show(caption, text, SDL_MESSAGEBOX_INFORMATION, parent, buttons, 2, &pressed)) {
        ToStderr(caption, text);
        return true;
    }
    // A box closed without a button gave no yes.
    return pressed == 1;
}

void SetMessageBoxHook(MessageBoxHook hook)
{
    std::lock_guard<std::mutex> lock(HookMutex());
    Hook() = std::move(hook);
}

}  // namespace OsPlatform
