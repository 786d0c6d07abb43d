#pragma once
// The launcher's application object: reads the command line, wires the back-end into
// the engine, starts the game core and hands the main thread to the frame loop.
#include <memory>
#include <string>
#include <vector>

#include "launcher/Misc/LauncherServices.h"

namespace OsPlatform {
class InstanceLock;
}

namespace ApplicationCore {

class Application {
public:
    class Impl;

    Application(int argc, const char* const* argv, const LauncherServices& services);
    // Releases the game core, then closes the back-end when one was made, then frees
    // the launch settings; safe after a start-up that stopped anywhere.
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The single-instance check, then Init and the frame loop. False when another
    // instance holds the game: the warning was shown and nothing was started.
    virtual bool Run();
    virtual void PrintToLog(const char* text);
    virtual void Init();
    virtual void Release();

    // Reads the arguments into the launch settings, indexes "-resource" folders at once
    // and makes the back-end last. Throws boost::bad_lexical_cast for a bad number.
    void ParseCommandLine();

    const Impl& GetSettings() const { return *_impl; }
    // The game window, null before the back-end opened one.
    void* GetWindow() const;
    const LauncherServices& GetServices() const { return _services; }
    // True once the back-end was asked to open, which starts this run's log.
    bool HasOpenedLog() const { return _logOpened; }

private:
    std::unique_ptr<Impl> _impl;
    std::vector<std::string> _arguments;
    LauncherServices _services;
    bool _logOpened = false;
    // Held from the check to the end of the process.
    std::unique_ptr<OsPlatform::InstanceLock> _lock;
};

// The whole run of the program: returns the process's exit status (1 after a fatal
// error, 0 otherwise).
int RunLauncher(int argc, const char* const* argv, const LauncherServices& services);

}  // namespace ApplicationCore
