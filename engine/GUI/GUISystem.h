#pragma once
#include <functional>
#include <memory>

namespace EngineCore {

class Control;
class InputEvent;
class MouseEvent;
class RenderSystem;
class Resource;

// The GUI dispatcher. It keeps, per game state, the controls the scripts made,
// turns keyboard and mouse events into GUI events for the current state's
// controls, and tells the caller whether an event may go on to the game's own
// actions. It also owns the custom cursor, the switch to the system cursor, and
// the two functions through which the back-end updates and draws its GUI layer.
//
// Dispatch runs the controls' actions, which run scripts: those may register,
// unregister or reset anything here. Dispatch keeps its own shares of the
// controls it talks to and never walks the control list after an action ran.
// Lock order: render system, then this lock; it is recursive because the
// back-end's first cursor Show installs the updater and renderer from under it.
//
// Threads: while a state loads, the loader thread's scripts make and drop controls
// of the state being entered while the main thread dispatches input and runs the
// loading screen, whose scripts make and drop controls of the "system" state. The
// two threads share only the per-state control lists (each control is filed under
// GameStateScope::Owner of the thread that made it, under a lock of their own) and
// never a control: a control is dispatched, reset and updated only while its own
// state is current, on the main thread. Dispatch state (hover, press, the sorted
// list) belongs to the main thread.
class GUISystem {
public:
    static GUISystem& Instance();

    void Init();

    void Enable();
    void Disable();
    bool IsEnabled() const;

    // The entry for keyboard and mouse events: true when the event may go on to
    // the game's actions. A disabled GUI passes nothing on.
    bool AddEvent(const std::shared_ptr<InputEvent>& event) const;

    // Back to the state of a fresh GUI and every control of the current game state
    // reset; the last mouse move, the cursor and the functions stay.
    void Reset();
    // Reset, then drops the cursor.
    void Release();

    // Files the control (once) under the state that owns what the calling thread
    // makes (GameStateScope::Owner); throws "Internal error." when there is none.
    void RegisterControl(const std::shared_ptr<Control>& control);
    // Removes the control from whichever state's list holds it.
    void UnregisterControl(const std::shared_ptr<Control>& control);

    // The normal-mode frame step: the cursor's animation, the replay of the last
    // mouse move when none arrived this frame, then the back-end's updater.
    void Update(float dt);
    // Calls the back-end's renderer, when one is installed.
    void Render();

    void SetUpdaterFunction(const std::function<void(float)>& updater);
    void SetRendererFunction(const std::function<void()>& renderer);

    // Takes the resource (a Cursor) as the custom cursor; neither shows nor hides it.
    void SetCursorResource(const std::shared_ptr<Resource>& cursor);
    std::shared_ptr<Resource> GetCursorResource() const;
    // Shows the custom cursor unless the system cursor is in use.
    void ShowCursor();
    // Hides the custom cursor when the system cursor is in use or when forced.
    void HideCursor(bool force);
    bool IsCursorVisible() const;

    void EnableSystemCursor(bool enable);
    bool IsEnabledSystemCursor() const;
    // The launcher installs the back-end's system-cursor delegate here.
    void SetEvent(const std::function<void(bool)>& systemCursorListener);

    // The first enabled quest control whose rectangle holds the pointer (read from
    // the mouse device); throws "Internal error." without a mouse device.
    bool GetQuestControlUnderCursor(std::shared_ptr<Control>& out) const;
    // The same for draggable images other than `exclude`.
    bool GetDraggableImageControlUnderCursor(std::shared_ptr<Control>& out,
                                             const std::shared_ptr<Control>& exclude) const;

    GUISystem(const GUISystem&) = delete;
    GUISystem& operator=(const GUISystem&) = delete;

protected:
    friend class RenderSystem;
    friend class Control;

    // Under the GUI lock, calls the back-end's updater; the render system calls
    // it while it holds its own lock (lock order: render, then GUI).
    void SystemUpdate(float dt);
    // The sorted list is rebuilt before the next event.
    void ResortControls();

    bool AddMouseEvent(const MouseEvent& event) const;
    bool AddKeyboardEvent(const InputEvent& event) const;

private:
    GUISystem();
    ~GUISystem();

    struct Impl;
    Impl* _impl;
};

}  // namespace EngineCore
