#pragma once
// Script methods the sprite and the video sprite classes have alike. Each takes the
// sprite its class has already required, so that a missing one fails before any
// argument is read, and holds RenderSystem::SpriteAccess while it reads or sets it.

struct lua_State;

namespace EngineCore {
class Sprite;
}

namespace GameCore {

// Shows the sprite.
int ShowSprite(lua_State* L, EngineCore::Sprite& sprite);
// Hides the sprite.
int HideSprite(lua_State* L, EngineCore::Sprite& sprite);
// (x, y)
int SetSpritePosition(lua_State* L, EngineCore::Sprite& sprite);
// Pushes x and y.
int PushSpritePosition(lua_State* L, const EngineCore::Sprite& sprite);
// (priority)
int SetSpritePriority(lua_State* L, EngineCore::Sprite& sprite);
// (degrees)
int SetSpriteRotation(lua_State* L, EngineCore::Sprite& sprite);
// (scale)
int SetSpriteVerticalScale(lua_State* L, EngineCore::Sprite& sprite);
// (scale)
int SetSpriteHorizontalScale(lua_State* L, EngineCore::Sprite& sprite);
// (flag)
int SetSpriteFlipVertical(lua_State* L, EngineCore::Sprite& sprite);
// (flag)
int SetSpriteFlipHorizontal(lua_State* L, EngineCore::Sprite& sprite);

}  // namespace GameCore
