#include "game/Input/GameActionManager.h"

#include <cstdint>
#include <vector>

#include "engine/Input/ActionInfo.h"
#include "engine/Input/JoystickActionManager.h"
#include "engine/Input/JoystickDevice.h"
#include "engine/Input/KeyboardActionManager.h"
#include "engine/Input/KeyboardDevice.h"
#include "engine/Input/MouseActionManager.h"
#include "engine/Input/MouseDevice.h"
#include "game/Input/GameActionControllerManager.h"

namespace GameCore {

namespace {

const int kMouseAxisBase = 3;
const int kJoystickAxisBase = 4;

using Record = GameActionManager::ActionRecord;
using Handler = void (GameActionManager::*)(void*, const std::shared_ptr<EngineCore::InputEvent>&);

// Records indexed by action code; a slot is valid when it is in range and occupied.
class ActionStorage {
public:
    explicit ActionStorage(int slots) : _records(static_cast<size_t>(slots)), _occupied(static_cast<size_t>(slots)) {}

    int Count() const { return static_cast<int>(_records.size()); }
    bool Valid(int code) const { return code >= 0 && code < Count() && _occupied[static_cast<size_t>(code)]; }
    const Record& At(int code) const { return _records[static_cast<size_t>(code)]; }

    void Store(int code, const Record& record)
    {
        if (code < 0)
            return;
        if (code >= Count()) {
            int count = 2;
            while (count <= code)
                count *= 2;
            _records.resize(static_cast<size_t>(count));
            _occupied.resize(static_cast<size_t>(count), false);
        }
        _records[static_cast<size_t>(code)] = record;
        _occupied[static_cast<size_t>(code)] = true;
    }
    void Erase(int code)
    {
        if (!Valid(code))
            return;
        _records[static_cast<size_t>(code)] = Record();
        _occupied[static_cast<size_t>(code)] = false;
    }
    void Clear()
    {
        _records.clear();
        _occupied.clear();
    }

private:
    std::vector<Record> _records;
    std::vector<bool> _occupied;
};

void* CodePointer(int code) { return reinterpret_cast<void*>(static_cast<intptr_t>(code)); }
int PointerCode(void* pointer) { return static_cast<int>(reinterpret_cast<intptr_t>(pointer)); }

std::string Text(const char* text) { return text ? std::string(text) : std::string(); }

}  // namespace

struct GameActionManager::Impl {
    ActionStorage mouse{1};
    ActionStorage joystick{1};
    ActionStorage keyboard{256};
    EngineCore::MouseActionManager mouseActions;
    EngineCore::JoystickActionManager joystickActions;
    EngineCore::KeyboardActionManager keyboardActions;
    std::shared_ptr<GameActionControllerManager> controllers = std::make_shared<GameActionControllerManager>();

    ActionStorage& Storage(Table table)
    {
        return table == kMouseTable ? mouse : table == kJoystickTable ? joystick : keyboard;
    }

    EngineCore::ActionInfo Info(GameActionManager* owner, int code, Handler whileActive, Handler on, Handler off)
    {
        EngineCore::ActionInfo info;
        info.user = CodePointer(code);
        info.whileActive = [owner, whileActive](void* user, const std::shared_ptr<EngineCore::InputEvent>& event) {
            (owner->*whileActive)(user, event);
        };
        info.on = [owner, on](void* user, const std::shared_ptr<EngineCore::InputEvent>& event) {
            (owner->*on)(user, event);
        };
        info.off = [owner, off](void* user, const std::shared_ptr<EngineCore::InputEvent>& event) {
            (owner->*off)(user, event);
        };
        return info;
    }

