#pragma once
// A script text (timers, key and mouse bindings) is Lua code only after its leading '#':
// a text without it is accepted and runs nothing, which a game relies on no more than an
// author expects it. So the text is kept as given and the mistake is logged once, when
// the text is handed over, rather than every time it would have run.
#include <string>

namespace GameCore {

// True for a text that will run nothing although it is not empty: its first character
// is not '#'.
bool RunsNothing(const std::string& text);

// "<where> text (<text>) runs nothing: a script text is Lua code after a '#' ('#<text>')."
// written to the system log.
void LogTextThatRunsNothing(const std::string& where, const std::string& text);

}  // namespace GameCore
