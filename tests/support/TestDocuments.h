#pragma once
// Points the per-user documents folder of this test process at a private folder
// that lives until the process ends, so nothing a test saves (the profiles file)
// reaches the real user's folders. The profile system keeps the folder it found
// first, so every test of a process shares this one.
#include <cstdlib>
#include <string>

#include "tests/support/TempFolder.h"

namespace TestSupport {

inline const std::string& UseTestDocumentsFolder()
{
    static TempFolder folder;
    static const bool set = setenv("XDG_DOCUMENTS_DIR", folder.Path().c_str(), 1) == 0;
    (void)set;
    return folder.Path();
}

}  // namespace TestSupport
