#include "engine/GUI/GUISystem.h"

#include <algorithm>
#include <atomic>
#include <list>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "engine/GUI/Control.h"
#include "engine/GUI/Cursor.h"
#include "engine/GUI/EditBox.h"
#include "engine/GUI/GuiEvent.h"
#include "engine/Input/DeviceManager.h"
#include "engine/Input/InputEvent.h"
#include "engine/Input/InputSystem.h"
#include "engine/Input/MouseDevice.h"
#include "engine/Renderer/GameStateScope.h"
#include "engine/Renderer/RenderSystem.h"
#include "engine/System/EngineError.h"
#include "engine/System/Mutex.h"
#include "engine/System/MutexLocker.h"

namespace EngineCore {

namespace {

const char* const kSource = "GUI\\GUISystem.cpp";

using ControlPtr = std::shared_ptr<Control>;

// The input system's mouse; throws "Internal error." at `line` without one.
std::shared_ptr<MouseDevice> RequireMouse(int line)
{
    std::shared_ptr<MouseDevice> mouse;
    const std::shared_ptr<DeviceManager>& manager = InputSystem::Instance().GetDeviceManager();
    std::shared_ptr<InputDevice> device;
    if (manager && manager->GetDevice(InputDevice::kDeviceMouse, device))
        mouse = std::dynamic_pointer_cast<MouseDevice>(device);
    if (!mouse)
        ThrowEngineError(kSource, line, "Internal error.");
    return mouse;
}

CPoint PointerOf(const MouseDevice& mouse)
{
    return CPoint{TruncateToInt32(mouse.GetAxisAbs(MouseDevice::kPitchAxis)),
                  TruncateToInt32(mouse.GetAxisAbs(MouseDevice::kYawAxis))};
}

void Send(const ControlPtr& control, const std::shared_ptr<GuiEvent>& event, GuiEvent::EventType type,
          const CPoint& point)
{
    event->SetType(type);
    event->SetMousePosition(point);
    control->HandleEvent(event);
}

}  // namespace

struct GUISystem::Impl {
    bool enabled = true;
    // Set from any thread that files or drops a control; guarded by `controlsLock`.
    bool needsResort = true;
    bool mouseMovedThisFrame = false;
    bool pressOnControl = false;
    bool pressPassedOn = false;
    // Read by the back-end's input pump without the lock.
    std::atomic<bool> systemCursor{false};
    mutable Mutex lock;
    Cursor* cursor = nullptr;
    std::shared_ptr<Resource> cursorResource;
    ControlPtr hovered;
    ControlPtr pressed;
    std::shared_ptr<InputEvent> lastMouseMove;
    // Shared, so a frame takes the current one without copying it and keeps it alive
    // while it runs, even if the call replaces it.
    std::shared_ptr<const std::function<void(float)>> updater;
    std::shared_ptr<const std::function<void()>> renderer;
    // Every state's controls, filed by the owner of the thread that made them: the
    // loader thread files the entering state's while the main thread dispatches.
    // Guarded by `controlsLock`, which is never held while a control is called.
    std::mutex controlsLock;
    std::map<std::string, std::list<ControlPtr>> controls;
    // The current state's controls in dispatch order; used on the dispatching thread.
    std::vector<ControlPtr> sorted;
    std::shared_ptr<const std::function<void(bool)>> systemCursorListener;

    // A copy of the current state's controls.
    std::vector<ControlPtr> CurrentControls()
    {
        const std::string current = RenderSystem::Instance().GetCurrentGameState();
        std::lock_guard<std::mutex> guard(controlsLock);
        const auto found = controls.find(current);
        if (found == controls.end())
            return {};
        return std::vector<ControlPtr>(found->second.begin(), found->second.end());
    }

    void MarkResort()
    {
        std::lock_guard<std::mutex> guard(controlsLock);
        needsResort = true;
    }

    void Resort()
    {
        {
            std::lock_guard<std::mutex> guard(controlsLock);
            if (!needsResort)
                return;
            needsResort = false;
        }
        sorted = CurrentControls();
        // Stable: controls of equal priority keep their registration order.
        std::stable_sort(sorted.begin(), sorted.end(),
                  [](const ControlPtr& a, const ControlPtr& b) { return a->GetPriority() < b->GetPriority(); });
    }

