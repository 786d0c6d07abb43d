#pragma once
// File names written on Windows: backslashes and any letter case.
#include <string>

namespace hgeplatform {

// The existing regular file a name refers to: backslashes read as "/", the name tried as
// written and then without regard to letter case; a relative name against `base` (the
// working folder when empty). Empty when there is none.
std::string FindFile(const std::string& name, const std::string& base = std::string());

// The folder of the running program, or empty.
std::string ProgramFolder();

}  // namespace hgeplatform
