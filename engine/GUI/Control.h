#pragma once
#include <memory>

#include "engine/GUI/GuiEvent.h"
#include "engine/GUI/GuiGeometry.h"

namespace EngineCore {

class GUISystem;

// An invisible rectangular hit area fed with GUI events by the GUI system.
// The view rectangle is (x, y, x + cx, y + cy), rebuilt when asked for after a
// change. Enable, Disable and SetPriority make the GUI re-sort its controls
// before the next event. A control takes no lock: it is used on the thread that
// dispatches input and runs scripts.
class Control {
public:
    enum ControlType : int { kNone = 0, kButton = 3, kEditBox = 4, kDraggableImage = 13 };

    Control() = default;
    Control(const Control&) = default;
    Control& operator=(const Control&) = default;
    virtual ~Control() = default;

    // Back to the state the GUI expects when a game state is entered.
    virtual void Reset() {}
    virtual void Enable();
    virtual void Disable();
    // Lower values are offered events first.
    virtual void SetPriority(float priority);
    // True for a control that accepts dropped quest items.
    virtual bool IsQuestedControl() const { return false; }
    // True while the control captures the pointer (a drag runs).
    virtual bool IsDragAndDropEnable() const { return false; }
    virtual void SetPosition(const CPoint& position);
    virtual void HandleEvent(const std::shared_ptr<GuiEvent>& event) = 0;

    float GetPriority() const { return _priority; }
    ControlType GetType() const { return _type; }
    const CRect& GetViewRect() const;
    void SetSize(const CSize& size);
    const CSize& GetSize() const { return _size; }
    const CPoint& GetPosition() const { return _position; }
    // The enabled flag: a disabled control takes no part in the mouse look-ups.
    bool IsVisible() const { return _enabled; }

protected:
    friend class GUISystem;

    // Asked only for a point inside the view rectangle.
    virtual bool IsCollided(const CPoint& point) const;
    void SetType(ControlType type) { _type = type; }

private:
    bool _enabled = true;
    float _priority = 0.0f;
    CSize _size;
    CPoint _position;
    ControlType _type = kNone;
    mutable bool _viewRectDirty = false;
    mutable CRect _viewRect;
};

}  // namespace EngineCore
