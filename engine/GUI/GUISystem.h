#pragma once
#include <functional>
#include <memory>

namespace EngineCore {

class InputEvent;
class RenderSystem;
class Resource;

// The GUI dispatcher: it owns the custom cursor, the switch to the system
// cursor, and the two functions through which the back-end updates and draws
// its GUI layer each frame.
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

    // Back to the state of a fresh GUI; the cursor and the functions stay.
    void Reset();
    // Reset, then drops the cursor.
    void Release();

    // The normal-mode frame step, run by the game core before the current game
    // state's update: the back-end's updater, when one is installed.
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

    GUISystem(const GUISystem&) = delete;
    GUISystem& operator=(const GUISystem&) = delete;

protected:
    friend class RenderSystem;

    // Under the GUI lock, calls the back-end's updater; the render system calls
    // it while it holds its own lock (lock order: render, then GUI).
    void SystemUpdate(float dt);

private:
    GUISystem();
    ~GUISystem();

    struct Impl;
    Impl* _impl;
};

}  // namespace EngineCore
