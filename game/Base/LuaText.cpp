#include "game/Base/LuaText.h"

#include <iomanip>
#include <locale>
#include <sstream>

namespace GameCore {

std::string QuoteLuaString(const std::string& value)
{
    std::string text = "\"";
    for (const char c : value) {
        switch (c) {
        case '\\': text += "\\\\"; break;
        case '"': text += "\\\""; break;
        case '\n': text += "\\n"; break;
        case '\r': text += "\\r"; break;
        case '\0': text += "\\000"; break;
        default: text += c; break;
        }
    }
    text += '"';
    return text;
}

std::string FormatLuaNumber(float value)
{
    std::ostringstream stream;
    stream.imbue(std::locale::classic());
    stream << std::setprecision(9) << static_cast<double>(value);
    return stream.str();
}

}  // namespace GameCore
