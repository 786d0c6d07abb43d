#include "engine/GUI/DraggableImage.h"


#include "engine/Renderer/Sprite.h"

namespace EngineCore {

DraggableImage::DraggableImage() : _collision(*this)
{
    SetType(kDraggableImage);
}

DraggableImage::~DraggableImage() = default;

void DraggableImage::Reset()
{
    if (_state == kDisabled)
        SetState(kNormal);
    _state = kNormal;
    _dragging = false;
}

void DraggableImage::SetAction(int action, const std::function<void(void*)>& fn, void* data)
{
    _actions.Set(action, fn, data);
}

void DraggableImage::HandleEvent(const std::shared_ptr<GuiEvent>& event)
{
    const DraggableImageState before = _state;
    if (!event || before == kDisabled)
        return;
    switch (event->GetType()) {
    case GuiEvent::kPress:
        _dragging = true;
        _state = kDragging;
        _grabPoint = event->GetMousePosition();
        if (_draggable)
            _startPosition = CPoint{TruncateToInt32(_draggable->GetPositionX()), TruncateToInt32(_draggable->GetPositionY())};
        _actions.Run(kActionDragStart);
        break;
    case GuiEvent::kMouseOver:
        if (_dragging && before == kDragging && _draggable) {
            const CPoint& p = event->GetMousePosition();
            // In 64 bits: the offsets of far-off points must not overflow.
            const int64_t x = int64_t{p.x} + _startPosition.x - _grabPoint.x;
            const int64_t y = int64_t{p.y} + _startPosition.y - _grabPoint.y;
            _draggable->SetPosition(static_cast<float>(x), static_cast<float>(y));
        }
        break;
    case GuiEvent::kClick:
        if (_dragging) {
            _actions.Run(kActionDrop);
            _dragging = false;
            if (_state != kNormal)
                SetState(kNormal);
        }
        break;
    default:
        break;
    }
}

void DraggableImage::SetState(DraggableImageState state)
{
    if (state == _state)
        return;
    if (!IsVisible() && state == kNormal)
        Enable();
    else if (state == kDisabled)
        Disable();
    _state = state;
}

void DraggableImage::SetCollisionSprite(const std::shared_ptr<Resource>& sprite)
{
    _collision.Set(sprite);
}

void DraggableImage::SetDraggableSprite(const std::shared_ptr<Resource>& sprite)
{
    _draggable.Hold(sprite);
}

}  // namespace EngineCore
