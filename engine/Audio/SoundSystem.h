#pragma once
#include <functional>
#include <memory>

namespace EngineCore {

// Keeps the global sound-effect volume and tells the back-end about changes
// through listeners installed at start-up.
class SoundSystem {
public:
    static SoundSystem& Instance();

    float GetVolume() const;
    // Stores the value first, so a listener that reads GetVolume sees it.
    void SetVolume(float volume);
    // Without a stop-all listener this does nothing.
    void StopAllSounds();

    // Installed by the launcher, which lives in another library.
    void SetEvent(const std::function<void(float)>& volumeListener);
    void SetEvent(const std::function<void()>& stopAllListener);

    SoundSystem(const SoundSystem&) = delete;
    SoundSystem& operator=(const SoundSystem&) = delete;

private:
    SoundSystem();
    ~SoundSystem();

    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace EngineCore
