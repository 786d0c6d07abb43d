#include "game/Wrappers/SpriteWrapper.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <mutex>

#include <lua.hpp>

#include "engine/Renderer/RenderSystem.h"
#include "engine/Renderer/Sprite.h"
#include "engine/Renderer/Texture.h"
#include "engine/Resources/Resource.h"
#include "engine/Resources/ResourceManager.h"
#include "engine/System/EngineError.h"
#include "engine/System/SystemLogger.h"
#include "game/Wrappers/AlphaPicture.h"
#include "game/Wrappers/ScriptArguments.h"
#include "game/Wrappers/SpriteScriptMethods.h"
#include "game/Wrappers/TextureAlphaRecord.h"
#include "game/Wrappers/TextureLock.h"

namespace GameCore {

namespace {

const char* const kSource = "Wrappers\\SpriteWrapper.cpp";

// Every read or change of the sprite holds it (see RenderSystem::SpriteAccess); resource
// loads, picture decoding and blurs run outside it.
using SpriteAccess = EngineCore::RenderSystem::SpriteAccess;

// Rows of a texture that BlurTexture blurs, from the top.
const unsigned kBlurRows = 384;

// The two inventory textures whose alpha uses are traced in the log.
void LogAlphaUse(const std::string& texture, bool added, int count)
{
    const char* item = nullptr;
    if (texture == "Base/QuestItems/InventoryImages/EmptyItem.jpg")
        item = "EmptyItem";
    else if (texture == "Base/QuestItems/InventoryImages/bag.jpg")
        item = "Bag";
    if (!item)
        return;
    char line[64];
    std::snprintf(line, sizeof line, "\t\t%s %s Alpha: %d", added ? "Add" : "Delete", item, count);
    EngineCore::SystemLogger::Instance().Log(line);
}

// A rectangle of texels, clipped or not.
struct TexelRect {
    int64_t x0, y0, x1, y1;  // x1, y1 exclusive
    bool Empty() const { return x0 >= x1 || y0 >= y1; }
};

// The sprite's texture rectangle as whole texels: x, y, width and height truncated.
struct SpriteRect {
    int32_t x, y, width, height;
};

SpriteRect RectOf(const EngineCore::Sprite& sprite)
{
    float x = 0, y = 0, w = 0, h = 0;
    sprite.GetTextureRect(x, y, w, h);
    return {GameCore::ToInt32(x), GameCore::ToInt32(y), GameCore::ToInt32(w), GameCore::ToInt32(h)};
}

// The saved bytes of a rectangle: a row per rectangle row, each as long as the
// rectangle is wide. A negative side stores nothing; a side longer than the texture's
// is cut to it, which only the sprite itself, never a script, can ask for.
int64_t StoredWidth(const SpriteRect& r, unsigned textureWidth)
{
    return r.width <= 0 || r.height <= 0 ? 0 : std::min<int64_t>(r.width, textureWidth);
}

int64_t StoredHeight(const SpriteRect& r, unsigned textureHeight)
{
    return r.width <= 0 || r.height <= 0 ? 0 : std::min<int64_t>(r.height, textureHeight);
}

// The part of the stored rectangle that lies on the texture (and on a mask of
// limitW x limitH): no texel outside it is read or written.
TexelRect Clip(const SpriteRect& r, const EngineCore::Texture& texture, int64_t limitW, int64_t limitH)
{
    const int64_t w = StoredWidth(r, texture.GetWidth());
    const int64_t h = StoredHeight(r, texture.GetHeight());
    TexelRect c;
    c.x0 = std::max<int64_t>(r.x, 0);
    c.y0 = std::max<int64_t>(r.y, 0);
    c.x1 = std::min({int64_t(r.x) + w, int64_t(texture.GetWidth()), limitW});
    c.y1 = std::min({int64_t(r.y) + h, int64_t(texture.GetHeight()), limitH});
    return c;
}

[[noreturn]] void ThrowLockError(const EngineCore::Texture& texture)
{
    EngineCore::ThrowEngineErrorF(kSource, 300, "Texture (%s) lock error.", texture.GetName());
}

}  // namespace

// The class-wide record of decoded masks and their uses. An entry exists while its
// count is at least 1. Which alpha image each texture holds is in TextureAlphaRecord.
struct SpriteWrapper::AlphaStores {
    struct PictureAlpha {
        std::shared_ptr<FreeImageLibEx::Picture> picture;
        int count = 0;
    };
    std::mutex mutex;
    std::map<std::string, PictureAlpha> pictureAlpha;
    // Kept for the class's layout; nothing fills it.
    std::map<std::string, std::pair<std::string, int>> clipMask;
};

SpriteWrapper::AlphaStores& SpriteWrapper::Stores()
{
    // Never destroyed: a wrapper collected while the process exits still finds it.
    static AlphaStores* const stores = new AlphaStores;
    return *stores;
}

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
    {"BlurTexture", &SpriteWrapper::BlurTexture},
    {"SetTextureAlpha", &SpriteWrapper::SetTextureAlpha},
    {"SetScreenBufferTexture", &SpriteWrapper::SetScreenBufferTexture},
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
    {"IsAlphaCollided", &SpriteWrapper::IsAlphaCollided},
    {"IsSpriteCollided", &SpriteWrapper::IsSpriteCollided},
    {"RestoreAlpha", &SpriteWrapper::RestoreAlpha},
    {"ApplyAlphaMask", &SpriteWrapper::ApplyAlphaMask},
    {"DecrementAlphaCounter", &SpriteWrapper::DecrementAlphaCounter},
    {nullptr, nullptr},
};

