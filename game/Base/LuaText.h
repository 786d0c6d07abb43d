#pragma once
#include <string>

namespace GameCore {

// A double-quoted Lua string literal holding the bytes of `value` unchanged:
// backslash, quote, line breaks and NUL are escaped, so no name can end the
// literal early or add code to the text it is pasted into.
std::string QuoteLuaString(const std::string& value);

// `value` promoted to double and printed with 9 significant digits in the general
// notation, with '.' as the decimal point whatever the process locale is.
std::string FormatLuaNumber(float value);

}  // namespace GameCore
