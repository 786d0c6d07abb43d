#pragma once
#include <string>

#include "engine/Input/InputDevice.h"

namespace EngineCore {

// A mouse: buttons 1-3, axes 1 vertical pointer coordinate, 2 horizontal pointer
// coordinate, 3 wheel, 4 the pointer as a whole (the axis of a move event).
class MouseDevice : public InputDevice {
public:
    enum KeyStatus { kKeyUp = 0, kKeyDown = 1 };
    enum KeyType { kKeyNone = 0, kLeftButton = 1, kRightButton = 2, kMiddleButton = 3 };
    enum AxisType { kAxisNone = 0, kYawAxis = 1, kPitchAxis = 2, kRollAxis = 3, kAllAxis = 4 };

    MouseDevice();
    ~MouseDevice() override;

    virtual void OnKeyDown(int button) = 0;
    virtual void OnKeyUp(int button) = 0;
    virtual void SetMousePosition(float x, float y) = 0;
    virtual void SetAxisAbs(int axis, float value) = 0;
    virtual void SetAxisRel(int axis, float value) = 0;
    // Axis 2 gives the horizontal, axis 1 the vertical pointer coordinate.
    virtual float GetAxisAbs(int axis) const = 0;
    virtual int GetKeyStatus(int button) const = 0;

    // Exact, case-sensitive; 0 for a name the table does not hold.
    static int GetKeyByName(const std::string& name);
    static int GetAxisByName(const std::string& name);
};

}  // namespace EngineCore
