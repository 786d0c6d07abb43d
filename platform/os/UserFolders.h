#pragma once
// Per-user folders. No SDL here: the engine links this for its per-user data folder.
#include <string>

namespace OsPlatform {

// The user's documents folder: $XDG_DOCUMENTS_DIR, else the XDG_DOCUMENTS_DIR line of
// $XDG_CONFIG_HOME/user-dirs.dirs (default ~/.config), else $HOME/Documents; a relative
// folder from either source is ignored.
// The folder is created when missing. Returns an empty string when no home is known
// or the folder cannot be created.
std::string GetDocumentsFolder();

}  // namespace OsPlatform
