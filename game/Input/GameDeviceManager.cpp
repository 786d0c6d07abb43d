#include "game/Input/GameDeviceManager.h"

namespace GameCore {

GameDeviceManager::GameDeviceManager() = default;
GameDeviceManager::~GameDeviceManager() = default;

}  // namespace GameCore
