#pragma once
#include "engine/Input/DeviceManager.h"

namespace GameCore {

// The game's input-device manager, installed in the input system by the launcher
// before the back-end opens and adds its mouse and keyboard.
class GameDeviceManager : public EngineCore::DeviceManager {
public:
    GameDeviceManager();
    ~GameDeviceManager() override;
};

}  // namespace GameCore
