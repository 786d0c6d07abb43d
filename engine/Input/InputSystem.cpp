#include "engine/Input/InputSystem.h"

#include "engine/Input/DeviceManager.h"

namespace EngineCore {

struct InputSystem::Impl {
    std::shared_ptr<DeviceManager> manager;
};

InputSystem::InputSystem() : _impl(new Impl) {}
InputSystem::~InputSystem() = default;

InputSystem& InputSystem::Instance()
{
    static InputSystem instance;
    return instance;
}

void InputSystem::SetDeviceManager(const std::shared_ptr<DeviceManager>& manager)
{
    _impl->manager = manager;
}

const std::shared_ptr<DeviceManager>& InputSystem::GetDeviceManager() const
{
    return _impl->manager;
}

void InputSystem::Init()
{
    if (_impl->manager)
        _impl->manager->Init();
}

void InputSystem::Release()
{
    if (_impl->manager)
        _impl->manager->Release();
}

void InputSystem::Update(float dt)
{
    if (_impl->manager)
        _impl->manager->Update(dt);
}

}  // namespace EngineCore
