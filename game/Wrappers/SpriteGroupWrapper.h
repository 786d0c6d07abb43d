#pragma once
#include <memory>

#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"

struct lua_State;

namespace EngineCore {
class Resource;
class SpriteGroup;
}  // namespace EngineCore

namespace GameCore {

// Script class "SpriteGroup": a group this object makes itself and files with the
// resource manager under the script's name. The group shares its members, looked up by
// name, and passes its own position, scales, rotation, priority and opacity changes on
// to them. Each SetName makes a new, empty group; an earlier one lives on in the
// manager, with its members, while anything holds it.
class SpriteGroupWrapper {
public:
    static const char className[];
    static const GameLuaScriptImpl::LuaHelper<SpriteGroupWrapper>::RegType methods[];

    explicit SpriteGroupWrapper(lua_State* state);
    ~SpriteGroupWrapper();
    SpriteGroupWrapper(const SpriteGroupWrapper&) = delete;
    SpriteGroupWrapper& operator=(const SpriteGroupWrapper&) = delete;

    int GetName(lua_State* L);
    int SetName(lua_State* L);
    int AddSprite(lua_State* L);
    int RemoveSprite(lua_State* L);
    int SetOpacity(lua_State* L);
    int SetPosition(lua_State* L);
    int SetPriority(lua_State* L);
    int SetRotation(lua_State* L);
    int SetVerticalScale(lua_State* L);
    int SetHorizontalScale(lua_State* L);
    int GetPosition(lua_State* L);
    int GetPriority(lua_State* L);
    int GetRotation(lua_State* L);
    int GetVerticalScale(lua_State* L);
    int GetHorizontalScale(lua_State* L);

private:
    // The group; throws the set-up message when there is none. Methods call it before
    // reading any argument.
    EngineCore::SpriteGroup& Group() const;
    // The stored resource of the name, or null when the manager knows no such name.
    std::shared_ptr<EngineCore::Resource> Member(lua_State* L) const;

    std::shared_ptr<EngineCore::Resource> _resource;
    // Not owning: the object held by _resource, null until SetName succeeds.
    EngineCore::SpriteGroup* _group = nullptr;
};

}  // namespace GameCore
