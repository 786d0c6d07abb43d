#pragma once
// The mouse over HGE: device 1 of the engine's device manager. Its events come from the
// shared event pump (HGEInputDevice); positions are game coordinates both ways.

#include "engine/Input/MouseDevice.h"

namespace MobrixCore {

class HGEMouseDevice : public EngineCore::MouseDevice {
public:
    HGEMouseDevice();
    ~HGEMouseDevice() override;

    // Drops the mouse events queued so far.
    bool Clear() override;
    // Runs the pump, which fills the keyboard's list too.
    void Update() override;
    bool GetNextEvent(std::shared_ptr<EngineCore::InputEvent>& event) const override;
    void OnKeyDown(int button) override;
    void OnKeyUp(int button) override;
    // Moves the pointer to a point in game coordinates, in our own window.
    void SetMousePosition(float x, float y) override;
    void SetAxisAbs(int axis, float value) override;
    void SetAxisRel(int axis, float value) override;
    // 1 the vertical and 2 the horizontal pointer coordinate (game coordinates,
    // unrounded), 3 the wheel of this frame; 0 for any other axis.
    float GetAxisAbs(int axis) const override;
    int GetKeyStatus(int button) const override;
};

}  // namespace MobrixCore
