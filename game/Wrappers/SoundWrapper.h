#pragma once
#include "engine/Audio/Sound.h"
#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"
#include "game/Wrappers/HeldResource.h"

struct lua_State;

namespace GameCore {

// Script class "Sound": one sound effect, shared by name with the resource manager and with
// every other object that loaded the same name. Collecting the object stops the sound.
class SoundWrapper {
public:
    static const char className[];
    static const GameLuaScriptImpl::LuaHelper<SoundWrapper>::RegType methods[];

    explicit SoundWrapper(lua_State* state);
    ~SoundWrapper();
    SoundWrapper(const SoundWrapper&) = delete;
    SoundWrapper& operator=(const SoundWrapper&) = delete;

    int Play(lua_State* L);
    int Stop(lua_State* L);
    int Load(lua_State* L);
    int Pause(lua_State* L);
    int Resume(lua_State* L);
    int SetVolume(lua_State* L);

private:
    // Throws the not-loaded message; methods call it before reading any argument.
    EngineCore::Sound& Loaded() const;

    HeldResource<EngineCore::Sound> _sound;
};

}  // namespace GameCore
