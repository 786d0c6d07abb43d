#pragma once
// What the launcher needs from outside the game libraries, gathered so that tests can
// run it with a fake back-end and capture its dialogs instead of showing them.
#include <functional>
#include <memory>
#include <string>

namespace EngineWrapperCore {
class EngineWrapperApplication;
}

namespace ApplicationCore {

enum class DialogKind { Warning, Error };

struct LauncherServices {
    // Makes the back-end application object; called once, as the last step of
    // reading the command line.
    std::function<std::shared_ptr<EngineWrapperCore::EngineWrapperApplication>()> makeBackEnd;
    // Shows a message box over `window` (null before the game window exists).
    std::function<void(DialogKind kind, const std::string& caption, const std::string& text, void* window)>
        showDialog;
    // Hides the game window on the fatal path.
    std::function<void(void* window)> hideWindow;
    // Where the fatal text goes besides the log.
    std::function<void(const std::string& text)> writeError;
    // Called once the game has started, just before the frame loop, and once the
    // loop has ended by a quit, before shutdown; either may be empty.
    std::function<void()> beforeLoop;
    std::function<void()> afterLoop;
    // Name of the single-instance lock.
    std::string lockName = "Keldry";
    // Path of the game's log file, for the fatal text on stderr; empty when there is
    // no such file. Named only once this run's back-end was asked to open (it starts
    // the log), so a log an earlier run left is never pointed at.
    std::function<std::string()> logPath;
};

// The services of the real program: the HGE back-end, OS message boxes, stderr.
// Two environment variables serve the end-to-end tests: KELDRY_TEST_FIXED_DELTA
// (seconds) makes every frame last that long, and KELDRY_TEST_SNAPSHOT (a path)
// writes the last drawn frame there as a BMP when the game quits.
LauncherServices DefaultLauncherServices();

}  // namespace ApplicationCore
