#pragma once
#include <string>

namespace EngineCore {

// Paths that go straight to the disk. Game content written on Windows uses "\\"
// and any letter case: a path that does not exist as written is retried with "/"
// separators and then matched component by component without regard to case.
// Returns the path to use (the "/" form when nothing matches).
std::string ResolveDiskPath(const std::string& path);

// "\\" becomes "/".
std::string ToForwardSlashes(const std::string& path);

}  // namespace EngineCore
