#pragma once
#include <memory>

#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"

struct lua_State;

namespace EngineCore {
class ParticleSystem;
class Resource;
}  // namespace EngineCore

namespace GameCore {

// Script class "ParticleSystem": one particle emitter, named after its description
// file. The first object to load a name drives the system the resource manager stores
// under it; later loads of that name get clones of their own, which die with their
// script object. Particle systems belong to no game state: the manager updates and
// draws every live one.
class ParticleSystemWrapper {
public:
    static const char className[];
    static const GameLuaScriptImpl::LuaHelper<ParticleSystemWrapper>::RegType methods[];

    explicit ParticleSystemWrapper(lua_State* state);
    ~ParticleSystemWrapper();
    ParticleSystemWrapper(const ParticleSystemWrapper&) = delete;
    ParticleSystemWrapper& operator=(const ParticleSystemWrapper&) = delete;

    int Load(lua_State* L);
    int Show(lua_State* L);
    int Hide(lua_State* L);
    int MoveTo(lua_State* L);
    int SetSprite(lua_State* L);
    int SetEmission(lua_State* L);
    int BreakLink(lua_State* L);
    int LinkToSprite(lua_State* L);

private:
    // The loaded system; throws when nothing is loaded. Methods call it before reading
    // any argument.
    EngineCore::ParticleSystem& Loaded() const;
    // The stored sprite named by argument 1; it must exist already.
    std::shared_ptr<EngineCore::Resource> ExistingSprite(lua_State* L) const;

    // Not owning: the object held by _particleSystemResource, null until Load succeeds.
    EngineCore::ParticleSystem* _particleSystem = nullptr;
    std::shared_ptr<EngineCore::Resource> _particleSystemResource;
};

}  // namespace GameCore