SpriteWrapper::SpriteWrapper(lua_State*) {}

SpriteWrapper::~SpriteWrapper()
{
    GiveBackTextureAlpha();
    GiveBackMasks();
    Release();
}

EngineCore::Sprite& SpriteWrapper::AttachedSprite() const
{
    return _sprite.Require(kSource, 57, "Sprite not initialized. First call - SetName().");
}

EngineCore::Texture& SpriteWrapper::BaseTexture(const char* before) const
{
    EngineCore::Texture* texture = AttachedSprite().GetTextureObject();
    if (!texture)
        EngineCore::ThrowEngineErrorF(kSource, 65, "Base texture is not initialized. Use SetTexture() before %s().",
                                      before);
    return *texture;
}

void SpriteWrapper::Init()
{
    if (!_sprite)
        return;
    const SpriteAccess access;
    if (_hitTestOwner)
        _hitTestOwner->wrapper = nullptr;
    _hitTestOwner = std::make_shared<HitTestOwner>(HitTestOwner{this});
    std::shared_ptr<HitTestOwner> owner = _hitTestOwner;
    _sprite->SetCollisionFunction([owner](float x, float y) {
        return owner->wrapper != nullptr && owner->wrapper->IsAlphaCollided(x, y);
    });
}

void SpriteWrapper::Release()
{
    if (!_hitTestOwner)
        return;
    const SpriteAccess access;
    // Another holder of the owner record than this object is the sprite's function,
    // still ours: take it off. Otherwise a later wrapper's function stays.
    if (_sprite && _hitTestOwner.use_count() > 1)
        _sprite->SetCollisionFunction(std::function<bool(float, float)>());
    _hitTestOwner->wrapper = nullptr;
    _hitTestOwner.reset();
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
    _sprite.Reset();

    std::shared_ptr<EngineCore::Resource> resource;
    if (!EngineCore::ResourceManager::Instance().GetResource(name, EngineCore::Resource::RT_SPRITE, resource))
        EngineCore::ThrowEngineErrorF(kSource, 93, "Resource (%s) creating error.", name.c_str());
    // A name already taken by a resource that is not a sprite is never used as one.
    _sprite.Hold(resource);
    if (!_sprite)
        EngineCore::ThrowEngineErrorF(kSource, 97, "Resource (%s) creating error.", name.c_str());
    const SpriteAccess access;
    _sprite->SetVisible(false);
    Init();
    return 0;
}

int SpriteWrapper::Show(lua_State* L)
{
    return ShowSprite(L, AttachedSprite());
}

int SpriteWrapper::Hide(lua_State* L)
{
    return HideSprite(L, AttachedSprite());
}

int SpriteWrapper::SetColor(lua_State* L)
{
    EngineCore::Sprite& sprite = AttachedSprite();
    const uint32_t color = CheckColor(L, 1);
    const SpriteAccess access;
    sprite.SetColor(color);
    return 0;
}

int SpriteWrapper::SetHotSpot(lua_State* L)
{
    EngineCore::Sprite& sprite = AttachedSprite();
    const float x = CheckFloat(L, 1);
    const float y = CheckFloat(L, 2);
    const SpriteAccess access;
    sprite.SetHotSpot(x, y);
    return 0;
}

