#include "game/Wrappers/SpriteVideoWrapper.h"

#include <string>

#include <lua.hpp>

#include "engine/Renderer/Sprite.h"
#include "engine/Resources/Resource.h"
#include "engine/Resources/ResourceManager.h"
#include "engine/System/EngineError.h"
#include "game/Wrappers/ScriptArguments.h"
#include "game/Wrappers/SpriteScriptMethods.h"

namespace GameCore {

namespace {

const char* const kSource = "Wrappers\\SpriteVideoWrapper.cpp";

}  // namespace

const char SpriteVideoWrapper::className[] = "SpriteVideo";

// The order of the rows is part of the script interface.
const GameLuaScriptImpl::LuaHelper<SpriteVideoWrapper>::RegType SpriteVideoWrapper::methods[] = {
    {"GetName", &SpriteVideoWrapper::GetName},
    {"SetName", &SpriteVideoWrapper::SetName},
    {"SetVideoFile", &SpriteVideoWrapper::SetVideoFile},
    {"Show", &SpriteVideoWrapper::Show},
    {"Hide", &SpriteVideoWrapper::Hide},
    {"SetPosition", &SpriteVideoWrapper::SetPosition},
    {"IsVisible", &SpriteVideoWrapper::IsVisible},
    {"GetVerticalScale", &SpriteVideoWrapper::GetVerticalScale},
    {"GetHorizontalScale", &SpriteVideoWrapper::GetHorizontalScale},
    {"SetPriority", &SpriteVideoWrapper::SetPriority},
    {"SetRotation", &SpriteVideoWrapper::SetRotation},
    {"SetVerticalScale", &SpriteVideoWrapper::SetVerticalScale},
    {"SetHorizontalScale", &SpriteVideoWrapper::SetHorizontalScale},
    {"GetRotation", &SpriteVideoWrapper::GetRotation},
    {"GetPriority", &SpriteVideoWrapper::GetPriority},
    {"GetPosition", &SpriteVideoWrapper::GetPosition},
    {"SetFlipVertical", &SpriteVideoWrapper::SetFlipVertical},
    {"SetFlipHorizontal", &SpriteVideoWrapper::SetFlipHorizontal},
    {"IsFlipVertical", &SpriteVideoWrapper::IsFlipVertical},
    {"IsFlipHorizontal", &SpriteVideoWrapper::IsFlipHorizontal},
    {"Pause", &SpriteVideoWrapper::Pause},
    {"Play", &SpriteVideoWrapper::Play},
    {"Reset", &SpriteVideoWrapper::Reset},
    {"GetPause", &SpriteVideoWrapper::GetPause},
    {"SetLoop", &SpriteVideoWrapper::SetLoop},
    {"GetLoop", &SpriteVideoWrapper::GetLoop},
    {"SetFullScreenMode", &SpriteVideoWrapper::SetFullScreenMode},
    {nullptr, nullptr},
};

SpriteVideoWrapper::SpriteVideoWrapper(lua_State*) {}

SpriteVideoWrapper::~SpriteVideoWrapper() = default;

EngineCore::Sprite& SpriteVideoWrapper::AttachedSprite() const
{
    return _sprite.Require(kSource, __LINE__, "Sprite not initialized. First call - SetName().");
}

int SpriteVideoWrapper::GetName(lua_State* L)
{
    lua_pushstring(L, AttachedSprite().GetName());
    return 1;
}

int SpriteVideoWrapper::SetName(lua_State* L)
{
    const std::string name = CheckString(L, 1);
    // The sprite let go of may live on in the manager or another wrapper.
    _sprite.Reset();

    std::shared_ptr<EngineCore::Resource> resource;
    if (!EngineCore::ResourceManager::Instance().GetResource(name, EngineCore::Resource::RT_VIDEO_SPRITE,
                                                             resource))
        EngineCore::ThrowEngineErrorF(kSource, __LINE__, "Resource (%s) creating error.", name.c_str());
    // A name already taken by a resource that is not a sprite is never used as one.
    _sprite.Hold(resource);
    if (!_sprite)
        EngineCore::ThrowEngineErrorF(kSource, __LINE__, "Resource (%s) creating error.", name.c_str());
    _sprite->SetVisible(false);
    return 0;
}

int SpriteVideoWrapper::SetVideoFile(lua_State* L)
{
    EngineCore::Sprite& sprite = AttachedSprite();
    const std::string path = CheckString(L, 1);
    sprite.SetVideoFile(path.c_str());
    return 0;
}

int SpriteVideoWrapper::Show(lua_State* L)
{
    return ShowSprite(L, AttachedSprite());
}

int SpriteVideoWrapper::Hide(lua_State* L)
{
    return HideSprite(L, AttachedSprite());
}

int SpriteVideoWrapper::SetPosition(lua_State* L)
{
    return SetSpritePosition(L, AttachedSprite());
}

int SpriteVideoWrapper::IsVisible(lua_State* L)
{
    PushTruth(L, AttachedSprite().IsVisible());
    return 1;
}

int SpriteVideoWrapper::GetVerticalScale(lua_State* L)
{
    PushFloat(L, AttachedSprite().GetVerticalScale());
    return 1;
}

int SpriteVideoWrapper::GetHorizontalScale(lua_State* L)
{
    PushFloat(L, AttachedSprite().GetHorizontalScale());
    return 1;
}

int SpriteVideoWrapper::SetPriority(lua_State* L)
{
    return SetSpritePriority(L, AttachedSprite());
}

int SpriteVideoWrapper::SetRotation(lua_State* L)
{
    return SetSpriteRotation(L, AttachedSprite());
}

int SpriteVideoWrapper::SetVerticalScale(lua_State* L)
{
    return SetSpriteVerticalScale(L, AttachedSprite());
}

int SpriteVideoWrapper::SetHorizontalScale(lua_State* L)
{
    return SetSpriteHorizontalScale(L, AttachedSprite());
}

int SpriteVideoWrapper::GetRotation(lua_State* L)
{
    PushFloat(L, RadiansToDegrees(AttachedSprite().GetRotation()));
    return 1;
}

int SpriteVideoWrapper::GetPriority(lua_State* L)
{
    PushFloat(L, AttachedSprite().GetPriority());
    return 1;
}

int SpriteVideoWrapper::GetPosition(lua_State* L)
{
    return PushSpritePosition(L, AttachedSprite());
}

int SpriteVideoWrapper::SetFlipVertical(lua_State* L)
{
    return SetSpriteFlipVertical(L, AttachedSprite());
}

int SpriteVideoWrapper::SetFlipHorizontal(lua_State* L)
{
    return SetSpriteFlipHorizontal(L, AttachedSprite());
}

int SpriteVideoWrapper::IsFlipVertical(lua_State* L)
{
    PushTruth(L, AttachedSprite().IsFlipVertical());
    return 1;
}

int SpriteVideoWrapper::IsFlipHorizontal(lua_State* L)
{
    PushTruth(L, AttachedSprite().IsFlipHorizontal());
    return 1;
}

int SpriteVideoWrapper::Pause(lua_State*)
{
    AttachedSprite().VideoPause();
    return 0;
}

int SpriteVideoWrapper::Play(lua_State*)
{
    AttachedSprite().VideoPlay();
    return 0;
}

int SpriteVideoWrapper::Reset(lua_State*)
{
    AttachedSprite().VideoReset();
    return 0;
}

int SpriteVideoWrapper::GetPause(lua_State* L)
{
    PushTruth(L, AttachedSprite().IsVideoPause());
    return 1;
}

int SpriteVideoWrapper::SetLoop(lua_State* L)
{
    EngineCore::Sprite& sprite = AttachedSprite();
    sprite.SetVideoLoop(CheckFlagExactlyOne(L, 1));
    return 0;
}

int SpriteVideoWrapper::GetLoop(lua_State* L)
{
    PushTruth(L, AttachedSprite().IsVideoLoop());
    return 1;
}

int SpriteVideoWrapper::SetFullScreenMode(lua_State*)
{
    // Takes no argument: the mode has no "off" for scripts.
    AttachedSprite().SetVideoFullScreenMode(true);
    return 0;
}

}  // namespace GameCore
