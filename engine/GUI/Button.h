#pragma once
#include <functional>
#include <memory>
#include <string>

#include "engine/GUI/CollisionSprite.h"
#include "engine/GUI/Control.h"
#include "engine/GUI/ControlActions.h"

namespace EngineCore {

class Resource;

// A clickable control: 0 normal --over--> 1 --press--> 2 --click--> 1 (action 1);
// 1 or 2 --out--> 0 (action 2); state 3 is disabled and ignores every event.
// It can follow a sprite and ask the sprite's collision function for hits, and
// as a quest control it accepts a dropped item by its exact name.
class Button : public Control {
public:
    enum ButtonState : int { kNormal = 0, kMouseOver = 1, kPressed = 2, kDisabled = 3 };
    enum ButtonAction : int { kActionOver = 0, kActionClick = 1, kActionOut = 2 };

    Button();
    ~Button() override;

    void Reset() override;
    bool IsQuestedControl() const override { return static_cast<bool>(_questAction); }
    void HandleEvent(const std::shared_ptr<GuiEvent>& event) override;

    // Action 0, 1 or 2; other numbers are ignored. An empty function removes it.
    void SetAction(int action, const std::function<void(void*)>& fn, void* data);
    ButtonState GetState() const { return _state; }
    // Disabling (3) also disables the control, returning to 0 re-enables it;
    // 1 is refused while disabled.
    void SetState(ButtonState state);
    void SetCollisionSprite(const std::shared_ptr<Resource>& sprite);
    const std::shared_ptr<Resource>& GetCollisionSprite() const { return _collision.Get(); }
    void SetQuestAction(const std::function<void(void*, const char*)>& fn, const char* itemName, void* data);
    // Runs the quest action for a matching name (exact, case-sensitive).
    bool OnQuestAction(const char* itemName);

protected:
    bool IsCollided(const CPoint& point) const override { return _collision.Hits(point); }

private:
    ButtonState _state = kNormal;
    std::string _questItemName;
    CollisionSprite _collision;
    void* _questData = nullptr;
    ControlActions<3> _actions;
    std::function<void(void*, const char*)> _questAction;
};

}  // namespace EngineCore
