#pragma once
// Numbers in the profiles file's text fields, written and read the same way
// whatever locale the process runs in.
#include <string>

namespace GameCore {

// "%d".
std::string FormatSavedInt(int value);
// "%.4f" of the value widened to double.
std::string FormatSavedFloat(float value);
// As atoi: leading blanks and a sign, then the longest run of digits; anything
// else gives 0. Values beyond the int range saturate.
int ParseSavedInt(const std::string& text);
// As atof narrowed to float, with '.' as the decimal point; 0 when nothing parses.
float ParseSavedFloat(const std::string& text);

}  // namespace GameCore
