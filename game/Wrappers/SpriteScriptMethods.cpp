#include "game/Wrappers/SpriteScriptMethods.h"

#include <lua.hpp>

#include "engine/Renderer/RenderSystem.h"
#include "engine/Renderer/Sprite.h"
#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

using SpriteAccess = EngineCore::RenderSystem::SpriteAccess;

int ShowSprite(lua_State*, EngineCore::Sprite& sprite)
{
    const SpriteAccess access;
    if (!sprite.IsVisible())
        sprite.SetVisible(true);
    return 0;
}

int HideSprite(lua_State*, EngineCore::Sprite& sprite)
{
    const SpriteAccess access;
    if (sprite.IsVisible())
        sprite.SetVisible(false);
    return 0;
}

int SetSpritePosition(lua_State* L, EngineCore::Sprite& sprite)
{
    const SpriteAccess access;
    const float x = CheckFloat(L, 1);
    const float y = CheckFloat(L, 2);
    sprite.SetPosition(x, y);
    return 0;
}

int PushSpritePosition(lua_State* L, const EngineCore::Sprite& sprite)
{
    const SpriteAccess access;
    PushFloat(L, sprite.GetPositionX());
    PushFloat(L, sprite.GetPositionY());
    return 2;
}

int SetSpritePriority(lua_State* L, EngineCore::Sprite& sprite)
{
    const SpriteAccess access;
    sprite.SetPriority(CheckFloat(L, 1));
    return 0;
}

int SetSpriteRotation(lua_State* L, EngineCore::Sprite& sprite)
{
    const SpriteAccess access;
    sprite.SetRotation(DegreesToRadians(CheckFloat(L, 1)));
    return 0;
}

int SetSpriteVerticalScale(lua_State* L, EngineCore::Sprite& sprite)
{
    const SpriteAccess access;
    sprite.SetVerticalScale(CheckFloat(L, 1));
    return 0;
}

int SetSpriteHorizontalScale(lua_State* L, EngineCore::Sprite& sprite)
{
    const SpriteAccess access;
    sprite.SetHorizontalScale(CheckFloat(L, 1));
    return 0;
}

int SetSpriteFlipVertical(lua_State* L, EngineCore::Sprite& sprite)
{
    const SpriteAccess access;
    sprite.SetFlipVertical(CheckFlagExactlyOne(L, 1));
    return 0;
}

int SetSpriteFlipHorizontal(lua_State* L, EngineCore::Sprite& sprite)
{
    const SpriteAccess access;
    sprite.SetFlipHorizontal(CheckFlagExactlyOne(L, 1));
    return 0;
}

}  // namespace GameCore
