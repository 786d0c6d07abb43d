#include "backend/Base/HGEScreenBuffer.h"

#include <atomic>
#include <string>

#include "backend/Base/HGEEngineWrapperApplication.h"
#include "backend/Base/HGESystemObject.h"
#include "backend/Base/HGETexture.h"
#include "engine/Resources/ResourceManager.h"

namespace MobrixCore {

namespace {

// Numbers the captured textures; a failed capture uses up its number too.
std::atomic<int> g_captureCounter{0};

}  // namespace

bool HGEScreenBuffer::MakeScreenshot(const char* path)
{
    if (!HGEEngineWrapperApplication::IsMainThread())
        return false;
    HGESystemObject::Instance()->System_Snapshot(path);
    return true;
}

bool HGEScreenBuffer::GetCurrentTexture(float horizontalScale, float verticalScale,
                                        std::shared_ptr<EngineCore::Resource>& texture) const
{
    const std::string name = "HGE.ScreenBuffer" + std::to_string(g_captureCounter++);
    if (!HGEEngineWrapperApplication::IsMainThread())
        return false;
    HGEEngineWrapperApplication* app = HGEEngineWrapperApplication::Instance();
    if (!app || !app->GetRenderUpdater())
        return false;

    HGE* hge = HGESystemObject::Instance().GetObjectW();
    const float width = static_cast<float>(hge->System_GetState(HGE_SCREENWIDTH));
    const HTARGET target = hge->Target_Create(static_cast<int>(width * horizontalScale),
                                              static_cast<int>(width * verticalScale), false);
    if (!target)
        return false;
    // A scene already open (a call from inside the frame's drawing) cannot take a second one.
    if (!hge->Gfx_BeginScene(target)) {
        hge->Target_Free(target);
        return false;
    }
    hge->Gfx_Clear(0);
    hge->Gfx_SetTransform(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, horizontalScale, verticalScale);
    try {
        app->GetRenderUpdater()(0.0f);
    } catch (...) {
        // The error goes on to the script call; the target scene must not stay open.
        hge->Gfx_EndScene();
        hge->Target_Free(target);
        throw;
    }
    hge->Gfx_EndScene();

    const HTEXTURE handle = hge->Target_TakeTexture(target);
    hge->Target_Free(target);
    if (!handle)
        return false;

    std::shared_ptr<HGETexture> captured = std::make_shared<HGETexture>();
    captured->Init(handle);
    if (!EngineCore::ResourceManager::Instance().AddResource(name.c_str(), captured))
        return false;
    texture = captured;
    return true;
}

}  // namespace MobrixCore
