#include "backend/Base/HGETexture.h"

#include "backend/Base/HGESystemObject.h"
#include "backend/Base/ResourceLog.h"
#include "engine/FileSystem/FileSystem.h"
#include "engine/FileSystem/MountedPlaces.h"
#include "engine/System/EngineError.h"

namespace MobrixCore {

namespace {

const char* const kSource = "Base\\HGETexture.cpp";

}  // namespace

HGETexture::HGETexture() : _handle(0) {}

HGETexture::~HGETexture()
{
    FreeHandle(true);
}

std::shared_ptr<EngineCore::Resource> HGETexture::Create()
{
    return std::shared_ptr<EngineCore::Resource>(new HGETexture);
}

void HGETexture::Init()
{
    Release();
    const std::string name = GetName();
    if (name.empty())
        EngineCore::ThrowEngineError(kSource, 41, "Resource must have name.");

    HGE* hge = HGESystemObject::Instance().GetObjectW();
    hge->System_Log("Texture_Load (%s)...", name.c_str());

    std::shared_ptr<EngineCore::CachedFile> file;
    if (!EngineCore::FileSystem::Instance().GetFile(name.c_str(), file) || !file) {
        EngineCore::LogWhereLookedFor(name);
        EngineCore::ThrowEngineErrorF(kSource, 49, "Resource (%s) loading error.", name.c_str());
    }

    const HTEXTURE handle = file->GetSize() > 0
                                ? hge->Texture_Load(file->GetData(), file->GetSize(), false)
                                : 0;
    if (!handle)
        EngineCore::ThrowEngineErrorF(kSource, 55, "Resource (%s) initialize error.", name.c_str());
    _handle = handle;
    SetSize(static_cast<unsigned>(hge->Texture_GetWidth(handle, true)),
            static_cast<unsigned>(hge->Texture_GetHeight(handle, true)));
    hge->System_Log("Texture_Load (%s)...ok", name.c_str());
}

void HGETexture::Init(HTEXTURE handle)
{
    _handle = handle;
    HGE* hge = HGESystemObject::Instance().GetObjectW();
    SetSize(static_cast<unsigned>(hge->Texture_GetWidth(handle, true)),
            static_cast<unsigned>(hge->Texture_GetHeight(handle, true)));
}

void HGETexture::Release()
{
    FreeHandle(false);
}

void HGETexture::FreeHandle(bool inDestructor)
{
    if (!_handle)
        return;
    HGE* hge = HGESystemObject::Instance().GetObjectW();
    if (!hge) {
        _handle = 0;
        return;
    }
    hge->Texture_Free(_handle);
    _handle = 0;
    hge->System_Log("Texture_Free (%s)...ok", NameForFreeLog(*this, kSource, 83, inDestructor));
}

bool HGETexture::Lock(unsigned x, unsigned y, unsigned width, unsigned height, bool readOnly,
                      uint32_t*& pixels)
{
    if (!IsValid())
        return false;
    HGE* hge = HGESystemObject::Instance().GetObjectW();
    pixels = hge->Texture_Lock(_handle, readOnly, static_cast<int>(x), static_cast<int>(y),
                               static_cast<int>(width), static_cast<int>(height));
    if (!pixels)
        return false;
    return EngineCore::Texture::Lock(x, y, width, height, readOnly, pixels);
}

void HGETexture::Unlock()
{
    if (!IsValid())
        return;
    HGESystemObject::Instance()->Texture_Unlock(_handle);
    EngineCore::Texture::Unlock();
}

}  // namespace MobrixCore
