#pragma once
// Failures come back from the runtime as runtime_error; tests compare their texts.
#include <functional>
#include <stdexcept>
#include <string>

namespace TestSupport {

// The text the call fails with, or "(no failure)" when it returns.
inline std::string FailureText(const std::function<void()>& run)
{
    try {
        run();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "(no failure)";
}

}  // namespace TestSupport
