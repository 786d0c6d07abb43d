#pragma once
#include <memory>

#include "engine/Input/ActionInfo.h"

namespace EngineCore {

class ActionManager;
class InputDevice;

// Fires a joystick's key and axis actions. It bypasses the GUI and has no per-frame
// step, so the while-active callbacks of joystick actions never run.
class JoystickActionManager {
public:
    JoystickActionManager();
    ~JoystickActionManager();
    JoystickActionManager(const JoystickActionManager&) = delete;
    JoystickActionManager& operator=(const JoystickActionManager&) = delete;

    // Takes the device only when it is a joystick.
    void SetDevice(const std::shared_ptr<InputDevice>& device);
    const std::shared_ptr<InputDevice>& GetDivice() const;

    bool RegisterKeyAction(int key, const ActionInfo& info);
    bool RegisterAxisAction(int axis, const ActionInfo& info);
    bool UnregisterKeyAction(int key);
    bool UnregisterAxisAction(int axis);
    const ActionManager& GetKeyActions() const;
    const ActionManager& GetAxisActions() const;

    void Clear();
    void Update();

private:
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace EngineCore
