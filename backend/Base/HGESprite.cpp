#include "backend/Base/HGESprite.h"

#include "backend/Base/HGESystemObject.h"
#include "backend/Base/ResourceLog.h"
#include "backend/Base/HGETexture.h"
#include "backend/Helpers/hgeSprite.h"
#include "engine/System/EngineError.h"

namespace MobrixCore {

namespace {

const char* const kSource = "Base\\HGESprite.cpp";
const int kTextureType = 3;

}  // namespace

HGESprite::HGESprite() : _texture(nullptr), _helper(nullptr) {}

HGESprite::~HGESprite()
{
    FreeHelper(true);
    delete _helper;
    _helper = nullptr;
}

std::shared_ptr<EngineCore::Resource> HGESprite::Create()
{
    return std::shared_ptr<EngineCore::Resource>(new HGESprite);
}

void HGESprite::RequireValid(int line) const
{
    if (!_helper)
        EngineCore::ThrowEngineError(kSource, line, "Resource is not valid.");
}

void HGESprite::Init()
{
    Release();
    HGESystemObject::Instance()->System_Log("Sprite_Create (%s)...ok", RequireName(*this, kSource, 45));
    hgeSprite* helper = new hgeSprite(0, 0.0f, 0.0f, 0.0f, 0.0f);
    delete _helper;
    _helper = helper;
}

void HGESprite::Release()
{
    FreeHelper(false);
}

void HGESprite::FreeHelper(bool inDestructor)
{
    if (!_texture && !_helper)
        return;
    EngineCore::Sprite::Release();
    delete _helper;
    _helper = nullptr;
    _texture = nullptr;
    LogResource("Sprite_Free (%s)...ok", NameForFreeLog(*this, kSource, 70, inDestructor));
}

bool HGESprite::SetTexture(const std::shared_ptr<EngineCore::Resource>& texture)
{
    if (!EngineCore::Sprite::SetTexture(texture))
        return false;
    if (!texture || texture->GetType() != kTextureType)
        return false;
    // Before Init there is no quad to give the texture to.
    if (!_helper)
        return false;
    _texture = static_cast<HGETexture*>(texture.get());
    _helper->SetTexture(_texture->GetHandle());
    return true;
}

void HGESprite::SetTextureRect(float x, float y, float width, float height)
{
    EngineCore::Sprite::SetTextureRect(x, y, width, height);
    RequireValid(98);
    _helper->SetTextureRect(x, y, width, height, true);
}

void HGESprite::SetHotSpot(float x, float y)
{
    RequireValid(105);
    EngineCore::Sprite::SetHotSpot(x, y);
    _helper->SetHotSpot(x, y);
}

void HGESprite::SetBlendMode(BlendMode mode)
{
    RequireValid(112);
    EngineCore::Sprite::SetBlendMode(mode);
    _helper->SetBlendMode(static_cast<int>(mode));
}

void HGESprite::SetFlipVertical(bool flip)
{
    RequireValid(119);
    EngineCore::Sprite::SetFlipVertical(flip);
    _helper->SetFlip(IsFlipHorizontal(), flip, true);
}

void HGESprite::SetFlipHorizontal(bool flip)
{
    RequireValid(126);
    EngineCore::Sprite::SetFlipHorizontal(flip);
    _helper->SetFlip(flip, IsFlipVertical(), true);
}

void HGESprite::SetColor(uint32_t argb)
{
    RequireValid(133);
    EngineCore::Sprite::SetColor(argb);
    _helper->SetColor(argb, -1);
}

void HGESprite::Render()
{
    RequireValid(140);
    if (!IsVisible())
        return;
    const float x = GetPositionX();
    const float y = GetPositionY();
    const float rotation = GetRotation();
    const float vscale = GetVerticalScale();
    const float hscale = GetHorizontalScale();
    if (hscale == 1.0f && vscale == 1.0f && rotation == 0.0f)
        _helper->Render(x, y);
    else
        _helper->RenderEx(x, y, rotation, hscale, vscale);
}

}  // namespace MobrixCore