int SpriteWrapper::SetPosition(lua_State* L)
{
    return SetSpritePosition(L, AttachedSprite());
}

int SpriteWrapper::SetBlendMode(lua_State* L)
{
    EngineCore::Sprite& sprite = AttachedSprite();
    const int32_t mode = CheckInt32(L, 1);
    const SpriteAccess access;
    sprite.SetBlendMode(mode);
    return 0;
}

void SpriteWrapper::ApplyTextureRect(float x, float y, float width, float height)
{
    const SpriteAccess access;
    _textureRect.x = ToInt32(x);
    _textureRect.y = ToInt32(y);
    _textureRect.width = ToInt32(width);
    _textureRect.height = ToInt32(height);
    _sprite->SetTextureRect(x, y, width, height);
}

int SpriteWrapper::SetTextureRect(lua_State* L)
{
    const SpriteAccess access;
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
    const SpriteAccess access;
    const EngineCore::Texture& texture = BaseTexture();
    ApplyTextureRect(0.0f, 0.0f, static_cast<float>(texture.GetWidth()), static_cast<float>(texture.GetHeight()));
    return 0;
}

int SpriteWrapper::IsVisible(lua_State* L)
{
    const SpriteAccess access;
    PushTruth(L, AttachedSprite().IsVisible());
    return 1;
}

int SpriteWrapper::GetVerticalScale(lua_State* L)
{
    const SpriteAccess access;
    PushFloat(L, AttachedSprite().GetVerticalScale());
    return 1;
}

int SpriteWrapper::GetHorizontalScale(lua_State* L)
{
    const SpriteAccess access;
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
    // The texture shown until now is let go of only once the access ends: when this was
    // its last holder, it is freed outside the render lock.
    std::shared_ptr<EngineCore::Resource> shown;
    {
        const SpriteAccess access;
        shown = sprite.GetTexture();
        sprite.SetTexture(texture);
    }
    _textureName = name;
    return 0;
}

int SpriteWrapper::SetPriority(lua_State* L)
{
    return SetSpritePriority(L, AttachedSprite());
}

int SpriteWrapper::SetRotation(lua_State* L)
{
    return SetSpriteRotation(L, AttachedSprite());
}

int SpriteWrapper::SetVerticalScale(lua_State* L)
{
    return SetSpriteVerticalScale(L, AttachedSprite());
}

int SpriteWrapper::SetHorizontalScale(lua_State* L)
{
    return SetSpriteHorizontalScale(L, AttachedSprite());
}

int SpriteWrapper::GetColor(lua_State* L)
{
    const SpriteAccess access;
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
    const SpriteAccess access;
    PushFloat(L, sprite.GetHotSpotX());
    PushFloat(L, sprite.GetHotSpotY());
    return 2;
}

int SpriteWrapper::GetRotation(lua_State* L)
{
    const SpriteAccess access;
    PushFloat(L, RadiansToDegrees(AttachedSprite().GetRotation()));
    return 1;
}

int SpriteWrapper::GetPriority(lua_State* L)
{
    const SpriteAccess access;
    PushFloat(L, AttachedSprite().GetPriority());
    return 1;
}

int SpriteWrapper::GetPosition(lua_State* L)
{
    return PushSpritePosition(L, AttachedSprite());
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
    return SetSpriteFlipVertical(L, AttachedSprite());
}

int SpriteWrapper::SetFlipHorizontal(lua_State* L)
{
    return SetSpriteFlipHorizontal(L, AttachedSprite());
}

int SpriteWrapper::IsFlipVertical(lua_State* L)
{
    const SpriteAccess access;
    PushTruth(L, AttachedSprite().IsFlipVertical());
    return 1;
}

int SpriteWrapper::IsFlipHorizontal(lua_State* L)
{
    const SpriteAccess access;
    PushTruth(L, AttachedSprite().IsFlipHorizontal());
    return 1;
}

int SpriteWrapper::BlurTexture(lua_State* L)
{
    const EngineCore::Sprite& sprite = AttachedSprite();
    const int32_t passes = CheckInt32(L, 1);
    // Held while it blurs, outside the access: another thread may give the sprite
    // another texture meanwhile.
    std::shared_ptr<EngineCore::Resource> held;
    EngineCore::Texture* texture = nullptr;
    {
        const SpriteAccess access;
        texture = &BaseTexture("ApplyAlphaMask");
        held = sprite.GetTexture();
    }
    // A count of 0 or less blurs nothing; a texture that cannot be locked stays as it is.
    if (passes > 0)
        texture->MakeBlur(static_cast<unsigned>(passes), kBlurRows);
    return 0;
}

