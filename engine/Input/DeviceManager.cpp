#include "engine/Input/DeviceManager.h"

#include "engine/Input/InputDevice.h"

namespace EngineCore {

DeviceManager::DeviceManager() = default;
DeviceManager::~DeviceManager() = default;

bool DeviceManager::SetDevice(int type, const std::shared_ptr<InputDevice>& device)
{
    if (type <= 0 || type >= kSlots)
        return false;
    _devices[type] = device;
    return true;
}

bool DeviceManager::GetDevice(int type, std::shared_ptr<InputDevice>& device) const
{
    if (type <= 0 || type >= kSlots || !_devices[type])
        return false;
    device = _devices[type];
    return true;
}

void DeviceManager::Init() {}

void DeviceManager::Release()
{
    for (std::shared_ptr<InputDevice>& device : _devices)
        device.reset();
}

void DeviceManager::Update(float)
{
    for (int type = 1; type < kSlots; ++type) {
        // A device's update may not replace its own slot while it runs.
        const std::shared_ptr<InputDevice> device = _devices[type];
        if (device)
            device->Update();
    }
}

}  // namespace EngineCore
