#pragma once
#include <memory>
#include <string>

#include "game/Base/StateCallback.h"
#include "game/Wrappers/GuiActionTexts.h"
#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"

struct lua_State;

namespace EngineCore {
class DraggableImage;
}

namespace GameCore {

// Script class "DraggableImage": a quest item the player drags with the pointer.
// The drag start and the drop call script functions by name in the game state
// that made the object; a drop is first offered to the quest button under the
// pointer, then reported as an interaction with another image under it, then as
// the drop itself. As with "ButtonControl", the destructor takes the callbacks off
// the control before letting go of it.
class DraggableImageWrapper {
public:
    static const char className[];
    static const GameLuaScriptImpl::LuaHelper<DraggableImageWrapper>::RegType methods[];

    explicit DraggableImageWrapper(lua_State* state);
    ~DraggableImageWrapper();
    DraggableImageWrapper(const DraggableImageWrapper&) = delete;
    DraggableImageWrapper& operator=(const DraggableImageWrapper&) = delete;

    int Enable(lua_State* L);
    int Disable(lua_State* L);
    int SetSize(lua_State* L);
    int SetVisible(lua_State* L);
    int SetPosition(lua_State* L);
    int IsVisible(lua_State* L);
    int SetItemName(lua_State* L);
    int SetPriority(lua_State* L);
    int RegisterAction(lua_State* L);
    int RegisterAllActions(lua_State* L);
    int UnregisterAction(lua_State* L);
    int UnregisterAllActions(lua_State* L);
    int SetDraggableSprite(lua_State* L);
    int SetCollisionSprite(lua_State* L);

    const std::shared_ptr<EngineCore::DraggableImage>& GetImage() const { return _image; }

private:
    void OnDragStart();
    void OnDrop();

    // The names of the functions the drag start and the drop call.
    GuiActionTexts _actions;
    StateCallback _owner;
    std::shared_ptr<EngineCore::DraggableImage> _image;
};

}  // namespace GameCore
