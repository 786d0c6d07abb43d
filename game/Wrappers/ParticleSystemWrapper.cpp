#include "game/Wrappers/ParticleSystemWrapper.h"

#include <string>

#include <lua.hpp>

#include "engine/Renderer/ParticleSystem.h"
#include "engine/Renderer/Sprite.h"
#include "engine/Resources/Resource.h"
#include "engine/Resources/ResourceManager.h"
#include "engine/System/EngineError.h"
#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

namespace {

const char* const kSource = "Wrappers\\ParticleSystemWrapper.cpp";

}  // namespace

const char ParticleSystemWrapper::className[] = "ParticleSystem";

// The order of the rows is part of the script interface.
const GameLuaScriptImpl::LuaHelper<ParticleSystemWrapper>::RegType ParticleSystemWrapper::methods[] = {
    {"Load", &ParticleSystemWrapper::Load},
    {"Show", &ParticleSystemWrapper::Show},
    {"Hide", &ParticleSystemWrapper::Hide},
    {"MoveTo", &ParticleSystemWrapper::MoveTo},
    {"SetSprite", &ParticleSystemWrapper::SetSprite},
    {"SetEmission", &ParticleSystemWrapper::SetEmission},
    {"BreakLink", &ParticleSystemWrapper::BreakLink},
    {"LinkToSprite", &ParticleSystemWrapper::LinkToSprite},
    {nullptr, nullptr},
};

ParticleSystemWrapper::ParticleSystemWrapper(lua_State*) {}

ParticleSystemWrapper::~ParticleSystemWrapper() = default;

EngineCore::ParticleSystem& ParticleSystemWrapper::Loaded() const
{
    if (!_particleSystem)
        EngineCore::ThrowEngineError(kSource, 45, "Particle system is not loaded. First call - Load().");
    return *_particleSystem;
}

int ParticleSystemWrapper::Load(lua_State* L)
{
    const std::string name = CheckString(L, 1);
    EngineCore::ResourceManager& manager = EngineCore::ResourceManager::Instance();
    std::shared_ptr<EngineCore::Resource> resource;
    if (manager.IsExist(name)) {
        // The stored system stays with the first object that loaded it; this one gets a clone.
        std::shared_ptr<EngineCore::Resource> stored;
        auto* original = manager.GetResource(name, EngineCore::Resource::RT_PARTICLE_SYSTEM, stored)
                             ? dynamic_cast<EngineCore::ParticleSystem*>(stored.get())
                             : nullptr;
        if (!original)
            EngineCore::ThrowEngineErrorF(kSource, 60, "Resource (%s) creating error.", name.c_str());
        resource = original->Clone();
    } else if (!manager.GetResource(name, EngineCore::Resource::RT_PARTICLE_SYSTEM, resource)) {
        EngineCore::ThrowEngineErrorF(kSource, 64, "Resource (%s) creating error.", name.c_str());
    }
    auto* system = dynamic_cast<EngineCore::ParticleSystem*>(resource.get());
    if (!system)
        EngineCore::ThrowEngineErrorF(kSource, 68, "Resource (%s) creating error.", name.c_str());
    _particleSystemResource = resource;
    _particleSystem = system;
    return 0;
}

int ParticleSystemWrapper::Show(lua_State*)
{
    Loaded().Show();
    return 0;
}

int ParticleSystemWrapper::Hide(lua_State*)
{
    Loaded().Hide();
    return 0;
}

int ParticleSystemWrapper::MoveTo(lua_State* L)
{
    EngineCore::ParticleSystem& system = Loaded();
    const float x = CheckFloat(L, 1);
    const float y = CheckFloat(L, 2);
    system.MoveTo(x, y);
    return 0;
}

std::shared_ptr<EngineCore::Resource> ParticleSystemWrapper::ExistingSprite(lua_State* L) const
{
    const std::string name = CheckString(L, 1);
    EngineCore::ResourceManager& manager = EngineCore::ResourceManager::Instance();
    if (!manager.IsExist(name))
        EngineCore::ThrowEngineErrorF(kSource, 101, "Error using exist resource name (%s).", name.c_str());
    std::shared_ptr<EngineCore::Resource> sprite;
    // A name held by a resource of another kind is no sprite to draw with or follow.
    if (!manager.GetResource(name, EngineCore::Resource::RT_SPRITE, sprite) ||
        !dynamic_cast<EngineCore::Sprite*>(sprite.get()))
        EngineCore::ThrowEngineErrorF(kSource, 106, "Resource (%s) not found.", name.c_str());
    return sprite;
}

int ParticleSystemWrapper::SetSprite(lua_State* L)
{
    EngineCore::ParticleSystem& system = Loaded();
    system.SetSprite(ExistingSprite(L));
    return 0;
}

int ParticleSystemWrapper::SetEmission(lua_State* L)
{
    EngineCore::ParticleSystem& system = Loaded();
    system.SetEmission(CheckInt32(L, 1));
    return 0;
}

int ParticleSystemWrapper::BreakLink(lua_State*)
{
    Loaded().BreakLink();
    return 0;
}

int ParticleSystemWrapper::LinkToSprite(lua_State* L)
{
    EngineCore::ParticleSystem& system = Loaded();
    system.LinkToSprite(ExistingSprite(L));
    return 0;
}

}  // namespace GameCore
