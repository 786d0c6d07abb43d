#pragma once
// Script class "AnimationPlayer": a named animation player of the game state whose
// script made it, playing an animation resource on a sprite resource. Its end
// callback runs in that state's interpreter (StateCallback).

#include <memory>
#include <string>

#include "game/Base/StateCallback.h"
#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"

struct lua_State;

namespace EngineCore {
class AnimationPlayer;
}

namespace GameCore {

class AnimationPlayerWrapper {
public:
    static const char className[];
    static const GameLuaScriptImpl::LuaHelper<AnimationPlayerWrapper>::RegType methods[];

    explicit AnimationPlayerWrapper(lua_State* L);
    ~AnimationPlayerWrapper();

    int Play(lua_State* L);
    int Stop(lua_State* L);
    int Pause(lua_State* L);
    int Update(lua_State* L);
    int UpdateForce(lua_State* L);
    int SetName(lua_State* L);
    int SetSprite(lua_State* L);
    int GetSprite(lua_State* L);
    int SetAnimation(lua_State* L);
    int SetNumFrames(lua_State* L);
    int SetStartFrame(lua_State* L);
    int SetAnimationType(lua_State* L);
    int SetAnimationSpeed(lua_State* L);
    int SetAnimationFrame(lua_State* L);
    int GetAnimationLength(lua_State* L);
    int SetPositionOffset(lua_State* L);
    int SetEndAnimationCallback(lua_State* L);
    int GetCurrentAnimationTime(lua_State* L);

protected:
    // Runs the end-callback text ("#" and Lua code) in the owner's interpreter;
    // nothing when the owner was left or is gone.
    static void EndAnimationCallback(const StateCallback& owner, const std::shared_ptr<const std::string>& text,
                                     void* user);

private:
    EngineCore::AnimationPlayer& Player(const char* method) const;

    // Shared with the callback installed on the player, so that a player that
    // outlives this object (an action track may hold it) still finds the text.
    std::shared_ptr<std::string> _endCallbackText;
    // The state whose script made this object.
    StateCallback _owner;
    std::shared_ptr<EngineCore::AnimationPlayer> _player;
};

}  // namespace GameCore
