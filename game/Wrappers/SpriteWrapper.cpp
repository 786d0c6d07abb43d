#include "game/Wrappers/SpriteWrapper.h"

#include <functional>

#include <lua.hpp>

#include "engine/Renderer/Sprite.h"
#include "engine/Renderer/Texture.h"
#include "engine/Resources/Resource.h"
#include "engine/Resources/ResourceManager.h"
#include "engine/System/EngineError.h"
#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

namespace {

const char* const kSource = "Wrappers\\SpriteWrapper.cpp";

}  // namespace

const char SpriteWrapper::className[] = "Sprite";

// The order of the rows is part of the script interface.
const GameLuaScriptImpl::LuaHelper<SpriteWrapper>::RegType SpriteWrapper::methods[] = {
    {"GetName", &SpriteWrapper::GetName},
    {"SetName", &SpriteWrapper::SetName},
    {"Show", &SpriteWrapper::Show},
    {"Hide", &SpriteWrapper::Hide},
    {"SetColor", &SpriteWrapper::SetColor},
    {"SetHotSpot", &SpriteWrapper::SetHotSpot},
    {"SetPosition", &SpriteWrapper::SetPosition},
    {"SetBlendMode", &SpriteWrapper::SetBlendMode},
    {"SetTextureRect", &SpriteWrapper::SetTextureRect},
    {"SetFullTextureRect", &SpriteWrapper::SetFullTextureRect},
    {"IsVisible", &SpriteWrapper::IsVisible},
    {"GetVerticalScale", &SpriteWrapper::GetVerticalScale},
    {"GetHorizontalScale", &SpriteWrapper::GetHorizontalScale},
    {"SetTexture", &SpriteWrapper::SetTexture},
    {"SetPriority", &SpriteWrapper::SetPriority},
    {"SetRotation", &SpriteWrapper::SetRotation},
    {"SetVerticalScale", &SpriteWrapper::SetVerticalScale},
    {"SetHorizontalScale", &SpriteWrapper::SetHorizontalScale},
    {"GetColor", &SpriteWrapper::GetColor},
    {"GetTexture", &SpriteWrapper::GetTexture},
    {"GetHotSpot", &SpriteWrapper::GetHotSpot},
    {"GetRotation", &SpriteWrapper::GetRotation},
    {"GetPriority", &SpriteWrapper::GetPriority},
    {"GetPosition", &SpriteWrapper::GetPosition},
    {"GetTextureRect", &SpriteWrapper::GetTextureRect},
    {"SetFlipVertical", &SpriteWrapper::SetFlipVertical},
    {"SetFlipHorizontal", &SpriteWrapper::SetFlipHorizontal},
    {"IsFlipVertical", &SpriteWrapper::IsFlipVertical},
    {"IsFlipHorizontal", &SpriteWrapper::IsFlipHorizontal},
    {nullptr, nullptr},
};

SpriteWrapper::SpriteWrapper(lua_State*) {}

SpriteWrapper::~SpriteWrapper()
{
    Release();
}

EngineCore::Sprite& SpriteWrapper::AttachedSprite() const
{
    if (!_sprite)
        EngineCore::ThrowEngineError(kSource, 57, "Sprite not initialized. First call - SetName().");
    return *_sprite;
}

EngineCore::Texture& SpriteWrapper::BaseTexture() const
{
    auto* texture = dynamic_cast<EngineCore::Texture*>(AttachedSprite().GetTexture().get());
    if (!texture)
        EngineCore::ThrowEngineError(kSource, 65,
                                     "Base texture is not initialized. Use SetTexture() before SetTextureAlpha().");
    return *texture;
}

void SpriteWrapper::Release()
{
    if (_sprite)
        _sprite->SetCollisionFunction(std::function<bool(float, float)>());
}

int SpriteWrapper::GetName(lua_State* L)
{
    lua_pushstring(L, AttachedSprite().GetName());
    return 1;
}

