#pragma once
#include <memory>

#include "engine/Input/ActionInfo.h"

namespace EngineCore {

class InputEvent;

// A table of actions indexed by a key, button or axis number. An id is valid when
// 0 <= id < slot count and its slot is occupied. A new table has one empty slot; it
// grows to the smallest power of two (at least 2) above the largest id stored and never
// shrinks except through Clear.
//
// Callbacks may register, unregister or clear actions of the table that runs them:
// every step re-checks the table after a callback returns.
class ActionManager {
public:
    ActionManager();
    virtual ~ActionManager();
    ActionManager(const ActionManager&) = delete;
    ActionManager& operator=(const ActionManager&) = delete;

    // Stores a new action (state off) at the id, replacing one there. False for a
    // negative id or one past the largest slot count an int can hold.
    bool RegisterAction(int id, const ActionInfo& info);
    // False when the id is not valid.
    bool UnregisterAction(int id);
    bool IsExistAction(int id) const;
    // True when the id is valid and its action is on.
    bool IsActionOn(int id) const;
    // No slots at all.
    void Clear();
    int GetSlotCount() const;

    // For a valid id: the action's OnAction / OffAction, and true.
    virtual bool OnAction(int id, const std::shared_ptr<InputEvent>& event);
    virtual bool OffAction(int id, const std::shared_ptr<InputEvent>& event);
    // The while-active step of every valid action, ids ascending.
    virtual void Update();

private:
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace EngineCore
