#include "game/Logic/SavedText.h"

#include <cctype>
#include <charconv>
#include <climits>
#include <cstdint>

namespace GameCore {

namespace {

size_t SkipBlanks(const std::string& text)
{
    size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
        ++at;
    return at;
}

}  // namespace

std::string FormatSavedInt(int value)
{
    return std::to_string(value);
}

std::string FormatSavedFloat(float value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                      std::chars_format::fixed, 4);
    if (result.ec != std::errc())
        return "0.0000";
    return std::string(buffer, result.ptr);
}

int ParseSavedInt(const std::string& text)
{
    size_t at = SkipBlanks(text);
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    int64_t value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        value = value * 10 + (text[at] - '0');
        if (value > INT64_C(1) << 32)
            value = INT64_C(1) << 32;  // far enough past either limit to saturate below
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

float ParseSavedFloat(const std::string& text)
{
    size_t at = SkipBlanks(text);
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    // from_chars takes no sign of its own beyond '-' and no '+': the sign is ours.
    if (at < text.size() && text[at] == '-')
        return 0.0f;
    double value = 0.0;
    const auto result = std::from_chars(text.data() + at, text.data() + text.size(), value);
    if (result.ec == std::errc::invalid_argument)
        return 0.0f;
    if (result.ec == std::errc::result_out_of_range)
        return 0.0f;
    return static_cast<float>(negative ? -value : value);
}

}  // namespace GameCore