    // Capture first, then the lowest priority value whose rectangle and shape hold
    // the point. Chosen before any control is called.
    ControlPtr FindTarget(const CPoint& point) const
    {
        for (const ControlPtr& control : sorted)
            if (control->IsVisible() && control->IsDragAndDropEnable())
                return control;
        for (const ControlPtr& control : sorted)
            if (control->IsVisible() && control->GetViewRect().PtInRect(point) && control->IsCollided(point))
                return control;
        return nullptr;
    }

    bool Dispatch(const MouseEvent& event);
};

// One mouse event through the controls. The shares taken here keep every control
// that is called alive for the whole step, whatever its action frees or resets.
bool GUISystem::Impl::Dispatch(const MouseEvent& event)
{
    const CPoint point{event.GetAbsolutePosition().x, event.GetAbsolutePosition().y};
    const ControlPtr target = FindTarget(point);
    const int state = event.GetState();
    const bool left = event.GetKeyType() == MouseDevice::kLeftButton;

    if (target) {
        if (state == InputEvent::kStateAxisChanged) {
            // The hover and the leave of one move travel in one event object.
            const auto moveEvent = std::make_shared<GuiEvent>();
            Send(target, moveEvent, GuiEvent::kMouseOver, point);
            const ControlPtr old = hovered;
            if (old && old != target && old != pressed)
                Send(old, moveEvent, GuiEvent::kMouseOut, point);
            hovered = target;
        } else if (state == InputEvent::kStatePressed && left && !pressed) {
            Send(target, std::make_shared<GuiEvent>(), GuiEvent::kPress, point);
            pressed = target;
        }
    }
    if (state == InputEvent::kStateReleased && left) {
        const ControlPtr holder = pressed;
        pressed.reset();
        if (holder) {
            const auto releaseEvent = std::make_shared<GuiEvent>();
            Send(holder, releaseEvent, holder == target ? GuiEvent::kClick : GuiEvent::kMouseOut, point);
        }
    }
    if (!target) {
        const ControlPtr old = hovered;
        if (old && old != pressed) {
            hovered.reset();
            Send(old, std::make_shared<GuiEvent>(), GuiEvent::kMouseOut, point);
        }
    }
    return static_cast<bool>(target);
}

GUISystem& GUISystem::Instance()
{
    static GUISystem instance;
    return instance;
}

GUISystem::GUISystem() : _impl(new Impl) {}

GUISystem::~GUISystem()
{
    delete _impl;
    _impl = nullptr;
}

void GUISystem::Init() {}

void GUISystem::Enable()
{
    _impl->enabled = true;
}

void GUISystem::Disable()
{
    _impl->enabled = false;
}

bool GUISystem::IsEnabled() const
{
    return _impl->enabled;
}

void GUISystem::ResortControls()
{
    _impl->MarkResort();
}

void GUISystem::RegisterControl(const std::shared_ptr<Control>& control)
{
    if (!control)
        return;
    const std::string owner = GameStateScope::Owner();
    if (owner.empty())
        ThrowEngineError(kSource, 259, "Internal error.");
    std::lock_guard<std::mutex> guard(_impl->controlsLock);
    std::list<ControlPtr>& list = _impl->controls[owner];
    if (std::find(list.begin(), list.end(), control) != list.end())
        return;
    list.push_back(control);
    _impl->needsResort = true;
}

// Every state's list is searched: a script object collected while another state
// is current must not leave its control behind for its own state's next visit.
void GUISystem::UnregisterControl(const std::shared_ptr<Control>& control)
{
    // Declared first: a last share is dropped after the lock is released.
    ControlPtr dropped;
    std::lock_guard<std::mutex> guard(_impl->controlsLock);
    _impl->needsResort = true;
    for (auto& entry : _impl->controls) {
        std::list<ControlPtr>& list = entry.second;
        const auto found = std::find(list.begin(), list.end(), control);
        if (found != list.end()) {
            dropped = std::move(*found);
            list.erase(found);
            return;
        }
    }
}

bool GUISystem::AddEvent(const std::shared_ptr<InputEvent>& event) const
{
    _impl->Resort();
    if (!_impl->enabled || !event)
        return false;
    switch (event->GetType()) {
    case InputEvent::kEventKeyboard:
        return AddKeyboardEvent(*event);
    case InputEvent::kEventMouse:
        if (event->GetState() == InputEvent::kStateAxisChanged)
            _impl->lastMouseMove = event;
        return AddMouseEvent(static_cast<const MouseEvent&>(*event));
    default:
        return false;
    }
}

bool GUISystem::AddKeyboardEvent(const InputEvent& event) const
{
    std::shared_ptr<EditBox> box;
    for (const ControlPtr& control : _impl->sorted) {
        if (control->GetType() != Control::kEditBox)
            continue;
        auto candidate = std::dynamic_pointer_cast<EditBox>(control);
        if (candidate && candidate->GetState() == EditBox::kActive) {
            box = candidate;
            break;
        }
    }
    if (!box || event.GetState() != InputEvent::kStatePressed)
        return true;
    const auto* key = dynamic_cast<const KeyboardEvent*>(&event);
    const int keyChar = key ? key->GetKeyChar() : -1;
    // Keys that type nothing (Shift, arrows...) are not text: they pass on.
    if (keyChar <= 0)
        return true;
    auto guiEvent = std::make_shared<GuiEvent>();
    guiEvent->SetType(GuiEvent::kCharacter);
    guiEvent->SetKeyChar(keyChar);
    box->HandleEvent(guiEvent);
    return false;
}

bool GUISystem::AddMouseEvent(const MouseEvent& event) const
{
    Impl& impl = *_impl;
    switch (event.GetState()) {
    case InputEvent::kStateAxisChanged: {
        if (impl.pressPassedOn)
            return true;
        const bool found = impl.Dispatch(event);
        impl.mouseMovedThisFrame = true;
        return !found;
    }
    case InputEvent::kStatePressed: {
        if (impl.pressPassedOn)
            return true;
        const bool found = impl.Dispatch(event);
        if (impl.pressOnControl)
            return false;
        if (found) {
            impl.pressOnControl = true;
            return false;
        }
        impl.pressPassedOn = true;
        return true;
    }
    case InputEvent::kStateReleased: {
        const std::shared_ptr<MouseDevice> mouse = RequireMouse(568);
        bool otherDown = false;
        for (int button = MouseDevice::kLeftButton; button <= MouseDevice::kMiddleButton; ++button)
            if (button != event.GetKeyType() && mouse->GetKeyStatus(button) == MouseDevice::kKeyDown)
                otherDown = true;
        if (otherDown) {
            if (impl.pressPassedOn)
                return true;
            impl.Dispatch(event);
            return false;
        }
        if (impl.pressPassedOn) {
            impl.pressPassedOn = false;
            return true;
        }
        if (impl.pressOnControl) {
            impl.Dispatch(event);
            impl.pressOnControl = false;
        }
        return false;
    }
    default:
        return false;
    }
}

void GUISystem::Reset()
{
    Impl& impl = *_impl;
    impl.enabled = true;
    impl.MarkResort();
    impl.mouseMovedThisFrame = false;
    impl.pressOnControl = false;
    impl.pressPassedOn = false;
    impl.hovered.reset();
    impl.pressed.reset();
    impl.sorted.clear();
    // A copy: a control's reset may register or unregister controls.
    const std::vector<ControlPtr> current = impl.CurrentControls();
    for (const ControlPtr& control : current)
        control->Reset();
}

void GUISystem::Release()
{
    Reset();
    MutexLocker locker(_impl->lock);
    _impl->cursor = nullptr;
    _impl->cursorResource.reset();
}

void GUISystem::Update(float dt)
{
    std::shared_ptr<Resource> cursorResource;
    std::shared_ptr<const std::function<void(float)>> updater;
    {
        MutexLocker locker(_impl->lock);
        cursorResource = _impl->cursorResource;
        updater = _impl->updater;
    }
    if (auto* cursor = dynamic_cast<Cursor*>(cursorResource.get()))
        cursor->Update(dt);
    if (!_impl->mouseMovedThisFrame && _impl->lastMouseMove) {
        // So hover and leave follow controls that move or appear under a resting pointer.
        const std::shared_ptr<InputEvent> replay = _impl->lastMouseMove;
        AddEvent(replay);
    }
    if (updater)
        (*updater)(dt);
    _impl->mouseMovedThisFrame = false;
}

void GUISystem::SystemUpdate(float dt)
{
    MutexLocker locker(_impl->lock);
    const std::shared_ptr<const std::function<void(float)>> updater = _impl->updater;
    if (updater)
        (*updater)(dt);
}

void GUISystem::Render()
{
    std::shared_ptr<const std::function<void()>> renderer;
    {
        MutexLocker locker(_impl->lock);
        renderer = _impl->renderer;
    }
    if (renderer)
        (*renderer)();
}

void GUISystem::SetUpdaterFunction(const std::function<void(float)>& updater)
{
    auto shared = updater ? std::make_shared<const std::function<void(float)>>(updater) : nullptr;
    MutexLocker locker(_impl->lock);
    _impl->updater = std::move(shared);
}

void GUISystem::SetRendererFunction(const std::function<void()>& renderer)
{
    auto shared = renderer ? std::make_shared<const std::function<void()>>(renderer) : nullptr;
    MutexLocker locker(_impl->lock);
    _impl->renderer = std::move(shared);
}

void GUISystem::SetCursorResource(const std::shared_ptr<Resource>& cursor)
{
    MutexLocker locker(_impl->lock);
    _impl->cursorResource = cursor;
    _impl->cursor = dynamic_cast<Cursor*>(cursor.get());
}

std::shared_ptr<Resource> GUISystem::GetCursorResource() const
{
    MutexLocker locker(_impl->lock);
    return _impl->cursorResource;
}

void GUISystem::ShowCursor()
{
    MutexLocker locker(_impl->lock);
    if (!_impl->systemCursor && _impl->cursor != nullptr)
        _impl->cursor->Show();
}

void GUISystem::HideCursor(bool force)
{
    MutexLocker locker(_impl->lock);
    if ((_impl->systemCursor || force) && _impl->cursor != nullptr)
        _impl->cursor->Hide();
}

bool GUISystem::IsCursorVisible() const
{
    MutexLocker locker(_impl->lock);
    return _impl->cursor != nullptr && _impl->cursor->IsVisible();
}

void GUISystem::EnableSystemCursor(bool enable)
{
    _impl->systemCursor = enable;
    {
        MutexLocker locker(_impl->lock);
        if (_impl->cursor != nullptr) {
            if (enable)
                _impl->cursor->Hide();
            else
                _impl->cursor->Show();
        }
    }
    const std::shared_ptr<const std::function<void(bool)>> listener = _impl->systemCursorListener;
    if (listener)
        (*listener)(enable);
}

bool GUISystem::IsEnabledSystemCursor() const
{
    return _impl->systemCursor;
}

void GUISystem::SetEvent(const std::function<void(bool)>& systemCursorListener)
{
    _impl->systemCursorListener =
        systemCursorListener ? std::make_shared<const std::function<void(bool)>>(systemCursorListener) : nullptr;
}

bool GUISystem::GetQuestControlUnderCursor(std::shared_ptr<Control>& out) const
{
    const CPoint point = PointerOf(*RequireMouse(721));
    for (const ControlPtr& control : _impl->sorted) {
        if (control->IsVisible() && control->IsQuestedControl() && control->GetViewRect().PtInRect(point)) {
            out = control;
            return true;
        }
    }
    return false;
}

bool GUISystem::GetDraggableImageControlUnderCursor(std::shared_ptr<Control>& out,
                                                    const std::shared_ptr<Control>& exclude) const
{
    const CPoint point = PointerOf(*RequireMouse(757));
    for (const ControlPtr& control : _impl->sorted) {
        if (control != exclude && control->IsVisible() && control->GetType() == Control::kDraggableImage &&
            control->GetViewRect().PtInRect(point)) {
            out = control;
            return true;
        }
    }
    return false;
}

}  // namespace EngineCore
