#pragma once
#include <functional>
#include <memory>

#include "engine/GUI/Control.h"
#include "engine/GUI/ControlActions.h"

namespace EngineCore {

// Receives typed characters while active (state 0); inactive (1) at first and
// after a GUI reset. Each character is stored and reported through action 1.
class EditBox : public Control {
public:
    enum EditBoxState : int { kActive = 0, kInactive = 1 };

    EditBox();
    ~EditBox() override;

    void Reset() override;
    void HandleEvent(const std::shared_ptr<GuiEvent>& event) override;

    // Action 0, 1 or 2 (only 1 is ever run); other numbers are ignored.
    void SetAction(int action, const std::function<void(void*)>& fn, void* data);
    EditBoxState GetState() const { return _state; }
    void SetState(EditBoxState state);
    // The last character received, -1 when none came since the last call.
    int PopLastKeyChar() const;

private:
    mutable int _lastKeyChar = -1;
    EditBoxState _state = kInactive;
    ControlActions<3> _actions;
};

}  // namespace EngineCore