int SpriteWrapper::SetName(lua_State* L)
{
    const std::string name = CheckString(L, 1);
    // The sprite let go of may live on in the manager or another wrapper.
    Release();
    _sprite = nullptr;
    _spriteResource.reset();

    std::shared_ptr<EngineCore::Resource> resource;
    if (!EngineCore::ResourceManager::Instance().GetResource(name, EngineCore::Resource::RT_SPRITE, resource))
        EngineCore::ThrowEngineErrorF(kSource, 93, "Resource (%s) creating error.", name.c_str());
    // A name already taken by a resource that is not a sprite is never used as one.
    auto* sprite = dynamic_cast<EngineCore::Sprite*>(resource.get());
    if (!sprite)
        EngineCore::ThrowEngineErrorF(kSource, 97, "Resource (%s) creating error.", name.c_str());

    _spriteResource = resource;
    _sprite = sprite;
    _sprite->SetVisible(false);
    return 0;
}

int SpriteWrapper::Show(lua_State*)
{
    EngineCore::Sprite& sprite = AttachedSprite();
    if (!sprite.IsVisible())
        sprite.SetVisible(true);
    return 0;
}

int SpriteWrapper::Hide(lua_State*)
{
    EngineCore::Sprite& sprite = AttachedSprite();
    if (sprite.IsVisible())
        sprite.SetVisible(false);
    return 0;
}

int SpriteWrapper::SetColor(lua_State* L)
{
    EngineCore::Sprite& sprite = AttachedSprite();
    sprite.SetColor(CheckColor(L, 1));
    return 0;
}

int SpriteWrapper::SetHotSpot(lua_State* L)
{
    EngineCore::Sprite& sprite = AttachedSprite();
    const float x = CheckFloat(L, 1);
    const float y = CheckFloat(L, 2);
    sprite.SetHotSpot(x, y);
    return 0;
}

int SpriteWrapper::SetPosition(lua_State* L)
{
    EngineCore::Sprite& sprite = AttachedSprite();
    const float x = CheckFloat(L, 1);
    const float y = CheckFloat(L, 2);
    sprite.SetPosition(x, y);
    return 0;
}

int SpriteWrapper::SetBlendMode(lua_State* L)
{
    EngineCore::Sprite& sprite = AttachedSprite();
    sprite.SetBlendMode(CheckInt32(L, 1));
    return 0;
}

void SpriteWrapper::ApplyTextureRect(float x, float y, float width, float height)
{
    _textureRect.x = ToInt32(x);
    _textureRect.y = ToInt32(y);
    _textureRect.width = ToInt32(width);
    _textureRect.height = ToInt32(height);
    _sprite->SetTextureRect(x, y, width, height);
}

int SpriteWrapper::SetTextureRect(lua_State* L)
{
    const EngineCore::Texture& texture = BaseTexture();
    float x = CheckFloat(L, 1);
    float y = CheckFloat(L, 2);
    float width = CheckFloat(L, 3);
    float height = CheckFloat(L, 4);
    const float textureWidth = static_cast<float>(texture.GetWidth());
    const float textureHeight = static_cast<float>(texture.GetHeight());
    // Only the far edges are pulled in; a negative origin moves to 0 keeping the size.
    if (x < 0.0f)
        x = 0.0f;
    if (x + width > textureWidth)
        width = textureWidth - x;
    if (y < 0.0f)
        y = 0.0f;
    if (y + height > textureHeight)
        height = textureHeight - y;
    ApplyTextureRect(x, y, width, height);
    return 0;
}

int SpriteWrapper::SetFullTextureRect(lua_State*)
{
    const EngineCore::Texture& texture = BaseTexture();
    ApplyTextureRect(0.0f, 0.0f, static_cast<float>(texture.GetWidth()), static_cast<float>(texture.GetHeight()));
    return 0;
}

int SpriteWrapper::IsVisible(lua_State* L)
{
    PushTruth(L, AttachedSprite().IsVisible());
    return 1;
}

int SpriteWrapper::GetVerticalScale(lua_State* L)
{
    PushFloat(L, AttachedSprite().GetVerticalScale());
    return 1;
}

