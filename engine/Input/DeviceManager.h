#pragma once

namespace EngineCore {

// The registry of the input devices in use. The game derives its own manager and
// overrides the per-frame steps; the base steps do nothing.
class DeviceManager {
public:
    DeviceManager();
    virtual ~DeviceManager();
    DeviceManager(const DeviceManager&) = delete;
    DeviceManager& operator=(const DeviceManager&) = delete;

    virtual void Init();
    virtual void Release();
    virtual void Update(float dt);
};

}  // namespace EngineCore