int SpriteWrapper::SetTextureAlpha(lua_State* L)
{
    EngineCore::Sprite& sprite = AttachedSprite();
    const std::string name = CheckString(L, 1);
    _textureAlphaName = name;
    EngineCore::Texture* texture = nullptr;
    std::shared_ptr<EngineCore::Resource> textureResource;
    {
        const SpriteAccess access;
        texture = &BaseTexture();
        textureResource = sprite.GetTexture();
    }
    const std::string textureName = texture->GetName();

    const TextureAlphaUse use = TakeTextureAlpha(*texture, textureResource, name, kSource);
    if (!use.written)
        LogAlphaUse(textureName, true, use.count);
    return 0;
}

int SpriteWrapper::SetScreenBufferTexture(lua_State* L)
{
    EngineCore::Sprite& sprite = AttachedSprite();
    const float scaleX = CheckFloat(L, 1);
    const float scaleY = CheckFloat(L, 2);
    std::shared_ptr<EngineCore::Resource> capture;
    if (!EngineCore::RenderSystem::Instance().GetCurrentTexture(scaleX, scaleY, capture))
        EngineCore::ThrowEngineError(kSource, 370, "SpriteWrapper::SetScreenBufferTexture internal error.");
    const auto* texture = dynamic_cast<const EngineCore::Texture*>(capture.get());
    if (!texture)
        EngineCore::ThrowEngineError(kSource, 373, "Internal error.");
    std::shared_ptr<EngineCore::Resource> shown;
    const SpriteAccess access;
    shown = sprite.GetTexture();
    sprite.SetTexture(capture);
    _textureName = capture->GetName();
    ApplyTextureRect(0.0f, 0.0f, static_cast<float>(texture->GetWidth()), static_cast<float>(texture->GetHeight()));
    // Shown from the screen's corner, scaled back to the screen's size.
    sprite.SetRotation(0.0f);
    sprite.SetHotSpot(0.0f, 0.0f);
    sprite.SetPosition(0.0f, 0.0f);
    sprite.SetVerticalScale(1.0f / scaleY);
    sprite.SetHorizontalScale(1.0f / scaleX);
    return 0;
}

bool SpriteWrapper::IsAlphaCollided(float x, float y) const
{
    // GUI controls ask this on every pointer event: the checks stay inline, their
    // messages out of line.
    const EngineCore::Sprite& sprite = _sprite ? *_sprite : AttachedSprite();
    EngineCore::Texture* const shown = sprite.GetTextureObject();
    EngineCore::Texture& texture = shown ? *shown : BaseTexture("IsAlphaCollided");
    const float rotation = sprite.GetRotation();
    float rx = 0, ry = 0, rw = 0, rh = 0;
    sprite.GetTextureRect(rx, ry, rw, rh);

    // Undo the drawing transform, which turns the sprite about its hot spot.
    const float vx = x - sprite.GetPositionX();
    const float vy = y - sprite.GetPositionY();
    // Unturned sprites (buttons, most of all) skip the trigonometry: same values.
    const float c = rotation == 0.0f ? 1.0f : std::cos(rotation);
    const float s = rotation == 0.0f ? 0.0f : std::sin(rotation);
    const float ux = vx * c + vy * s;
    const float uy = -vx * s + vy * c;
    // Truncation toward zero: points up to a pixel left of or above the rectangle land
    // on its first column or row.
    const float fx = std::trunc(ux + sprite.GetHotSpotX() + rx);
    const float fy = std::trunc(uy + sprite.GetHotSpotY() + ry);
    const float right = std::trunc(rx + rw);
    const float bottom = std::trunc(ry + rh);
    // Written so that NaN answers false as well.
    if (!(fx >= rx && fx < right && fy >= ry && fy < bottom))
        return false;
    int64_t ix = static_cast<int64_t>(fx);
    int64_t iy = static_cast<int64_t>(fy);
    // Flips mirror within the rectangle's whole-texel edges.
    if (sprite.IsFlipHorizontal())
        ix = static_cast<int64_t>(std::trunc(rx)) + static_cast<int64_t>(right) - 1 - ix;
    if (sprite.IsFlipVertical())
        iy = static_cast<int64_t>(std::trunc(ry)) + static_cast<int64_t>(bottom) - 1 - iy;
    // A rectangle may reach past the texture; nothing is there to hit.
    if (ix < 0 || iy < 0 || ix >= texture.GetWidth() || iy >= texture.GetHeight())
        return false;
    // Read-only: a hit test must not make the texture upload itself again.
    TextureLock lock(texture, static_cast<unsigned>(ix), static_cast<unsigned>(iy), 1, 1, true);
    if (!lock.Pixels())
        ThrowLockError(texture);
    return (lock.Pixels()[0] >> 24) != 0;
}

