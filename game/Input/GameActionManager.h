#pragma once
#include <memory>
#include <string>

#include "game/Base/StateCallback.h"

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
// state changes. Their "#" texts run in the game state that made the binding, and only
// while it is entered: a state's bindings rest while another state is current and work
// again when it comes back.
class GameActionManager {
public:
    struct ActionRecord {
        std::string name;
        std::string action;
        std::string actionOn;
        std::string actionOff;
        // The state that made the binding, whose interpreter runs its texts.
        StateCallback owner;
    };

    GameActionManager();
    ~GameActionManager();
    GameActionManager(const GameActionManager&) = delete;
    GameActionManager& operator=(const GameActionManager&) = delete;

    // Binding a name again replaces its texts and its engine action.
    void RegisterMouseAction(const char* name, const char* action, const char* actionOn, const char* actionOff);
    void RegisterJoystickAction(const char* name, const char* action, const char* actionOn, const char* actionOff);
    void RegisterKeyboardAction(const char* name, const char* action, const char* actionOn, const char* actionOff);
    void UnregisterMouseAction(const char* name);
    void UnregisterJoystickAction(const char* name);
    void UnregisterKeyboardAction(const char* name);

    // Bound into the engine actions; the user pointer carries the action code.
    void MouseAction(void* code, const std::shared_ptr<EngineCore::InputEvent>& event);
    void MouseActionOn(void* code, const std::shared_ptr<EngineCore::InputEvent>& event);
    void MouseActionOff(void* code, const std::shared_ptr<EngineCore::InputEvent>& event);
    void JoystickAction(void* code, const std::shared_ptr<EngineCore::InputEvent>& event);
    void JoystickActionOn(void* code, const std::shared_ptr<EngineCore::InputEvent>& event);
    void JoystickActionOff(void* code, const std::shared_ptr<EngineCore::InputEvent>& event);
    void KeyboardAction(void* code, const std::shared_ptr<EngineCore::InputEvent>& event);
    void KeyboardActionOn(void* code, const std::shared_ptr<EngineCore::InputEvent>& event);
    void KeyboardActionOff(void* code, const std::shared_ptr<EngineCore::InputEvent>& event);

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
    enum Table { kMouseTable, kJoystickTable, kKeyboardTable };
    bool GetRecord(Table table, int code, ActionRecord& record) const;
    int GetSlotCount(Table table) const;

private:
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace GameCore
