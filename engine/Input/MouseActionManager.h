#pragma once
#include <functional>
#include <memory>

#include "engine/Input/ActionInfo.h"

namespace EngineCore {

class ActionManager;
class InputDevice;

// Fires the mouse's button and axis actions from the events of one mouse device, with
// the same GUI rule as the keyboard (a release always turns off a button that is on).
//
// It also carries the mouse effect: once armed, a burst of `count` clicks (AddClick)
// within the click span throws the pointer along a curve for the throw duration. While
// a throw runs no action fires: presses are dropped, other events only reach the GUI.
// The throw's targets use the middle of a 1024 x 768 screen whatever the real size.
class MouseActionManager {
public:
    MouseActionManager();
    ~MouseActionManager();
    MouseActionManager(const MouseActionManager&) = delete;
    MouseActionManager& operator=(const MouseActionManager&) = delete;

    // Takes the device only when it is a mouse.
    void SetDevice(const std::shared_ptr<InputDevice>& device);
    const std::shared_ptr<InputDevice>& GetDivice() const;

    bool RegisterKeyAction(int button, const ActionInfo& info);
    bool RegisterAxisAction(int axis, const ActionInfo& info);
    bool UnregisterKeyAction(int button);
    bool UnregisterAxisAction(int axis);
    const ActionManager& GetKeyActions() const;
    const ActionManager& GetAxisActions() const;

    // Drops the device's queued events and every action; the effect is kept.
    void Clear();

    // Arms the effect and forgets recorded clicks; a running throw goes on.
    void StartMouseEffect(float clickSpan, unsigned int clickCount, float throwDuration);
    // Disarms the effect and forgets recorded clicks; a running throw goes on.
    void StopMouseEffect();
    // When armed, records a click now and starts a throw when the burst is complete.
    void AddClick();
    bool IsMouseEffectArmed() const;
    bool IsThrowRunning() const;

    void Update();

    // The clock in seconds (SystemTimer's by default); tests replace it.
    void SetClock(const std::function<float()>& clock);

private:
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace EngineCore
