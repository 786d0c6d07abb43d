#pragma once
// The engine's one way of reporting a failure: a std::runtime_error whose text is
//   File: "<source path>"\nLine: <line>\n\nError: <message>
// The source path is the throwing file relative to the engine's source root with a
// backslash separator ("Renderer\\RenderSystem.cpp"); line numbers are literal
// constants at each throw site so that the text stays fixed when code moves.

#include <string>

namespace EngineCore {

std::string MakeEngineErrorText(const char* sourcePath, int line, const std::string& message);

[[noreturn]] void ThrowEngineError(const char* sourcePath, int line, const std::string& message);

// printf-style message; arguments are formatted as data, never as part of the pattern.
[[noreturn]] void ThrowEngineErrorF(const char* sourcePath, int line, const char* pattern, ...)
    __attribute__((format(printf, 3, 4)));

// printf-style formatting into a std::string of any length.
std::string FormatText(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

}  // namespace EngineCore
