#pragma once
#include <functional>
#include <memory>
#include <string>

#include "engine/GUI/CollisionSprite.h"
#include "engine/GUI/Control.h"
#include "engine/GUI/ControlActions.h"
#include "engine/Resources/HeldResource.h"

namespace EngineCore {

class Resource;
class Sprite;

// A control that drags a sprite with the pointer: 0 normal --press--> 1 dragging
// (action 0) --click--> 0 (action 1, the drop); 2 is disabled. While it drags it
// captures the pointer and keeps the sprite at its offset from the grab point.
class DraggableImage : public Control {
public:
    enum DraggableImageState : int { kNormal = 0, kDragging = 1, kDisabled = 2 };
    enum DraggableImageAction : int { kActionDragStart = 0, kActionDrop = 1 };

    DraggableImage();
    ~DraggableImage() override;

    // State 0, no drag running (the sprite stays where it is); a disabled image
    // comes back enabled as well.
    void Reset() override;
    bool IsDragAndDropEnable() const override { return _dragging; }
    void HandleEvent(const std::shared_ptr<GuiEvent>& event) override;

    // Action 0 or 1; other numbers are ignored.
    void SetAction(int action, const std::function<void(void*)>& fn, void* data);
    DraggableImageState GetState() const { return _state; }
    void SetState(DraggableImageState state);
    void SetCollisionSprite(const std::shared_ptr<Resource>& sprite);
    const std::shared_ptr<Resource>& GetCollisionSprite() const { return _collision.Get(); }
    // An empty pointer or a resource that is not a sprite clears it.
    void SetDraggableSprite(const std::shared_ptr<Resource>& sprite);
    std::shared_ptr<Resource> GetDraggableSprite() const { return _draggable.Shared(); }
    const char* GetQuestItemName() const { return _questItemName.c_str(); }
    void SetQuestItemName(const char* name) { _questItemName = name ? name : ""; }
    // The draggable sprite's position when the drag began.
    const CPoint& GetStartObjectPosition() const { return _startPosition; }

protected:
    bool IsCollided(const CPoint& point) const override { return _dragging || _collision.Hits(point); }

private:
    bool _dragging = false;
    std::string _questItemName;
    DraggableImageState _state = kNormal;
    CollisionSprite _collision;
    HeldResource<Sprite> _draggable;
    CPoint _grabPoint;
    CPoint _startPosition;
    ControlActions<2> _actions;
};

}  // namespace EngineCore
