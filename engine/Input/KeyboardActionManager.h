#pragma once
#include <memory>

#include "engine/Input/ActionInfo.h"

namespace EngineCore {

class ActionManager;
class InputDevice;

// Fires the keyboard's actions from the events of one keyboard device. Every event is
// offered to the GUI first; a press fires only when the GUI passes it on. A release
// always turns off an action that is on, so a key held while the GUI was disabled (or
// an edit box took the keyboard) does not stay on for ever.
class KeyboardActionManager {
public:
    KeyboardActionManager();
    ~KeyboardActionManager();
    KeyboardActionManager(const KeyboardActionManager&) = delete;
    KeyboardActionManager& operator=(const KeyboardActionManager&) = delete;

    // Takes the device only when it is a keyboard.
    void SetDevice(const std::shared_ptr<InputDevice>& device);
    const std::shared_ptr<InputDevice>& GetDivice() const;

    bool RegisterAction(int key, const ActionInfo& info);
    bool UnregisterAction(int key);
    const ActionManager& GetActions() const;

    // Drops the device's queued events and every action.
    void Clear();
    // Drains the device, then runs the while-active step once.
    void Update();

private:
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace EngineCore
