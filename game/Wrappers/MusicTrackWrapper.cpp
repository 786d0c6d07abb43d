#include "game/Wrappers/MusicTrackWrapper.h"

#include <lua.hpp>

#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

namespace {

const char* const kSource = "Wrappers\\MusicTrackWrapper.cpp";

}  // namespace

const char MusicTrackWrapper::className[] = "MusicTrack";

const GameLuaScriptImpl::LuaHelper<MusicTrackWrapper>::RegType MusicTrackWrapper::methods[] = {
    {"Play", &MusicTrackWrapper::Play},
    {"Stop", &MusicTrackWrapper::Stop},
    {"Load", &MusicTrackWrapper::Load},
    {"Pause", &MusicTrackWrapper::Pause},
    {"Resume", &MusicTrackWrapper::Resume},
    {"SetVolume", &MusicTrackWrapper::SetVolume},
    {nullptr, nullptr},
};

MusicTrackWrapper::MusicTrackWrapper(lua_State*) {}

// A track keeps playing after its script object is collected.
MusicTrackWrapper::~MusicTrackWrapper() = default;

EngineCore::Track& MusicTrackWrapper::Loaded() const
{
    return _track.Require(kSource, 40, "Music track not initialized. First call - Load().");
}

int MusicTrackWrapper::Play(lua_State* L)
{
    EngineCore::Track& track = Loaded();
    track.Play(CheckFlagExactlyOne(L, 1));
    return 0;
}

int MusicTrackWrapper::Stop(lua_State*)
{
    Loaded().Stop();
    return 0;
}

int MusicTrackWrapper::Load(lua_State* L)
{
    _track.Load(CheckString(L, 1), EngineCore::Resource::RT_MUSIC_TRACK, kSource, 75);
    return 0;
}

int MusicTrackWrapper::Pause(lua_State*)
{
    Loaded().Pause();
    return 0;
}

int MusicTrackWrapper::Resume(lua_State*)
{
    Loaded().Resume();
    return 0;
}

int MusicTrackWrapper::SetVolume(lua_State* L)
{
    EngineCore::Track& track = Loaded();
    track.SetVolume(CheckFloat(L, 1));
    return 0;
}

}  // namespace GameCore
