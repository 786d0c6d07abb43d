#include "game/Input/GameDeviceManager.h"

#include "engine/Input/InputDevice.h"
#include "game/Input/GameActionManager.h"

namespace GameCore {

GameDeviceManager::GameDeviceManager() : _actions(new GameActionManager) {}
GameDeviceManager::~GameDeviceManager() = default;

void GameDeviceManager::Init()
{
    DeviceManager::Init();
    for (int type = EngineCore::InputDevice::kDeviceMouse; type <= EngineCore::InputDevice::kDeviceJoystick; ++type) {
        std::shared_ptr<EngineCore::InputDevice> device;
        if (!GetDevice(type, device) || !device)
            continue;
        if (type == EngineCore::InputDevice::kDeviceMouse)
            _actions->SetMouseDevice(device);
        else if (type == EngineCore::InputDevice::kDeviceKeyboard)
            _actions->SetKeyboardDevice(device);
        else
            _actions->SetJoystickDevice(device);
    }
}

void GameDeviceManager::Release()
{
    _actions->Clear();
    DeviceManager::Release();
}

void GameDeviceManager::Update(float dt)
{
    DeviceManager::Update(dt);
    _actions->Update();
}

GameActionManager& GameDeviceManager::GetActionManager() const { return *_actions; }

}  // namespace GameCore
