#include "backend/Base/ResourceLog.h"

#include "backend/Base/HGESystemObject.h"
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

}  // namespace MobrixCore
