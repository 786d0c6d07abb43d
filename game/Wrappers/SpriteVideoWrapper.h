#pragma once
#include <memory>

#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"
#include "game/Wrappers/HeldResource.h"

struct lua_State;

namespace EngineCore {
class Resource;
class Sprite;
}  // namespace EngineCore

namespace GameCore {

// Script class "SpriteVideo": drives one video sprite resource, attached by name, and its
// playback. The sprite is shared with the resource manager and with every other wrapper
// that attached the same name; it outlives this object. A plain sprite attached by name is
// driven too: its video operations do nothing and report 0.
class SpriteVideoWrapper {
public:
    static const char className[];
    static const GameLuaScriptImpl::LuaHelper<SpriteVideoWrapper>::RegType methods[];

    explicit SpriteVideoWrapper(lua_State* state);
    ~SpriteVideoWrapper();
    SpriteVideoWrapper(const SpriteVideoWrapper&) = delete;
    SpriteVideoWrapper& operator=(const SpriteVideoWrapper&) = delete;

    int GetName(lua_State* L);
    int SetName(lua_State* L);
    int SetVideoFile(lua_State* L);
    int Show(lua_State* L);
    int Hide(lua_State* L);
    int SetPosition(lua_State* L);
    int IsVisible(lua_State* L);
    int GetVerticalScale(lua_State* L);
    int GetHorizontalScale(lua_State* L);
    int SetPriority(lua_State* L);
    int SetRotation(lua_State* L);
    int SetVerticalScale(lua_State* L);
    int SetHorizontalScale(lua_State* L);
    int GetRotation(lua_State* L);
    int GetPriority(lua_State* L);
    int GetPosition(lua_State* L);
    int SetFlipVertical(lua_State* L);
    int SetFlipHorizontal(lua_State* L);
    int IsFlipVertical(lua_State* L);
    int IsFlipHorizontal(lua_State* L);
    int Pause(lua_State* L);
    int Play(lua_State* L);
    int Reset(lua_State* L);
    int GetPause(lua_State* L);
    int SetLoop(lua_State* L);
    int GetLoop(lua_State* L);
    int SetFullScreenMode(lua_State* L);

private:
    // The attached sprite; throws the set-up message when there is none. Methods call
    // it before reading any argument.
    EngineCore::Sprite& AttachedSprite() const;

    // Empty until SetName succeeds.
    HeldResource<EngineCore::Sprite> _sprite;
};

}  // namespace GameCore
