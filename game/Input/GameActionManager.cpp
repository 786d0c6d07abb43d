#include "game/Input/GameActionManager.h"

#include <cstdint>
#include <functional>
#include <vector>

#include "engine/Input/ActionInfo.h"
#include "engine/Input/JoystickActionManager.h"
#include "engine/Input/JoystickDevice.h"
#include "engine/Input/KeyboardActionManager.h"
#include "engine/Input/KeyboardDevice.h"
#include "engine/Input/MouseActionManager.h"
#include "engine/Input/MouseDevice.h"
#include "engine/System/Mutex.h"
#include "engine/System/MutexLocker.h"
#include "game/Input/GameActionControllerManager.h"

namespace GameCore {

namespace {

const int kMouseAxisBase = 3;
const int kJoystickAxisBase = 4;

using Record = GameActionManager::ActionRecord;

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

// Where a name binds on one device: its action code, and the engine's key (button) or
// axis number.
struct Target {
    int code = 0;
    bool axis = false;
    int id = 0;
};

// One device kind: its table of records, how its names map to keys and axes, and its
// engine action manager.
struct Device {
    Device(int slots, int (*keyByName)(const std::string&), int (*axisByName)(const std::string&), int axisBase)
        : records(slots), keyByName(keyByName), axisByName(axisByName), axisBase(axisBase)
    {
    }

    // False for a name that is no key, button or axis of the device. No key has code 0:
    // binding it would fire on every key the back-end does not map.
    bool Find(const std::string& name, Target& target) const
    {
        target.id = keyByName(name);
        target.axis = false;
        if (target.id == 0 && axisByName) {
            target.id = axisByName(name);
            target.axis = true;
        }
        target.code = target.axis ? target.id + axisBase : target.id;
        return target.id != 0;
    }

    ActionStorage records;
    int (*keyByName)(const std::string&);
    // Null: the device has no axes.
    int (*axisByName)(const std::string&);
    int axisBase;
    std::function<void(const Target&, const EngineCore::ActionInfo&)> bind;
    std::function<void(const Target&)> unbind;
};

// A device whose names are keys (buttons) or axes, each bound in the engine manager.
template <class Manager>
void BindKeysAndAxes(Device& device, Manager& manager)
{
    device.bind = [&manager](const Target& t, const EngineCore::ActionInfo& info) {
        if (t.axis)
            manager.RegisterAxisAction(t.id, info);
        else
            manager.RegisterKeyAction(t.id, info);
    };
    device.unbind = [&manager](const Target& t) {
        if (t.axis)
            manager.UnregisterAxisAction(t.id);
        else
            manager.UnregisterKeyAction(t.id);
    };
}

}  // namespace

struct GameActionManager::Impl {
    EngineCore::MouseActionManager mouseActions;
    EngineCore::JoystickActionManager joystickActions;
    EngineCore::KeyboardActionManager keyboardActions;
    Device mouse{1, &EngineCore::MouseDevice::GetKeyByName, &EngineCore::MouseDevice::GetAxisByName, kMouseAxisBase};
    Device joystick{1, &EngineCore::JoystickDevice::GetKeyByName, &EngineCore::JoystickDevice::GetAxisByName,
                    kJoystickAxisBase};
    Device keyboard{256, &EngineCore::KeyboardDevice::GetKeyByName, nullptr, 0};
    std::shared_ptr<GameActionControllerManager> controllers = std::make_shared<GameActionControllerManager>();
    // Guards the three devices (their records and engine actions) and `controllers`.
    mutable EngineCore::Mutex mutex;

    Impl()
    {
        BindKeysAndAxes(mouse, mouseActions);
        BindKeysAndAxes(joystick, joystickActions);
        keyboard.bind = [this](const Target& t, const EngineCore::ActionInfo& info) {
            keyboardActions.RegisterAction(t.id, info);
        };
        keyboard.unbind = [this](const Target& t) { keyboardActions.UnregisterAction(t.id); };
    }

    Device& Of(Table table) { return table == kMouseTable ? mouse : table == kJoystickTable ? joystick : keyboard; }
};

GameActionManager::GameActionManager() : _impl(new Impl) {}
GameActionManager::~GameActionManager() = default;

void GameActionManager::Register(Table table, const char* name, const char* action, const char* actionOn,
                                 const char* actionOff)
{
    EngineCore::MutexLocker lock(_impl->mutex);
    Device& device = _impl->Of(table);
    const std::string key = Text(name);
    Target target;
    if (!device.Find(key, target))
        return;
    const auto firing = [this, table](std::string ActionRecord::*text) {
        return [this, table, text](void* code, const std::shared_ptr<EngineCore::InputEvent>& event) {
            Fire(table, text, code, event);
        };
    };
    EngineCore::ActionInfo info;
    info.user = CodePointer(target.code);
    info.whileActive = firing(&ActionRecord::action);
    info.on = firing(&ActionRecord::actionOn);
    info.off = firing(&ActionRecord::actionOff);
    device.bind(target, info);
    device.records.Store(target.code, Record{key, Text(action), Text(actionOn), Text(actionOff)});
}

void GameActionManager::Unregister(Table table, const char* name)
{
    EngineCore::MutexLocker lock(_impl->mutex);
    Device& device = _impl->Of(table);
    Target target;
    if (!device.Find(Text(name), target))
        return;
    device.records.Erase(target.code);
    device.unbind(target);
}

void GameActionManager::Fire(Table table, std::string ActionRecord::*text, void* code,
                             const std::shared_ptr<EngineCore::InputEvent>& event)
{
    // The text and the runner are copied: the text may rebind or clear this very action.
    std::string chosen;
    std::shared_ptr<GameActionControllerManager> runner;
    {
        EngineCore::MutexLocker lock(_impl->mutex);
        const ActionStorage& records = _impl->Of(table).records;
        const int at = PointerCode(code);
        if (!records.Valid(at))
            return;
        chosen = records.At(at).*text;
        runner = _impl->controllers;
    }
    if (runner)
        runner->RunAction(chosen.c_str(), event);
}

void GameActionManager::Update()
{
    std::shared_ptr<GameActionControllerManager> controllers;
    {
        EngineCore::MutexLocker lock(_impl->mutex);
        _impl->mouseActions.Update();
        _impl->keyboardActions.Update();
        _impl->joystickActions.Update();
        controllers = _impl->controllers;
    }
    if (controllers)
        controllers->Update();
}

void GameActionManager::Clear()
{
    EngineCore::MutexLocker lock(_impl->mutex);
    for (Device* device : {&_impl->mouse, &_impl->joystick, &_impl->keyboard})
        device->records.Clear();
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
    EngineCore::MutexLocker lock(_impl->mutex);
    _impl->controllers = manager;
}

const std::shared_ptr<GameActionControllerManager>& GameActionManager::GetActionControllerManager() const
{
    return _impl->controllers;
}

bool GameActionManager::GetRecord(Table table, int code, ActionRecord& record) const
{
    EngineCore::MutexLocker lock(_impl->mutex);
    const ActionStorage& records = _impl->Of(table).records;
    if (!records.Valid(code))
        return false;
    record = records.At(code);
    return true;
}

int GameActionManager::GetSlotCount(Table table) const
{
    EngineCore::MutexLocker lock(_impl->mutex);
    return _impl->Of(table).records.Count();
}

}  // namespace GameCore
