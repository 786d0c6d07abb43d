#include "engine/GUI/GUISystem.h"

#include <atomic>

#include "engine/GUI/Cursor.h"
#include "engine/Input/InputEvent.h"
#include "engine/System/Mutex.h"
#include "engine/System/MutexLocker.h"

namespace EngineCore {

struct GUISystem::Impl {
    bool enabled = true;
    bool needsResort = true;
    bool mouseMovedThisFrame = false;
    bool pressOnControl = false;
    bool pressPassedOn = false;
    // Written before the lock is taken and read without it by the back-end.
    std::atomic<bool> systemCursor{false};
    // Recursive: the back-end's first cursor Show or Hide, run under this lock,
    // installs the updater and renderer, which take it again.
    mutable Mutex lock;
    Cursor* cursor = nullptr;
    std::shared_ptr<Resource> cursorResource;
    std::function<void(float)> updater;
    std::function<void()> renderer;
    std::function<void(bool)> systemCursorListener;
};

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

// Until controls exist every keyboard and mouse event of an enabled GUI goes on.
bool GUISystem::AddEvent(const std::shared_ptr<InputEvent>& event) const
{
    if (!event || !_impl->enabled)
        return false;
    return event->GetType() == InputEvent::kEventKeyboard || event->GetType() == InputEvent::kEventMouse;
}

void GUISystem::Reset()
{
    _impl->enabled = true;
    _impl->needsResort = true;
    _impl->mouseMovedThisFrame = false;
    _impl->pressOnControl = false;
    _impl->pressPassedOn = false;
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
    std::function<void(float)> updater;
    {
        MutexLocker locker(_impl->lock);
        updater = _impl->updater;
    }
    if (updater)
        updater(dt);
    _impl->mouseMovedThisFrame = false;
}

void GUISystem::SystemUpdate(float dt)
{
    MutexLocker locker(_impl->lock);
    const std::function<void(float)> updater = _impl->updater;
    if (updater) {
        updater(dt);
    }
}

void GUISystem::Render()
{
    std::function<void()> renderer;
    {
        MutexLocker locker(_impl->lock);
        renderer = _impl->renderer;
    }
    if (renderer) {
        renderer();
    }
}

void GUISystem::SetUpdaterFunction(const std::function<void(float)>& updater)
{
    MutexLocker locker(_impl->lock);
    _impl->updater = updater;
}

void GUISystem::SetRendererFunction(const std::function<void()>& renderer)
{
    MutexLocker locker(_impl->lock);
    _impl->renderer = renderer;
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
    if (!_impl->systemCursor && _impl->cursor != nullptr) {
        _impl->cursor->Show();
    }
}

void GUISystem::HideCursor(bool force)
{
    MutexLocker locker(_impl->lock);
    if ((_impl->systemCursor || force) && _impl->cursor != nullptr) {
        _impl->cursor->Hide();
    }
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
            enable ? _impl->cursor->Hide() : _impl->cursor->Show();
        }
    }
    const std::function<void(bool)> listener = _impl->systemCursorListener;
    if (listener) {
        listener(enable);
    }
}

bool GUISystem::IsEnabledSystemCursor() const
{
    return _impl->systemCursor;
}

void GUISystem::SetEvent(const std::function<void(bool)>& systemCursorListener)
{
    _impl->systemCursorListener = systemCursorListener;
}

}  // namespace EngineCore
