#include "engine/System/EngineError.h"

#include <cstdarg>
#include <cstdio>
#include <stdexcept>
#include <vector>

namespace EngineCore {

namespace {

std::string VFormat(const char* pattern, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, pattern, copy);
    va_end(copy);
    if (needed <= 0)
        return std::string();
    std::vector<char> buffer(static_cast<size_t>(needed) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), pattern, args);
    return std::string(buffer.data(), static_cast<size_t>(needed));
}

}  // namespace

std::string MakeEngineErrorText(const char* sourcePath, int line, const std::string& message)
{
    std::string text = "File: \"";
    text += sourcePath ? sourcePath : "";
    text += "\"\nLine: ";
    text += std::to_string(line);
    text += "\n\nError: ";
    text += message;
    return text;
}

void ThrowEngineError(const char* sourcePath, int line, const std::string& message)
{
    throw std::runtime_error(MakeEngineErrorText(sourcePath, line, message));
}

void ThrowEngineErrorF(const char* sourcePath, int line, const char* pattern, ...)
{
    va_list args;
    va_start(args, pattern);
    std::string message = VFormat(pattern, args);
    va_end(args);
    ThrowEngineError(sourcePath, line, message);
}

std::string FormatText(const char* pattern, ...)
{
    va_list args;
    va_start(args, pattern);
    std::string text = VFormat(pattern, args);
    va_end(args);
    return text;
}

}  // namespace EngineCore
