#pragma once
#include <string>

#include "engine/Input/InputDevice.h"

namespace EngineCore {

// A keyboard: keys are the numbers 1-103 of its name table, 0 for none.
class KeyboardDevice : public InputDevice {
public:
    enum KeyStatus { kKeyUp = 0, kKeyDown = 1 };

    KeyboardDevice();
    ~KeyboardDevice() override;

    virtual void OnKeyDown(int key) = 0;
    virtual void OnKeyUp(int key) = 0;
    virtual int GetKeyStatus(int key) const = 0;

    // Exact, case-sensitive; 0 for a name the table does not hold.
    static int GetKeyByName(const std::string& name);
};

}  // namespace EngineCore
