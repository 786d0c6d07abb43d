#pragma once
#include <memory>
#include <string>


namespace EngineCore {
class InputDevice;
class InputEvent;
class JoystickActionManager;
class KeyboardActionManager;
class MouseActionManager;
}  // namespace EngineCore

namespace GameCore {

class GameActionControllerManager;

// Named input bindings: a key, button or axis name bound to three handler texts (run
// every frame while held, on press, on release) through the engine's action managers.
// The texts are kept in one table per device kind, indexed by an action code:
//   mouse buttons 1-3, mouse axes 4-7 (axis + 3); joystick keys 1-4, joystick axes 5-7
//   (axis + 4); keyboard keys 1-103.
// A name that is no key, button or axis of that device binds nothing. The bindings are
// one set for the whole game: they last until unregistered, cleared or released, across
// state changes, and their texts go to the action controller manager, which runs a "#"
// text in whatever game state is current when the binding fires.
//
// The tables are guarded: a state's scripts bind on the loader thread while the loading
// screen's scripts may bind on the main thread. The guard is held while the engine
// managers fire, and it is recursive, so a text that binds or clears on the firing
// thread goes through at once.
class GameActionManager {
public:
    enum Table { kMouseTable, kJoystickTable, kKeyboardTable };

    struct ActionRecord {
        std::string name;
        std::string action;
        std::string actionOn;
        std::string actionOff;
    };

    GameActionManager();
    ~GameActionManager();
    GameActionManager(const GameActionManager&) = delete;
    GameActionManager& operator=(const GameActionManager&) = delete;

    // Binding a name again replaces its texts and its engine action.
    void Register(Table table, const char* name, const char* action, const char* actionOn, const char* actionOff);
    // Removes the engine action and the stored texts of that key, button or axis.
    void Unregister(Table table, const char* name);

    void RegisterMouseAction(const char* name, const char* action, const char* actionOn, const char* actionOff)
    {
        Register(kMouseTable, name, action, actionOn, actionOff);
    }
    void RegisterJoystickAction(const char* name, const char* action, const char* actionOn, const char* actionOff)
    {
        Register(kJoystickTable, name, action, actionOn, actionOff);
    }
    void RegisterKeyboardAction(const char* name, const char* action, const char* actionOn, const char* actionOff)
    {
        Register(kKeyboardTable, name, action, actionOn, actionOff);
    }
    void UnregisterMouseAction(const char* name) { Unregister(kMouseTable, name); }
    void UnregisterJoystickAction(const char* name) { Unregister(kJoystickTable, name); }
    void UnregisterKeyboardAction(const char* name) { Unregister(kKeyboardTable, name); }

    // What the engine actions call, the user pointer carrying the action code: hands
    // the chosen text of the record at that code to the action controller manager.
    // Nothing for a code without a record.
    void Fire(Table table, std::string ActionRecord::*text, void* code,
              const std::shared_ptr<EngineCore::InputEvent>& event);

    // The engine mouse, keyboard and joystick managers, then the controllers.
    void Update();
    // Empties the three tables (no slots left), then the engine managers.
    void Clear();

    void SetMouseDevice(const std::shared_ptr<EngineCore::InputDevice>& device);
    void SetJoystickDevice(const std::shared_ptr<EngineCore::InputDevice>& device);
    void SetKeyboardDevice(const std::shared_ptr<EngineCore::InputDevice>& device);

    EngineCore::MouseActionManager& GetMouseActionManager() const;
    EngineCore::KeyboardActionManager& GetKeyboardActionManager() const;
    EngineCore::JoystickActionManager& GetJoystickActionManager() const;

    void SetActionControllerManager(const std::shared_ptr<GameActionControllerManager>& manager);
    const std::shared_ptr<GameActionControllerManager>& GetActionControllerManager() const;

    // The record stored at a code of the mouse, joystick or keyboard table; false when
    // the slot is empty. The slot count of a table: 1 (mouse, joystick) or 256
    // (keyboard) at first, 0 after Clear, then the power of two above the largest code.
    bool GetRecord(Table table, int code, ActionRecord& record) const;
    int GetSlotCount(Table table) const;

private:
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace GameCore