bool SpriteWrapper::GetRect(const EngineCore::Sprite* sprite, CRect& rect) const
{
    if (!sprite)
        return false;
    float x = 0, y = 0, width = 0, height = 0;
    sprite->GetTextureRect(x, y, width, height);
    const float px = sprite->GetPositionX();
    const float py = sprite->GetPositionY();
    rect.left = ToInt32(px - width * 0.5f);
    rect.top = ToInt32(py - height * 0.5f);
    rect.right = ToInt32(px + width * 0.5f);
    rect.bottom = ToInt32(py + height * 0.5f);
    return true;
}

int SpriteWrapper::IsAlphaCollided(lua_State* L)
{
    AttachedSprite();
    const float x = CheckFloat(L, 1);
    const float y = CheckFloat(L, 2);
    const SpriteAccess access;
    PushTruth(L, IsAlphaCollided(x, y));
    return 1;
}

int SpriteWrapper::IsSpriteCollided(lua_State* L)
{
    const EngineCore::Sprite& sprite = AttachedSprite();
    const std::string name = CheckString(L, 1);
    std::shared_ptr<EngineCore::Resource> resource;
    // An unknown name is made into a new, empty sprite, which overlaps nothing.
    if (!EngineCore::ResourceManager::Instance().GetResource(name, EngineCore::Resource::RT_SPRITE, resource))
        EngineCore::ThrowEngineErrorF(kSource, 440, "Resource (%s) not found.", name.c_str());
    const auto* other = dynamic_cast<const EngineCore::Sprite*>(resource.get());
    if (!other)
        EngineCore::ThrowEngineErrorF(kSource, 440, "Resource (%s) not found.", name.c_str());
    CRect own;
    CRect theirs;
    const SpriteAccess access;
    if (!GetRect(&sprite, own) || !GetRect(other, theirs))
        EngineCore::ThrowEngineError(kSource, 447, "Internal error.");
    PushTruth(L, Intersects(own, theirs));
    return 1;
}

void SpriteWrapper::StoreAlpha()
{
    if (_isAlphaStored)
        return;
    const SpriteAccess access;
    EngineCore::Texture& texture = BaseTexture();
    const SpriteRect rect = RectOf(*_sprite);
    const int64_t width = StoredWidth(rect, texture.GetWidth());
    _storedAlpha.assign(static_cast<size_t>(width * StoredHeight(rect, texture.GetHeight())), 0);
    const TexelRect part = Clip(rect, texture, INT64_MAX, INT64_MAX);
    if (!part.Empty()) {
        TextureLock lock(texture, 0, 0, texture.GetWidth(), texture.GetHeight(), true);
        if (!lock.Pixels())
            ThrowLockError(texture);
        const uint32_t* texels = lock.Pixels();
        for (int64_t y = part.y0; y < part.y1; ++y)
            for (int64_t x = part.x0; x < part.x1; ++x)
                _storedAlpha[static_cast<size_t>((y - rect.y) * width + (x - rect.x))] =
                    static_cast<unsigned char>(texels[y * texture.GetWidth() + x] >> 24);
    }
    _isAlphaStored = true;
}