int SpriteWrapper::GetHorizontalScale(lua_State* L)
{
    PushFloat(L, AttachedSprite().GetHorizontalScale());
    return 1;
}

int SpriteWrapper::SetTexture(lua_State* L)
{
    EngineCore::Sprite& sprite = AttachedSprite();
    const std::string name = CheckString(L, 1);
    std::shared_ptr<EngineCore::Resource> texture;
    // A name held by a resource of another kind is no texture to show.
    if (!EngineCore::ResourceManager::Instance().GetResource(name, EngineCore::Resource::RT_TEXTURE, texture) ||
        !dynamic_cast<EngineCore::Texture*>(texture.get()))
        EngineCore::ThrowEngineErrorF(kSource, 205, "Resource (%s) not found.", name.c_str());
    sprite.SetTexture(texture);
    _textureName = name;
    return 0;
}

int SpriteWrapper::SetPriority(lua_State* L)
{
    EngineCore::Sprite& sprite = AttachedSprite();
    sprite.SetPriority(CheckFloat(L, 1));
    return 0;
}

int SpriteWrapper::SetRotation(lua_State* L)
{
    EngineCore::Sprite& sprite = AttachedSprite();
    sprite.SetRotation(DegreesToRadians(CheckFloat(L, 1)));
    return 0;
}

int SpriteWrapper::SetVerticalScale(lua_State* L)
{
    EngineCore::Sprite& sprite = AttachedSprite();
    sprite.SetVerticalScale(CheckFloat(L, 1));
    return 0;
}

int SpriteWrapper::SetHorizontalScale(lua_State* L)
{
    EngineCore::Sprite& sprite = AttachedSprite();
    sprite.SetHorizontalScale(CheckFloat(L, 1));
    return 0;
}

int SpriteWrapper::GetColor(lua_State* L)
{
    return PushColor(L, AttachedSprite().GetColor());
}

int SpriteWrapper::GetTexture(lua_State* L)
{
    lua_pushstring(L, _textureName.c_str());
    return 1;
}

int SpriteWrapper::GetHotSpot(lua_State* L)
{
    const EngineCore::Sprite& sprite = AttachedSprite();
    PushFloat(L, sprite.GetHotSpotX());
    PushFloat(L, sprite.GetHotSpotY());
    return 2;
}

int SpriteWrapper::GetRotation(lua_State* L)
{
    PushFloat(L, RadiansToDegrees(AttachedSprite().GetRotation()));
    return 1;
}

int SpriteWrapper::GetPriority(lua_State* L)
{
    PushFloat(L, AttachedSprite().GetPriority());
    return 1;
}

int SpriteWrapper::GetPosition(lua_State* L)
{
    const EngineCore::Sprite& sprite = AttachedSprite();
    PushFloat(L, sprite.GetPositionX());
    PushFloat(L, sprite.GetPositionY());
    return 2;
}

int SpriteWrapper::GetTextureRect(lua_State* L)
{
    lua_pushnumber(L, _textureRect.x);
    lua_pushnumber(L, _textureRect.y);
    lua_pushnumber(L, _textureRect.width);
    lua_pushnumber(L, _textureRect.height);
    return 4;
}

int SpriteWrapper::SetFlipVertical(lua_State* L)
{
    EngineCore::Sprite& sprite = AttachedSprite();
    sprite.SetFlipVertical(CheckFlagExactlyOne(L, 1));
    return 0;
}

int SpriteWrapper::SetFlipHorizontal(lua_State* L)
{
    EngineCore::Sprite& sprite = AttachedSprite();
    sprite.SetFlipHorizontal(CheckFlagExactlyOne(L, 1));
    return 0;
}

int SpriteWrapper::IsFlipVertical(lua_State* L)
{
    PushTruth(L, AttachedSprite().IsFlipVertical());
    return 1;
}

int SpriteWrapper::IsFlipHorizontal(lua_State* L)
{
    PushTruth(L, AttachedSprite().IsFlipHorizontal());
    return 1;
}

}  // namespace GameCore