    // Hands the chosen text of the record at the code to the controller manager. The text
    // and the manager are copied first: the script may rebind or clear this very action.
    void Dispatch(ActionStorage& storage, void* pointer, std::string Record::*text,
                  const std::shared_ptr<EngineCore::InputEvent>& event)
    {
        const int code = PointerCode(pointer);
        if (!storage.Valid(code))
            return;
        const std::string chosen = storage.At(code).*text;
        const StateCallback owner = storage.At(code).owner;
        const std::shared_ptr<GameActionControllerManager> runner = controllers;
        if (runner)
            runner->RunBoundAction(owner, chosen.c_str(), event);
    }
};

GameActionManager::GameActionManager() : _impl(new Impl) {}
GameActionManager::~GameActionManager() = default;

void GameActionManager::RegisterMouseAction(const char* name, const char* action, const char* actionOn,
                                            const char* actionOff)
{
    const std::string key = Text(name);
    const int button = EngineCore::MouseDevice::GetKeyByName(key);
    const int axis = EngineCore::MouseDevice::GetAxisByName(key);
    int code = 0;
    if (button != 0)
        code = button;
    else if (axis != 0)
        code = axis + kMouseAxisBase;
    else
        return;
    const EngineCore::ActionInfo info = _impl->Info(this, code, &GameActionManager::MouseAction,
                                                    &GameActionManager::MouseActionOn, &GameActionManager::MouseActionOff);
    if (button != 0)
        _impl->mouseActions.RegisterKeyAction(button, info);
    else
        _impl->mouseActions.RegisterAxisAction(axis, info);
    _impl->mouse.Store(code, Record{key, Text(action), Text(actionOn), Text(actionOff), StateCallback()});
}

void GameActionManager::RegisterJoystickAction(const char* name, const char* action, const char* actionOn,
                                               const char* actionOff)
{
    const std::string key = Text(name);
    const int button = EngineCore::JoystickDevice::GetKeyByName(key);
    const int axis = EngineCore::JoystickDevice::GetAxisByName(key);
    int code = 0;
    if (button != 0)
        code = button;
    else if (axis != 0)
        code = axis + kJoystickAxisBase;
    else
        return;
    const EngineCore::ActionInfo info =
        _impl->Info(this, code, &GameActionManager::JoystickAction, &GameActionManager::JoystickActionOn,
                    &GameActionManager::JoystickActionOff);
    if (button != 0)
        _impl->joystickActions.RegisterKeyAction(button, info);
    else
        _impl->joystickActions.RegisterAxisAction(axis, info);
    _impl->joystick.Store(code, Record{key, Text(action), Text(actionOn), Text(actionOff), StateCallback()});
}

void GameActionManager::RegisterKeyboardAction(const char* name, const char* action, const char* actionOn,
                                               const char* actionOff)
{
    const std::string key = Text(name);
    // A name that is no key binds nothing: code 0 would be fired by every unmapped key.
    const int code = EngineCore::KeyboardDevice::GetKeyByName(key);
    if (code == 0)
        return;
    const EngineCore::ActionInfo info =
        _impl->Info(this, code, &GameActionManager::KeyboardAction, &GameActionManager::KeyboardActionOn,
                    &GameActionManager::KeyboardActionOff);
    _impl->keyboardActions.RegisterAction(code, info);
    _impl->keyboard.Store(code, Record{key, Text(action), Text(actionOn), Text(actionOff), StateCallback()});
}

void GameActionManager::UnregisterMouseAction(const char* name)
{
    const std::string key = Text(name);
    const int button = EngineCore::MouseDevice::GetKeyByName(key);
    const int axis = EngineCore::MouseDevice::GetAxisByName(key);
    if (button != 0) {
        _impl->mouse.Erase(button);
        _impl->mouseActions.UnregisterKeyAction(button);
    } else if (axis != 0) {
        _impl->mouse.Erase(axis + kMouseAxisBase);
        _impl->mouseActions.UnregisterAxisAction(axis);
    }
}

void GameActionManager::UnregisterJoystickAction(const char* name)
{
    const std::string key = Text(name);
    const int button = EngineCore::JoystickDevice::GetKeyByName(key);
    const int axis = EngineCore::JoystickDevice::GetAxisByName(key);
    if (button != 0) {
        _impl->joystick.Erase(button);
        _impl->joystickActions.UnregisterKeyAction(button);
    } else if (axis != 0) {
        _impl->joystick.Erase(axis + kJoystickAxisBase);
        _impl->joystickActions.UnregisterAxisAction(axis);
    }
}

void GameActionManager::UnregisterKeyboardAction(const char* name)
{
    const int code = EngineCore::KeyboardDevice::GetKeyByName(Text(name));
    if (code == 0)
        return;
    _impl->keyboard.Erase(code);
    _impl->keyboardActions.UnregisterAction(code);
}

void GameActionManager::MouseAction(void* code, const std::shared_ptr<EngineCore::InputEvent>& event)
{
    _impl->Dispatch(_impl->mouse, code, &Record::action, event);
}

void GameActionManager::MouseActionOn(void* code, const std::shared_ptr<EngineCore::InputEvent>& event)
{
    _impl->Dispatch(_impl->mouse, code, &Record::actionOn, event);
}

void GameActionManager::MouseActionOff(void* code, const std::shared_ptr<EngineCore::InputEvent>& event)
{
    _impl->Dispatch(_impl->mouse, code, &Record::actionOff, event);
}

void GameActionManager::JoystickAction(void* code, const std::shared_ptr<EngineCore::InputEvent>& event)
{
    _impl->Dispatch(_impl->joystick, code, &Record::action, event);
}

void GameActionManager::JoystickActionOn(void* code, const std::shared_ptr<EngineCore::InputEvent>& event)
{
    _impl->Dispatch(_impl->joystick, code, &Record::actionOn, event);
}

void GameActionManager::JoystickActionOff(void* code, const std::shared_ptr<EngineCore::InputEvent>& event)
{
    _impl->Dispatch(_impl->joystick, code, &Record::actionOff, event);
}

void GameActionManager::KeyboardAction(void* code, const std::shared_ptr<EngineCore::InputEvent>& event)
{
    _impl->Dispatch(_impl->keyboard, code, &Record::action, event);
}

void GameActionManager::KeyboardActionOn(void* code, const std::shared_ptr<EngineCore::InputEvent>& event)
{
    _impl->Dispatch(_impl->keyboard, code, &Record::actionOn, event);
}

void GameActionManager::KeyboardActionOff(void* code, const std::shared_ptr<EngineCore::InputEvent>& event)
{
    _impl->Dispatch(_impl->keyboard, code, &Record::actionOff, event);
}

void GameActionManager::Update()
{
    _impl->mouseActions.Update();
    _impl->keyboardActions.Update();
    _impl->joystickActions.Update();
    const std::shared_ptr<GameActionControllerManager> controllers = _impl->controllers;
    if (controllers)
        controllers->Update();
}

void GameActionManager::Clear()
{
    _impl->mouse.Clear();
    _impl->joystick.Clear();
    _impl->keyboard.Clear();
    _impl->mouseActions.Clear();
    _impl->keyboardActions.Clear();
    _impl->joystickActions.Clear();
}

void GameActionManager::SetMouseDevice(const std::shared_ptr<EngineCore::InputDevice>& device)
{
    _impl->mouseActions.SetDevice(device);
}

void GameActionManager::SetJoystickDevice(const std::shared_ptr<EngineCore::InputDevice>& device)
{
    _impl->joystickActions.SetDevice(device);
}

void GameActionManager::SetKeyboardDevice(const std::shared_ptr<EngineCore::InputDevice>& device)
{
    _impl->keyboardActions.SetDevice(device);
}

EngineCore::MouseActionManager& GameActionManager::GetMouseActionManager() const { return _impl->mouseActions; }

EngineCore::KeyboardActionManager& GameActionManager::GetKeyboardActionManager() const
{
    return _impl->keyboardActions;
}

EngineCore::JoystickActionManager& GameActionManager::GetJoystickActionManager() const
{
    return _impl->joystickActions;
}

void GameActionManager::SetActionControllerManager(const std::shared_ptr<GameActionControllerManager>& manager)
{
    _impl->controllers = manager;
}

const std::shared_ptr<GameActionControllerManager>& GameActionManager::GetActionControllerManager() const
{
    return _impl->controllers;
}

bool GameActionManager::GetRecord(Table table, int code, ActionRecord& record) const
{
    const ActionStorage& storage = _impl->Storage(table);
    if (!storage.Valid(code))
        return false;
    record = storage.At(code);
    return true;
}

int GameActionManager::GetSlotCount(Table table) const { return _impl->Storage(table).Count(); }

}  // namespace GameCore
