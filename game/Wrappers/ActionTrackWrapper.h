#pragma once
// Script class "ActionTrack": a timeline of script keys read from an action-track
// file, filed under the game state current when the object is made and stepped with
// that state's animation players. Its keys run in the interpreter of the state that
// made the object. The object is the track's only owner.

#include <memory>

#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"

struct lua_State;

namespace EngineCore {
class ActionTrack;
}

namespace GameCore {

class ActionTrackWrapper {
public:
    static const char className[];
    static const GameLuaScriptImpl::LuaHelper<ActionTrackWrapper>::RegType methods[];

    explicit ActionTrackWrapper(lua_State* L);
    ~ActionTrackWrapper();
    ActionTrackWrapper(const ActionTrackWrapper&) = delete;
    ActionTrackWrapper& operator=(const ActionTrackWrapper&) = delete;

    int Load(lua_State* L);
    int Play(lua_State* L);
    int Stop(lua_State* L);
    int Pause(lua_State* L);
    int Resume(lua_State* L);
    int SetAnimationType(lua_State* L);
    int SetAnimationSpeed(lua_State* L);
    int SetAnimationFrame(lua_State* L);
    int AddAnimationPlayer(lua_State* L);

private:
    std::shared_ptr<EngineCore::ActionTrack> _track;
};

}  // namespace GameCore
