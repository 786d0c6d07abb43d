#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"
#include "game/Wrappers/HeldResource.h"
#include "game/Wrappers/CRect.h"

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
//
// The texel operations (alpha from an image, alpha masks, blur) change the texture
// itself, so every sprite showing it changes with it. Which alpha image each texture
// holds and which decoded masks are in use is counted class-wide, under one lock,
// since scripts of the loader thread and of the main thread make and drop wrappers at
// the same time.
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
    int BlurTexture(lua_State* L);
    int SetTextureAlpha(lua_State* L);
    int SetScreenBufferTexture(lua_State* L);
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
    int IsAlphaCollided(lua_State* L);
    int IsSpriteCollided(lua_State* L);
    int RestoreAlpha(lua_State* L);
    int ApplyAlphaMask(lua_State* L);
    int DecrementAlphaCounter(lua_State* L);

    // The hit test the wrapper installs as its sprite's collision function: whether the
    // screen point (x, y) falls on a texel with alpha. Scales are not looked at; a
    // point up to one pixel left of or above the sprite still tests its first column
    // or row.
    bool IsAlphaCollided(float x, float y) const;

protected:
    // The sprite's texture rectangle centred on its position; false for no sprite.
    bool GetRect(const EngineCore::Sprite* sprite, CRect& rect) const;

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
    // The attached sprite's texture; throws, naming `before` as the call to make
    // SetTexture() before, when it has none.
    EngineCore::Texture& BaseTexture(const char* before = "SetTextureAlpha") const;
    // Stores the rectangle truncated and hands the floats to the sprite.
    void ApplyTextureRect(float x, float y, float width, float height);
    // Installs this wrapper's hit test on the attached sprite.
    void Init();
    // Takes this wrapper's hit test off the attached sprite, unless another wrapper's
    // has replaced it since, so that nothing the sprite keeps can call into this object
    // once it lets go of the sprite.
    void Release();
    // Saves the alpha of the sprite's rectangle once, at the first mask.
    void StoreAlpha();
    // Writes the saved alpha back into the current rectangle when it has the saved size.
    void RestoreAlpha();
    // Gives back one use of the alpha image recorded for the sprite's texture.
    void GiveBackTextureAlpha();
    // Gives back every use of a decoded mask this wrapper took.
    void GiveBackMasks();

    struct AlphaStores;
    static AlphaStores& Stores();
    // What the installed hit test calls through; emptied when this object goes.
    struct HitTestOwner {
        const SpriteWrapper* wrapper;
    };

    bool _isAlphaStored = false;
    bool _isAlphaMaskApplied = false;
    // The wrapper's own copy of the rectangle last set through it.
    TextureRect _textureRect;
    // The name of the texture last set through this object.
    std::string _textureName;
    // The image last given to SetTextureAlpha, kept even when that call failed.
    std::string _textureAlphaName;
    // Empty until SetName succeeds.
    HeldResource<EngineCore::Sprite> _sprite;
    // The rectangle's alpha at the first ApplyAlphaMask, row by row.
    std::vector<unsigned char> _storedAlpha;
    // One name per use of a decoded mask taken by this wrapper.
    std::vector<std::string> _pictureAlphaNames;
    std::shared_ptr<HitTestOwner> _hitTestOwner;
};

}  // namespace GameCore
