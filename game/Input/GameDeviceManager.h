#pragma once
#include <memory>

#include "engine/Input/DeviceManager.h"

namespace GameCore {

class GameActionManager;

// The game's input-device manager, installed in the input system by the launcher
// before the back-end opens and adds its mouse and keyboard. Each frame it updates the
// devices, then the engine's mouse, keyboard and joystick action managers, then the
// action controllers. It owns the game's input bindings.
class GameDeviceManager : public EngineCore::DeviceManager {
public:
    GameDeviceManager();
    ~GameDeviceManager() override;

    // Hands the devices of slots 1, 2 and 3 to the mouse, keyboard and joystick managers.
    void Init() override;
    // Empties the bindings, then the device slots.
    void Release() override;
    void Update(float dt) override;

    GameActionManager& GetActionManager() const;

private:
    std::unique_ptr<GameActionManager> _actions;
};

}  // namespace GameCore
