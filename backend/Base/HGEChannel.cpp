#include "backend/Base/HGEChannel.h"

#include <memory>
#include <string>

#include "engine/FileSystem/FileSystem.h"
#include "engine/System/EngineError.h"

namespace MobrixCore {

void HGEChannelRecord::Load(const char* resourceName, const char* source, const char* kind,
                            DWORD (HGE::*load)(const void*, DWORD))
{
    const std::string name = resourceName;
    if (name.empty())
        EngineCore::ThrowEngineError(source, 60, "Resource must have name.");
    HGE* hge = Hge();
    const std::string loading = std::string(kind) + "_Load (%s)...";
    hge->System_Log(loading.c_str(), name.c_str());

    std::shared_ptr<EngineCore::CachedFile> file;
    if (!EngineCore::FileSystem::Instance().GetFile(name.c_str(), file) || !file)
        EngineCore::ThrowEngineErrorF(source, 66, "Resource (%s) loading error.", name.c_str());
    const DWORD loaded = file->GetSize() > 0 ? (hge->*load)(file->GetData(), static_cast<DWORD>(file->GetSize())) : 0;
    if (!loaded)
        EngineCore::ThrowEngineErrorF(source, 70, "Resource (%s) initialize error.", name.c_str());
    handle = loaded;
    hge->System_Log((loading + "ok").c_str(), name.c_str());
}

void HGEChannelRecord::Unload(const char* name, const char* kind, void (HGE::*free)(DWORD))
{
    DropChannel();
    if (!handle)
        return;
    if (HGE* hge = Hge()) {
        (hge->*free)(handle);
        hge->System_Log((std::string(kind) + "_Free (%s)...ok").c_str(), name);
    }
    handle = 0;
}

}  // namespace MobrixCore
