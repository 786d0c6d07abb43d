#include "backend/Base/HGEChannel.h"

#include <string>

#include "backend/Base/ResourceLog.h"
#include "engine/Resources/Resource.h"
#include "engine/System/EngineError.h"

namespace MobrixCore {

void HGEChannelRecord::Load(const EngineCore::Resource& resource, const char* source, const char* kind,
                            DWORD (HGE::*load)(const void*, DWORD))
{
    LoadResourceFile(resource, source, 60, 66, kind, [&](const unsigned char* data, int size) {
        HGE* hge = Hge();
        const DWORD loaded = size > 0 && hge ? (hge->*load)(data, static_cast<DWORD>(size)) : 0;
        if (!loaded)
            EngineCore::ThrowEngineErrorF(source, 70, "Resource (%s) initialize error.", resource.GetName());
        handle = loaded;
    });
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
