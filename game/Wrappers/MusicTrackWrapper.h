#pragma once
#include "engine/Audio/Track.h"
#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"
#include "game/Wrappers/HeldResource.h"

struct lua_State;

namespace GameCore {

// Script class "MusicTrack": one music track, shared by name with the resource manager and
// with every other object that loaded the same name. The track plays on when the object
// is collected.
class MusicTrackWrapper {
public:
    static const char className[];
    static const GameLuaScriptImpl::LuaHelper<MusicTrackWrapper>::RegType methods[];

    explicit MusicTrackWrapper(lua_State* state);
    ~MusicTrackWrapper();
    MusicTrackWrapper(const MusicTrackWrapper&) = delete;
    MusicTrackWrapper& operator=(const MusicTrackWrapper&) = delete;

    int Play(lua_State* L);
    int Stop(lua_State* L);
    int Load(lua_State* L);
    int Pause(lua_State* L);
    int Resume(lua_State* L);
    int SetVolume(lua_State* L);

private:
    // Throws the not-loaded message; methods call it before reading any argument.
    EngineCore::Track& Loaded() const;

    HeldResource<EngineCore::Track> _track;
};

}  // namespace GameCore
