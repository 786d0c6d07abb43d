#pragma once
// SIGTERM and SIGHUP ask the game to end in order, as a script's Quit does: the
// frame loop ends, the profiles are saved and the log is completed. No exit
// question is asked (the window's close button keeps it).

namespace ApplicationCore {

// Installs the handlers. Called before the display is opened, so the window
// system's own handlers leave these signals to us.
void InstallStopSignals();

// True once a stop signal arrived; stays true.
bool StopRequested();

// Forgets an earlier signal (for a second run in one process).
void ClearStopRequest();

}  // namespace ApplicationCore
