#pragma once
// Failures come back from the runtime as exceptions; tests compare their texts.
#include <functional>
#include <stdexcept>
#include <string>

namespace TestSupport {

// The text the call throws, or `none` when it returns.
inline std::string ErrorOf(const std::function<void()>& run, const char* none = "<no error>")
{
    try {
        run();
    } catch (const std::exception& e) {
        return e.what();
    }
    return none;
}

// The text the call fails with, or "(no failure)" when it returns.
inline std::string FailureText(const std::function<void()>& run)
{
    return ErrorOf(run, "(no failure)");
}

inline bool EndsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace TestSupport
