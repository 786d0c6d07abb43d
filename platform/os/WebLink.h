#pragma once
// Opening a web link in the user's browser.
#include <string>

namespace OsPlatform {

// Starts `xdg-open url` (found on PATH) with an argument list, no shell, and returns without
// waiting for it. False when the link is not an http:// or https:// address (so it cannot
// name a local file, another program's scheme or an option) or holds a NUL, or when
// xdg-open cannot be started.
bool OpenWebLink(const std::string& url);

}  // namespace OsPlatform
