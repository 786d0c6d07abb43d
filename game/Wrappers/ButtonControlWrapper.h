#pragma once
#include <memory>
#include <string>

#include "game/Base/StateCallback.h"
#include "game/Wrappers/GuiActionTexts.h"
#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"

struct lua_State;

namespace EngineCore {
class Button;
}

namespace GameCore {

// Script class "ButtonControl": one button of the GUI system, registered under the
// game state current when the object is made, whose hover, click and leave run
// script texts in that state. The button is shared with the GUI system, which may
// hold it a while after this object is gone: the destructor takes every callback
// off the button before it lets go, so nothing can call into a dead object.
class ButtonControlWrapper {
public:
    static const char className[];
    static const GameLuaScriptImpl::LuaHelper<ButtonControlWrapper>::RegType methods[];

    explicit ButtonControlWrapper(lua_State* state);
    ~ButtonControlWrapper();
    ButtonControlWrapper(const ButtonControlWrapper&) = delete;
    ButtonControlWrapper& operator=(const ButtonControlWrapper&) = delete;

    int Enable(lua_State* L);
    int Disable(lua_State* L);
    int SetSize(lua_State* L);
    int SetVisible(lua_State* L);
    int SetPosition(lua_State* L);
    int IsVisible(lua_State* L);
    int SetPriority(lua_State* L);
    int RegisterAction(lua_State* L);
    int RegisterAllActions(lua_State* L);
    int UnregisterAction(lua_State* L);
    int UnregisterAllActions(lua_State* L);
    int AddQuestAction(lua_State* L);
    int SetCollisionSprite(lua_State* L);

    const std::shared_ptr<EngineCore::Button>& GetButton() const { return _button; }

private:
    void OnQuestAction(const char* itemName);

    // Hover, click and leave each run their text.
    GuiActionTexts _actions;
    std::string _questFunction;
    StateCallback _owner;
    std::shared_ptr<EngineCore::Button> _button;
};

}  // namespace GameCore
