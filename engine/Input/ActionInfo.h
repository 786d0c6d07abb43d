#pragma once
#include <functional>
#include <memory>

namespace EngineCore {

class InputEvent;

// One binding's callbacks with the user pointer handed back to each of them. An empty
// callback is skipped.
struct ActionInfo {
    using Callback = std::function<void(void*, const std::shared_ptr<InputEvent>&)>;

    void* user = nullptr;
    // Once per manager update while the action is on, with an empty event.
    Callback whileActive;
    // When the key or button goes down, or the axis changes.
    Callback on;
    // When the key or button is released.
    Callback off;
};

}  // namespace EngineCore
