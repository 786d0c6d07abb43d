#pragma once
// The system log lines back-end resources write when they are made, loaded and freed.

#include <functional>

namespace EngineCore {
class Resource;
}

namespace MobrixCore {

// Writes `pattern` with `name` to the system log; with no system up there is no log.
void LogResource(const char* pattern, const char* name);

// The resource's name; a nameless resource throws "Resource must have name." from
// `source` at `line`.
const char* RequireName(const EngineCore::Resource& resource, const char* source, int line);

// The name a resource logs its freeing under. A nameless one throws as RequireName,
// except from a destructor, where nothing may throw: there it logs an empty name.
const char* NameForFreeLog(const EngineCore::Resource& resource, const char* source, int line,
                           bool inDestructor);

// Reads the file the resource names through `read` (the file's bytes and size), logging
// "<kind>_Load (<name>)..." before and "<kind>_Load (<name>)...ok" once the file has been
// read and let go of. Throws from `source`: "Resource must have name." at `nameLine`,
// "Resource (%s) loading error." at `fileLine` when there is no such file.
void LoadResourceFile(const EngineCore::Resource& resource, const char* source, int nameLine, int fileLine,
                      const char* kind, const std::function<void(const unsigned char*, int)>& read);

}  // namespace MobrixCore
