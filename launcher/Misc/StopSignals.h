#pragma once
// SIGTERM, SIGHUP and SIGINT ask the game to end in order, as a script's Quit does:
// the frame loop ends, the profiles are saved and the log is completed. No exit
// question is asked (the window's close button keeps it). The orderly end needs the
// frame loop; when it cannot run (a stuck load, a modal box), a second signal ends
// the process at once with status 1. Signals within half a second of the first are that
// first one delivered again (to the process and to its group), not a second request.

namespace ApplicationCore {

// Installs the handlers. Called before the display is opened, so the window
// system's own handlers leave these signals to us.
void InstallStopSignals();

// True once a stop signal arrived; stays true.
bool StopRequested();

// Forgets an earlier signal (for a second run in one process).
void ClearStopRequest();

// From here on no frame loop runs again: the first stop signal ends the process at
// once with status 1. For the box that ends a failed run, whose text the log and
// stderr already hold.
void EndAtOnceOnStopSignals();

}  // namespace ApplicationCore
