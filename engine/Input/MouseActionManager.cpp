#include "engine/Input/MouseActionManager.h"

#include <mutex>
#include <vector>

#include "engine/GUI/GUISystem.h"
#include "engine/Input/ActionDevice.h"
#include "engine/Input/ActionManager.h"
#include "engine/Input/InputEvent.h"
#include "engine/Input/MouseDevice.h"
#include "engine/Math/MathSystem.h"
#include "engine/System/SystemTimer.h"

namespace EngineCore {

namespace {

// The middle of the screen the throw was designed for, and the curve's outer points.
const float kMiddleX = 512.0f;
const float kMiddleY = 384.0f;
const D3DXVECTOR2 kCurveBefore{1536.0f, 384.0f};
const D3DXVECTOR2 kCurveAfter{512.0f, -384.0f};

}  // namespace

struct MouseActionManager::Impl {
    // Guards the effect (the fields up to `clicks`): the loading screen's scripts and the
    // state being entered both drive it, from two threads. Never held while an action or
    // the GUI runs script text.
    mutable std::mutex effectLock;
    bool running = false;
    bool armed = false;
    float clickSpan = 1.0f;
    float throwDuration = 1.0f;
    float elapsed = 0.0f;
    unsigned int clickCount = 3;
    D3DXVECTOR2 target;
    D3DXVECTOR2 start;
    std::vector<float> clicks;

    ActionDevice device{InputDevice::kDeviceMouse};
    ActionManager buttons;
    ActionManager axes;

    std::function<float()> clock;
    bool clockStarted = false;
    float lastUpdate = 0.0f;

    float Now() const { return clock ? clock() : SystemTimer::Instance().GetTime(); }

    MouseDevice* Mouse() const { return static_cast<MouseDevice*>(device.Get().get()); }

    void StartThrow()
    {
        running = true;
        elapsed = 0.0f;
        clicks.clear();
        const MouseDevice* mouse = Mouse();
        start.x = mouse ? mouse->GetAxisAbs(MouseDevice::kPitchAxis) : 0.0f;
        start.y = mouse ? mouse->GetAxisAbs(MouseDevice::kYawAxis) : 0.0f;
        target.x = start.x < kMiddleX ? start.x + 350.0f : start.x - 300.0f;
        target.y = start.y < kMiddleY ? start.y + 350.0f : start.y - 300.0f;
    }

    void AdvanceThrow(float dt)
    {
        elapsed += dt;
        // A duration that is not positive (a script may pass any number) ends the throw
        // now: otherwise t would never reach 1 and no mouse action would fire again.
        float t = throwDuration > 0.0f ? elapsed / throwDuration : 1.0f;
        if (t < 0.0f)
            t = 0.0f;
        if (t >= 1.0f) {
            t = 1.0f;
            running = false;
        }
        D3DXVECTOR2 point;
        MathSystem::Instance().InterpolateCatmullRom(kCurveBefore, start, target, kCurveAfter, t, point);
        if (MouseDevice* mouse = Mouse())
            mouse->SetMousePosition(point.x, point.y);
    }
};

MouseActionManager::MouseActionManager() : _impl(new Impl) {}
MouseActionManager::~MouseActionManager() = default;

void MouseActionManager::SetDevice(const std::shared_ptr<InputDevice>& device)
{
    _impl->device.Set(device);
}

const std::shared_ptr<InputDevice>& MouseActionManager::GetDivice() const { return _impl->device.Get(); }

bool MouseActionManager::RegisterKeyAction(int button, const ActionInfo& info)
{
    return _impl->buttons.RegisterAction(button, info);
}

bool MouseActionManager::RegisterAxisAction(int axis, const ActionInfo& info)
{
    return _impl->axes.RegisterAction(axis, info);
}

bool MouseActionManager::UnregisterKeyAction(int button) { return _impl->buttons.UnregisterAction(button); }
bool MouseActionManager::UnregisterAxisAction(int axis) { return _impl->axes.UnregisterAction(axis); }
const ActionManager& MouseActionManager::GetKeyActions() const { return _impl->buttons; }
const ActionManager& MouseActionManager::GetAxisActions() const { return _impl->axes; }

void MouseActionManager::Clear()
{
    _impl->device.ClearEvents();
    _impl->buttons.Clear();
    _impl->axes.Clear();
}

void MouseActionManager::StartMouseEffect(float clickSpan, unsigned int clickCount, float throwDuration)
{
    std::lock_guard<std::mutex> lock(_impl->effectLock);
    _impl->armed = true;
    _impl->clickSpan = clickSpan;
    _impl->clickCount = clickCount;
    _impl->throwDuration = throwDuration;
    _impl->clicks.clear();
}

void MouseActionManager::StopMouseEffect()
{
    std::lock_guard<std::mutex> lock(_impl->effectLock);
    _impl->armed = false;
    _impl->clicks.clear();
}

void MouseActionManager::AddClick()
{
    Impl& impl = *_impl;
    std::lock_guard<std::mutex> lock(impl.effectLock);
    if (!impl.armed)
        return;
    impl.clicks.push_back(impl.Now());
    if (impl.clicks.size() != impl.clickCount)
        return;
    const float span = impl.clicks.back() - impl.clicks.front();
    impl.clicks.erase(impl.clicks.begin());
    if (span > impl.clickSpan)
        return;
    impl.StartThrow();
}

bool MouseActionManager::IsMouseEffectArmed() const
{
    std::lock_guard<std::mutex> lock(_impl->effectLock);
    return _impl->armed;
}

bool MouseActionManager::IsThrowRunning() const
{
    std::lock_guard<std::mutex> lock(_impl->effectLock);
    return _impl->running;
}

void MouseActionManager::SetClock(const std::function<float()>& clock) { _impl->clock = clock; }

void MouseActionManager::Update()
{
    Impl& impl = *_impl;
    if (!impl.device.Get())
        return;
    const float now = impl.Now();
    if (!impl.clockStarted) {
        impl.clockStarted = true;
        impl.lastUpdate = now;
    }
    const float dt = now - impl.lastUpdate;
    impl.lastUpdate = now;

    GUISystem& gui = GUISystem::Instance();
    bool throwAdvanced = false;
    impl.device.Drain(InputEvent::kEventMouse, [&](const std::shared_ptr<InputEvent>& event) {
        const MouseEvent& mouse = static_cast<const MouseEvent&>(*event);
        const int state = event->GetState();
        const int button = mouse.GetKeyType();
        bool throwing;
        {
            std::lock_guard<std::mutex> lock(impl.effectLock);
            throwing = impl.running;
            // A throw advances once per update, by the time since the last one.
            if (throwing && !throwAdvanced) {
                throwAdvanced = true;
                impl.AdvanceThrow(dt);
            }
        }
        if (throwing) {
            if (state == InputEvent::kStatePressed)
                return;
            gui.AddEvent(event);
            if (state == InputEvent::kStateReleased && impl.buttons.IsActionOn(button))
                impl.buttons.OffAction(button, event);
            return;
        }
        const bool passed = gui.AddEvent(event);
        if (!passed) {
            if (state == InputEvent::kStateReleased && impl.buttons.IsActionOn(button))
                impl.buttons.OffAction(button, event);
            return;
        }
        FireKeyAndAxis(impl.buttons, impl.axes, button, mouse.GetAxisType(), event);
    });
    impl.buttons.Update();
    impl.axes.Update();
}

}  // namespace EngineCore
