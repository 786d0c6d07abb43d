#pragma once
#include <memory>
#include <string>

#include "game/Base/StateCallback.h"
#include "game/Wrappers/GuiActionTexts.h"
#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"

struct lua_State;

namespace EngineCore {
class EditBox;
}

namespace GameCore {

// Script class "EditBoxControl": typed text for the scripts. While active, the
// box gets every key press that carries a character and runs its text once per
// character in the game state that made it; the script fetches the character
// with GetLastKeyCharValue. The destructor takes the callback off the control
// before letting go of it.
class EditBoxControlWrapper {
public:
    static const char className[];
    static const GameLuaScriptImpl::LuaHelper<EditBoxControlWrapper>::RegType methods[];

    explicit EditBoxControlWrapper(lua_State* state);
    ~EditBoxControlWrapper();
    EditBoxControlWrapper(const EditBoxControlWrapper&) = delete;
    EditBoxControlWrapper& operator=(const EditBoxControlWrapper&) = delete;

    int Enable(lua_State* L);
    int Disable(lua_State* L);
    int SetVisible(lua_State* L);
    int IsVisible(lua_State* L);
    int RegisterAction(lua_State* L);
    int RegisterAllActions(lua_State* L);
    int UnregisterAction(lua_State* L);
    int UnregisterAllActions(lua_State* L);
    int GetLastKeyCharValue(lua_State* L);

    const std::shared_ptr<EngineCore::EditBox>& GetEditBox() const { return _box; }

private:
    // A typed character runs the text of action 1.
    GuiActionTexts _actions;
    StateCallback _owner;
    std::shared_ptr<EngineCore::EditBox> _box;
};

}  // namespace GameCore
