#pragma once
// Where the file system looks for names: every data folder and pack it has mounted, in
// mounting order. Kept for the log line that goes with a name found in none of them.
#include <string>

namespace EngineCore {

// "File (<name>) was looked for in the data folders (...) and the packs (...)."
// written to the system log, for a name the index does not hold. A name it holds was
// found but could not be read, and FileSystem::GetFile has logged why (the pack that
// held it and what was wrong): nothing more is written for it here.
void LogWhereLookedFor(const std::string& name);

}  // namespace EngineCore
