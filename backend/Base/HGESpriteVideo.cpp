#include "backend/Base/HGESpriteVideo.h"

#include "backend/Base/HGESystemObject.h"
#include "backend/Base/ResourceLog.h"
#include "backend/Helpers/hgeSprite.h"
#include "backend/Video/VideoPlayer.h"
#include "engine/Renderer/RenderSystem.h"
#include "engine/System/EngineError.h"

namespace MobrixCore {

namespace {

const char* const kSource = "Base\\HGESpriteVideo.cpp";

}  // namespace

HGESpriteVideo::HGESpriteVideo() = default;

HGESpriteVideo::~HGESpriteVideo()
{
    FreeHelper(true);
    delete _helper;
    _helper = nullptr;
    delete _player;
    _player = nullptr;
}

std::shared_ptr<EngineCore::Resource> HGESpriteVideo::Create()
{
    return std::shared_ptr<EngineCore::Resource>(new HGESpriteVideo);
}

void HGESpriteVideo::Init()
{
    Release();
    HGESystemObject::Instance()->System_Log("Sprite_Create (%s)...ok", RequireName(*this, kSource, 38));
    hgeSprite* helper = new hgeSprite(0, 0.0f, 0.0f, 0.0f, 0.0f);
    delete _helper;
    _helper = helper;
    delete _player;
    _player = new VideoPlayer;
}

void HGESpriteVideo::Release()
{
    FreeHelper(false);
}

void HGESpriteVideo::FreeHelper(bool inDestructor)
{
    if (!_helper)
        return;
    EngineCore::Sprite::Release();
    delete _helper;
    _helper = nullptr;
    delete _player;
    _player = nullptr;
    LogResource("Sprite_Free (%s)...ok", NameForFreeLog(*this, kSource, 64, inDestructor));
}

bool HGESpriteVideo::HasVideo() const
{
    return _player && _player->GetTexture() != 0;
}

void HGESpriteVideo::SetVideoFile(const char* path)
{
    if (!_player)
        return;
    _videoFileName = path ? path : "";
    if (!_player->Open(_videoFileName.c_str())) {
        // The closed video's texture handle must not stay on the quad.
        _helper->SetTexture(0);
        _helper->SetTextureRect(0.0f, 0.0f, 0.0f, 0.0f, true);
        _framePeriod = 0.0f;
        EngineCore::ThrowEngineError(kSource, 86, "Video not open.");
    }
    _helper->SetTexture(_player->GetTexture());
    _helper->SetTextureRect(0.0f, 0.0f, _player->GetWidth(), _player->GetHeight(), true);
    _framePeriod = _player->GetFramePeriod();
    _elapsed = 0.0f;
    _debt = 0.0f;
    if (_fullScreen)
        FitToScreen();
}

void HGESpriteVideo::VideoReset()
{
    if (!_player)
        return;
    _player->Reset();
    _elapsed = 0.0f;
}

void HGESpriteVideo::Update(float dt)
{
    if (!IsVisible() || _paused || !HasVideo())
        return;
    _elapsed += dt;
    if (_debt >= _framePeriod) {
        _debt -= _framePeriod;
        _elapsed = 0.0f;
        VideoUpdate();
    } else if (_elapsed > _framePeriod) {
        _debt += _elapsed - _framePeriod;
        _elapsed = 0.0f;
        VideoUpdate();
    }
}

void HGESpriteVideo::VideoUpdate()
{
    if (!_player)
        return;
    _player->Step();
    if (_player->HasData())
        return;
    if (_loop)
        VideoReset();
    else
        SetVisible(false);
}

void HGESpriteVideo::SetVideoFullScreenMode(bool fullScreen)
{
    if (!_player)
        return;
    _fullScreen = fullScreen;
    // Without a video there is no size to fit; SetVideoFile fits the next one.
    if (fullScreen && HasVideo())
        FitToScreen();
}

void HGESpriteVideo::FitToScreen()
{
    const EngineCore::RenderSystem::ScreenSettings& settings =
        EngineCore::RenderSystem::Instance().GetScreenSettings();
    const float screenWidth = static_cast<float>(settings.width);
    const float screenHeight = static_cast<float>(settings.height);
    const float textureWidth = _player->GetWidth();
    const float textureHeight = _player->GetHeight();
    const float widthRatio = screenWidth / textureWidth;
    const float heightRatio = screenHeight / textureHeight;
    const float smaller = widthRatio < heightRatio ? widthRatio : heightRatio;
    float horizontalScale = smaller;
    float verticalScale = smaller;
    // Stretched to the whole area. The monitor size cancels out of the fill factors, so
    // they are taken directly (a monitor size of 0 gives no NaN).
    if (settings.stretch && !settings.windowed) {
        horizontalScale = widthRatio;
        verticalScale = heightRatio;
    }
    SetHorizontalScale(horizontalScale);
    SetVerticalScale(verticalScale);
    if (heightRatio < widthRatio)
        SetPosition((screenWidth - textureWidth * horizontalScale) * 0.5f, 0.0f);
    else
        SetPosition(0.0f, (screenHeight - textureHeight * verticalScale) * 0.5f);
    SetRotation(0.0f);
}

void HGESpriteVideo::Render()
{
    if (!_helper)
        EngineCore::ThrowEngineError(kSource, 175, "Resource is not valid.");
    if (!IsVisible() || !HasVideo())
        return;
    const float x = GetPositionX();
    const float y = GetPositionY();
    const float rotation = GetRotation();
    const float verticalScale = GetVerticalScale();
    const float horizontalScale = GetHorizontalScale();
    if (horizontalScale == 1.0f && verticalScale == 1.0f && rotation == 0.0f)
        _helper->Render(x, y);
    else
        _helper->RenderEx(x, y, rotation, horizontalScale, verticalScale);
}

}  // namespace MobrixCore
