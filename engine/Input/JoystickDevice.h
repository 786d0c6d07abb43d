#pragma once
#include <string>

#include "engine/Input/InputDevice.h"

namespace EngineCore {

// A joystick: keys "Key0".."Key3" (1-4), axes "Yaw", "Pitch", "Roll" (1-3). The
// runtime installs none; bindings to it are kept and never fire.
class JoystickDevice : public InputDevice {
public:
    JoystickDevice();
    ~JoystickDevice() override;

    static int GetKeyByName(const std::string& name);
    static int GetAxisByName(const std::string& name);
};

}  // namespace EngineCore
