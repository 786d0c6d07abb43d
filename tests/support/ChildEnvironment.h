#pragma once
// The environment of a child process that runs the real program with no display nor
// sound card of its own.
#include <cstdlib>

#include "tests/support/TempFolder.h"

namespace TestSupport {

// Call in the child, between fork and exec: documents and runtime folders below `home`
// (made by the caller), and SDL's offscreen driver on software OpenGL with OpenAL's null
// device unless the caller's environment chose others.
inline void SetHeadlessChildEnvironment(const TempFolder& home)
{
    setenv("XDG_DOCUMENTS_DIR", (home / "Documents").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (home / "runtime").c_str(), 1);
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
    setenv("ALSOFT_DRIVERS", "null", 0);
}

}  // namespace TestSupport
