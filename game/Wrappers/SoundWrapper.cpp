#include "game/Wrappers/SoundWrapper.h"

#include <lua.hpp>

#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

namespace {

const char* const kSource = "Wrappers\\SoundWrapper.cpp";

}  // namespace

const char SoundWrapper::className[] = "Sound";

const GameLuaScriptImpl::LuaHelper<SoundWrapper>::RegType SoundWrapper::methods[] = {
    {"Play", &SoundWrapper::Play},
    {"Stop", &SoundWrapper::Stop},
    {"Load", &SoundWrapper::Load},
    {"Pause", &SoundWrapper::Pause},
    {"Resume", &SoundWrapper::Resume},
    {"SetVolume", &SoundWrapper::SetVolume},
    {nullptr, nullptr},
};

SoundWrapper::SoundWrapper(lua_State*) {}

SoundWrapper::~SoundWrapper()
{
    if (EngineCore::Sound* sound = _sound.Get())
        sound->Stop();
}

EngineCore::Sound& SoundWrapper::Loaded() const
{
    return _sound.Require(kSource, 40, "Sound is not initialized. First call - Load().");
}

int SoundWrapper::Play(lua_State* L)
{
    EngineCore::Sound& sound = Loaded();
    sound.Play(CheckFlagTruncatedOne(L, 1));
    return 0;
}

int SoundWrapper::Stop(lua_State*)
{
    Loaded().Stop();
    return 0;
}

int SoundWrapper::Load(lua_State* L)
{
    _sound.Load(CheckString(L, 1), EngineCore::Resource::RT_SOUND, kSource, 75);
    return 0;
}

int SoundWrapper::Pause(lua_State*)
{
    Loaded().Pause();
    return 0;
}

int SoundWrapper::Resume(lua_State*)
{
    Loaded().Resume();
    return 0;
}

int SoundWrapper::SetVolume(lua_State* L)
{
    EngineCore::Sound& sound = Loaded();
    sound.SetVolume(CheckFloat(L, 1));
    return 0;
}

}  // namespace GameCore
