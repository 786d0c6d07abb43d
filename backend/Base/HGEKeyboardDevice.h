#pragma once
// The keyboard over HGE: device 2 of the engine's device manager. Its events come from
// the shared event pump (HGEInputDevice).

#include "engine/Input/KeyboardDevice.h"

namespace MobrixCore {

class HGEKeyboardDevice : public EngineCore::KeyboardDevice {
public:
    HGEKeyboardDevice();
    ~HGEKeyboardDevice() override;

    // Drops the keyboard events queued so far.
    bool Clear() override;
    // Runs the pump; the mouse's update, which comes first, has usually drained it.
    void Update() override;
    bool GetNextEvent(std::shared_ptr<EngineCore::InputEvent>& event) const override;
    void OnKeyDown(int key) override;
    void OnKeyUp(int key) override;
    // Whether HGE reports the key held now; 0 for keys HGE never reports.
    int GetKeyStatus(int key) const override;
};

}  // namespace MobrixCore
