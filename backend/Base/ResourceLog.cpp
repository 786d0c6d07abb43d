#include "backend/Base/ResourceLog.h"

#include <memory>
#include <string>

#include "backend/Base/HGESystemObject.h"
#include "engine/FileSystem/FileSystem.h"
#include "engine/FileSystem/MountedPlaces.h"
#include "engine/Resources/Resource.h"
#include "engine/System/EngineError.h"

namespace MobrixCore {

void LogResource(const char* pattern, const char* name)
{
    if (HGE* hge = HGESystemObject::Instance().GetObjectW())
        hge->System_Log(pattern, name);
}

const char* RequireName(const EngineCore::Resource& resource, const char* source, int line)
{
    const char* name = resource.GetName();
    if (!name || !*name)
        EngineCore::ThrowEngineError(source, line, "Resource must have name.");
    return name;
}

const char* NameForFreeLog(const EngineCore::Resource& resource, const char* source, int line,
                           bool inDestructor)
{
    const char* name = resource.GetName();
    if (name && *name)
        return name;
    if (!inDestructor)
        EngineCore::ThrowEngineError(source, line, "Resource must have name.");
    return "";
}

void LoadResourceFile(const EngineCore::Resource& resource, const char* source, int nameLine, int fileLine,
                      const char* kind, const std::function<void(const unsigned char*, int)>& read)
{
    const std::string name = resource.GetName();
    if (name.empty())
        EngineCore::ThrowEngineError(source, nameLine, "Resource must have name.");
    const std::string loading = std::string(kind) + "_Load (%s)...";
    LogResource(loading.c_str(), name.c_str());
    {
        std::shared_ptr<EngineCore::CachedFile> file;
        if (!EngineCore::FileSystem::Instance().GetFile(name, file) || !file) {
            EngineCore::LogWhereLookedFor(name);
            EngineCore::ThrowEngineErrorF(source, fileLine, "Resource (%s) loading error.", name.c_str());
        }
        read(file->GetData(), file->GetSize());
    }
    LogResource((loading + "ok").c_str(), name.c_str());
}

}  // namespace MobrixCore
