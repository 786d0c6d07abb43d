#pragma once
#include <memory>

#include "engine/Input/ActionInfo.h"

namespace EngineCore {

class InputEvent;

// One binding: its callbacks and an on/off state with the state before the last change.
// A callback may replace or destroy the very action that runs it (a script rebinding its
// own key): the action copies the callback before calling it and touches none of its own
// members afterwards.
class Action {
public:
    enum ActionState { kOff = 0, kOn = 1 };

    Action() = default;
    Action(const Action&) = default;
    virtual ~Action() = default;
    virtual Action& operator=(const Action& other);

    void SetActionInfo(const ActionInfo& info);
    // The current state becomes the previous one.
    void SetActionState(int state);
    int GetActionState() const { return _state; }
    int GetLastActionState() const { return _lastState; }

    // While on: the while-active callback with an empty event.
    virtual void Update();
    // Turns the action on and calls the on callback, also when it was on already.
    virtual void OnAction(const std::shared_ptr<InputEvent>& event);
    // Turns the action off and calls the off callback.
    virtual void OffAction(const std::shared_ptr<InputEvent>& event);

private:
    ActionInfo _info;
    int _lastState = kOff;
    int _state = kOff;
};

}  // namespace EngineCore