void SpriteWrapper::RestoreAlpha()
{
    if (!_sprite || !_isAlphaStored || !_isAlphaMaskApplied)
        return;
    const SpriteAccess access;
    EngineCore::Texture& texture = BaseTexture();
    const SpriteRect rect = RectOf(*_sprite);
    const int64_t width = StoredWidth(rect, texture.GetWidth());
    // A rectangle of another size than the saved one gets nothing back.
    if (static_cast<int64_t>(_storedAlpha.size()) != width * StoredHeight(rect, texture.GetHeight()))
        return;
    const TexelRect part = Clip(rect, texture, INT64_MAX, INT64_MAX);
    if (!part.Empty()) {
        TextureLock lock(texture, 0, 0, texture.GetWidth(), texture.GetHeight(), false);
        if (!lock.Pixels())
            ThrowLockError(texture);
        auto* texels = reinterpret_cast<unsigned char*>(lock.Pixels());
        for (int64_t y = part.y0; y < part.y1; ++y)
            for (int64_t x = part.x0; x < part.x1; ++x)
                texels[(y * texture.GetWidth() + x) * 4 + 3] =
                    _storedAlpha[static_cast<size_t>((y - rect.y) * width + (x - rect.x))];
    }
    _isAlphaMaskApplied = false;
}

int SpriteWrapper::RestoreAlpha(lua_State*)
{
    RestoreAlpha();
    return 0;
}

int SpriteWrapper::ApplyAlphaMask(lua_State* L)
{
    AttachedSprite();
    StoreAlpha();
    const std::string name = CheckString(L, 1);
    {
        const SpriteAccess access;
        BaseTexture("ApplyAlphaMask");
    }

    std::shared_ptr<FreeImageLibEx::Picture> picture;
    {
        AlphaStores& stores = Stores();
        std::lock_guard<std::mutex> guard(stores.mutex);
        auto known = stores.pictureAlpha.find(name);
        if (known != stores.pictureAlpha.end()) {
            picture = known->second.picture;
            ++known->second.count;
            _pictureAlphaNames.push_back(name);
        } else {
            picture = LoadAlphaPicture(name, kSource);
            _pictureAlphaNames.push_back(name);
            stores.pictureAlpha[name] = AlphaStores::PictureAlpha{picture, 1};
        }
    }
    // The use stays recorded when the picture is not a usable mask.
    const AlphaPictureView mask = ViewAlphaPicture(*picture, name, kSource);

    // The mask lies over the texture from its top-left texel: texel (x, y) takes mask
    // pixel (x, y). Only texels on the texture, on the mask and in the rectangle change.
    const SpriteAccess access;
    EngineCore::Texture& texture = BaseTexture("ApplyAlphaMask");
    const SpriteRect rect = RectOf(*_sprite);
    const TexelRect part = Clip(rect, texture, mask.width, mask.height);
    if (!part.Empty()) {
        TextureLock lock(texture, 0, 0, texture.GetWidth(), texture.GetHeight(), false);
        if (!lock.Pixels())
            ThrowLockError(texture);
        auto* texels = reinterpret_cast<unsigned char*>(lock.Pixels());
        for (int64_t y = part.y0; y < part.y1; ++y) {
            for (int64_t x = part.x0; x < part.x1; ++x) {
                unsigned char value = 0;
                if (!mask.AlphaAt(*picture, static_cast<int>(x), static_cast<int>(y), value))
                    EngineCore::ThrowEngineError(kSource, 520, "Internal error.");
                unsigned char& alpha = texels[(y * texture.GetWidth() + x) * 4 + 3];
                // Exactly the single-precision (a / 255) * (v / 255) * 255, truncated.
                alpha = static_cast<unsigned char>(unsigned(alpha) * value / 255u);
            }
        }
    }
    _isAlphaMaskApplied = true;
    return 0;
}

void SpriteWrapper::GiveBackTextureAlpha()
{
    if (!_sprite)
        return;
    const SpriteAccess access;
    const EngineCore::Texture* texture = _sprite->GetTextureObject();
    if (!texture)
        return;
    const std::string textureName = texture->GetName();
    const int count = GameCore::GiveBackTextureAlpha(textureName);
    if (count >= 0)
        LogAlphaUse(textureName, false, count);
}

void SpriteWrapper::GiveBackMasks()
{
    AlphaStores& stores = Stores();
    std::lock_guard<std::mutex> guard(stores.mutex);
    for (const std::string& name : _pictureAlphaNames) {
        auto known = stores.pictureAlpha.find(name);
        if (known != stores.pictureAlpha.end() && --known->second.count <= 0)
            stores.pictureAlpha.erase(known);
    }
    _pictureAlphaNames.clear();
}

int SpriteWrapper::DecrementAlphaCounter(lua_State*)
{
    GiveBackTextureAlpha();
    return 0;
}

}  // namespace GameCore
