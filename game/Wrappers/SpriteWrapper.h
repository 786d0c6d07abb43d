#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"

struct lua_State;

namespace EngineCore {
class Resource;
class Sprite;
class Texture;
}  // namespace EngineCore

namespace GameCore {

// Script class "Sprite": drives one sprite resource, attached by name, and the texture
// and texture rectangle it shows. The sprite is shared with the resource manager and
// with every other wrapper that attached the same name; it outlives this object.
class SpriteWrapper {
public:
    static const char className[];
    static const GameLuaScriptImpl::LuaHelper<SpriteWrapper>::RegType methods[];

    explicit SpriteWrapper(lua_State* state);
    ~SpriteWrapper();
    SpriteWrapper(const SpriteWrapper&) = delete;
    SpriteWrapper& operator=(const SpriteWrapper&) = delete;

    int GetName(lua_State* L);
    int SetName(lua_State* L);
    int Show(lua_State* L);
    int Hide(lua_State* L);
    int SetColor(lua_State* L);
    int SetHotSpot(lua_State* L);
    int SetPosition(lua_State* L);
    int SetBlendMode(lua_State* L);
    int SetTextureRect(lua_State* L);
    int SetFullTextureRect(lua_State* L);
    int IsVisible(lua_State* L);
    int GetVerticalScale(lua_State* L);
    int GetHorizontalScale(lua_State* L);
    int SetTexture(lua_State* L);
    int SetPriority(lua_State* L);
    int SetRotation(lua_State* L);
    int SetVerticalScale(lua_State* L);
    int SetHorizontalScale(lua_State* L);
    int GetColor(lua_State* L);
    int GetTexture(lua_State* L);
    int GetHotSpot(lua_State* L);
    int GetRotation(lua_State* L);
    int GetPriority(lua_State* L);
    int GetPosition(lua_State* L);
    int GetTextureRect(lua_State* L);
    int SetFlipVertical(lua_State* L);
    int SetFlipHorizontal(lua_State* L);
    int IsFlipVertical(lua_State* L);
    int IsFlipHorizontal(lua_State* L);

private:
    struct TextureRect {
        int32_t x = 0;
        int32_t y = 0;
        int32_t width = 0;
        int32_t height = 0;
    };

    // The attached sprite; throws the set-up message when there is none. Methods call
    // it before reading any argument.
    EngineCore::Sprite& AttachedSprite() const;
    // The attached sprite's texture; throws when it has none.
    EngineCore::Texture& BaseTexture() const;
    // Stores the rectangle truncated and hands the floats to the sprite.
    void ApplyTextureRect(float x, float y, float width, float height);
    // Leaves no collision function on the attached sprite, so that nothing the sprite
    // keeps can call into this object once it lets go of the sprite.
    void Release();

    // The wrapper's own copy of the rectangle last set through it.
    TextureRect _textureRect;
    // The name of the texture last set through this object.
    std::string _textureName;
    // Not owning: the object held by _spriteResource, null until SetName succeeds.
    EngineCore::Sprite* _sprite = nullptr;
    std::shared_ptr<EngineCore::Resource> _spriteResource;
};

}  // namespace GameCore
