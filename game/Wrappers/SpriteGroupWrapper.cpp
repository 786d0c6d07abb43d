#include "game/Wrappers/SpriteGroupWrapper.h"

#include <string>

#include <lua.hpp>

#include "engine/Math/D3DXVECTOR4.h"
#include "engine/Renderer/Sprite.h"
#include "engine/Renderer/SpriteGroup.h"
#include "engine/Resources/Resource.h"
#include "engine/Resources/ResourceManager.h"
#include "engine/System/EngineError.h"
#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

namespace {

const char* const kSource = "Wrappers\\SpriteGroupWrapper.cpp";

}  // namespace

const char SpriteGroupWrapper::className[] = "SpriteGroup";

// The order of the rows is part of the script interface.
const GameLuaScriptImpl::LuaHelper<SpriteGroupWrapper>::RegType SpriteGroupWrapper::methods[] = {
    {"GetName", &SpriteGroupWrapper::GetName},
    {"SetName", &SpriteGroupWrapper::SetName},
    {"AddSprite", &SpriteGroupWrapper::AddSprite},
    {"RemoveSprite", &SpriteGroupWrapper::RemoveSprite},
    {"SetOpacity", &SpriteGroupWrapper::SetOpacity},
    {"SetPosition", &SpriteGroupWrapper::SetPosition},
    {"SetPriority", &SpriteGroupWrapper::SetPriority},
    {"SetRotation", &SpriteGroupWrapper::SetRotation},
    {"SetVerticalScale", &SpriteGroupWrapper::SetVerticalScale},
    {"SetHorizontalScale", &SpriteGroupWrapper::SetHorizontalScale},
    {"GetPosition", &SpriteGroupWrapper::GetPosition},
    {"GetPriority", &SpriteGroupWrapper::GetPriority},
    {"GetRotation", &SpriteGroupWrapper::GetRotation},
    {"GetVerticalScale", &SpriteGroupWrapper::GetVerticalScale},
    {"GetHorizontalScale", &SpriteGroupWrapper::GetHorizontalScale},
    {nullptr, nullptr},
};

SpriteGroupWrapper::SpriteGroupWrapper(lua_State*) {}

SpriteGroupWrapper::~SpriteGroupWrapper() = default;

EngineCore::SpriteGroup& SpriteGroupWrapper::Group() const
{
    if (!_group)
        EngineCore::ThrowEngineError(kSource, 50, "Sprite group is not initialized. First call - SetName().");
    return *_group;
}

int SpriteGroupWrapper::GetName(lua_State* L)
{
    lua_pushstring(L, Group().GetName());
    return 1;
}

int SpriteGroupWrapper::SetName(lua_State* L)
{
    _group = nullptr;
    auto group = std::make_shared<EngineCore::SpriteGroup>();
    _resource = group;
    const std::string name = CheckString(L, 1);
    if (!EngineCore::ResourceManager::Instance().AddResource(name, _resource))
        EngineCore::ThrowEngineErrorF(kSource, 67, "Resource (%s) creating error.", name.c_str());
    _group = group.get();
    return 0;
}

std::shared_ptr<EngineCore::Resource> SpriteGroupWrapper::Member(lua_State* L) const
{
    const std::string name = CheckString(L, 1);
    EngineCore::ResourceManager& manager = EngineCore::ResourceManager::Instance();
    if (!manager.IsExist(name))
        return nullptr;
    std::shared_ptr<EngineCore::Resource> resource;
    // Any kind of sprite may be a member; a name held by something else may not.
    if (!manager.GetResource(name, EngineCore::Resource::RT_SPRITE, resource) ||
        !dynamic_cast<EngineCore::Sprite*>(resource.get()))
        EngineCore::ThrowEngineError(kSource, 81, "Internal error.");
    return resource;
}

// The group refuses itself and any group that holds it.
int SpriteGroupWrapper::AddSprite(lua_State* L)
{
    EngineCore::SpriteGroup& group = Group();
    if (const std::shared_ptr<EngineCore::Resource> member = Member(L))
        group.AddSprite(member);
    return 0;
}

int SpriteGroupWrapper::RemoveSprite(lua_State* L)
{
    EngineCore::SpriteGroup& group = Group();
    if (const std::shared_ptr<EngineCore::Resource> member = Member(L))
        group.RemoveSprite(member);
    return 0;
}

int SpriteGroupWrapper::SetOpacity(lua_State* L)
{
    EngineCore::SpriteGroup& group = Group();
    EngineCore::D3DXVECTOR4 colour;
    colour.x = 1.0f;
    colour.y = 1.0f;
    colour.z = 1.0f;
    colour.w = CheckFloat(L, 1);
    group.SetColorFloat(colour);
    return 0;
}

int SpriteGroupWrapper::SetPosition(lua_State* L)
{
    EngineCore::SpriteGroup& group = Group();
    const float x = CheckFloat(L, 1);
    const float y = CheckFloat(L, 2);
    group.SetPosition(x, y);
    return 0;
}

int SpriteGroupWrapper::SetPriority(lua_State* L)
{
    EngineCore::SpriteGroup& group = Group();
    group.SetPriority(CheckFloat(L, 1));
    return 0;
}

int SpriteGroupWrapper::SetRotation(lua_State* L)
{
    EngineCore::SpriteGroup& group = Group();
    group.SetRotation(DegreesToRadians(CheckFloat(L, 1)));
    return 0;
}

int SpriteGroupWrapper::SetVerticalScale(lua_State* L)
{
    EngineCore::SpriteGroup& group = Group();
    group.SetVerticalScale(CheckFloat(L, 1));
    return 0;
}

int SpriteGroupWrapper::SetHorizontalScale(lua_State* L)
{
    EngineCore::SpriteGroup& group = Group();
    group.SetHorizontalScale(CheckFloat(L, 1));
    return 0;
}

int SpriteGroupWrapper::GetPosition(lua_State* L)
{
    const EngineCore::SpriteGroup& group = Group();
    PushFloat(L, group.GetPositionX());
    PushFloat(L, group.GetPositionY());
    return 2;
}

int SpriteGroupWrapper::GetPriority(lua_State* L)
{
    PushFloat(L, Group().GetPriority());
    return 1;
}

int SpriteGroupWrapper::GetRotation(lua_State* L)
{
    PushFloat(L, RadiansToDegrees(Group().GetRotation()));
    return 1;
}

int SpriteGroupWrapper::GetVerticalScale(lua_State* L)
{
    PushFloat(L, Group().GetVerticalScale());
    return 1;
}

int SpriteGroupWrapper::GetHorizontalScale(lua_State* L)
{
    PushFloat(L, Group().GetHorizontalScale());
    return 1;
}

}  // namespace GameCore
