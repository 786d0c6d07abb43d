#pragma once
#include <functional>
#include <memory>
#include <string>

namespace EngineCore {

// What the game may ask of its own window and of the user's browser. The back-end installs
// the functions when it opens the window and removes them when it closes it; without them
// every call does nothing (and reading the title gives ""). Only the game's own window is
// ever touched, never whichever window has the focus.
class WindowServices {
public:
    struct Functions {
        std::function<std::string()> getTitle;
        std::function<void(const std::string&)> setTitle;
        std::function<void()> minimize;
        // Opens an http:// or https:// address; false when refused or not started.
        std::function<bool(const std::string&)> openWebLink;
    };

    static WindowServices& Instance();

    void Install(const Functions& functions);

    std::string GetTitle() const;
    void SetTitle(const std::string& title);
    void Minimize();
    bool OpenWebLink(const std::string& link);

    WindowServices(const WindowServices&) = delete;
    WindowServices& operator=(const WindowServices&) = delete;

private:
    WindowServices();
    ~WindowServices();
    // A copy of the installed functions, taken under the lock.
    Functions Current() const;

    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace EngineCore
