#include "engine/Input/DeviceManager.h"

namespace EngineCore {

DeviceManager::DeviceManager() = default;
DeviceManager::~DeviceManager() = default;

void DeviceManager::Init() {}

void DeviceManager::Release() {}

void DeviceManager::Update(float) {}

}  // namespace EngineCore
