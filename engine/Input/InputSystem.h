#pragma once
#include <memory>

namespace EngineCore {

class DeviceManager;

// Forwards the application's start-up, per-frame and shutdown calls to the device
// manager the launcher installed; without one every call does nothing.
class InputSystem {
public:
    static InputSystem& Instance();

    void SetDeviceManager(const std::shared_ptr<DeviceManager>& manager);
    const std::shared_ptr<DeviceManager>& GetDeviceManager() const;

    void Init();
    void Release();
    void Update(float dt);

    ~InputSystem();
    InputSystem(const InputSystem&) = delete;
    InputSystem& operator=(const InputSystem&) = delete;

private:
    InputSystem();
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace EngineCore
