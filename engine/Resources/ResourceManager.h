#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace EngineCore {

class Resource;

// The one map from a name to a shared resource. The first GetResource of a name
// creates the resource through the factory and initialises it; later requests
// share it whatever type they ask for, so callers that cast must check GetType().
// Once per frame Update frees a few resources that only the manager still holds.
// Guarded by an internal lock (the loader thread and the main thread use it at
// once); the lock is not held while a resource initialises, releases or dies.
// Creation is single-flight: while one thread initialises a name, others asking
// for it wait and get the same resource, or the same failure.
class ResourceManager {
public:
    static ResourceManager& Instance();
    // Clears at exit.
    ~ResourceManager();
    ResourceManager(const ResourceManager&) = delete;
    ResourceManager& operator=(const ResourceManager&) = delete;

    // An exception from Init passes to the caller (and to every thread that waited
    // for the same name) and nothing is stored.
    bool GetResource(const std::string& name, int type, std::shared_ptr<Resource>& resource) const;
    // Names the resource and stores it, replacing any held under that name.
    // false (storing nothing) for an empty pointer.
    bool AddResource(const std::string& name, const std::shared_ptr<Resource>& resource);
    // Drops the entry under the resource's name without calling Release.
    bool RemoveResource(const std::shared_ptr<Resource>& resource);
    bool IsExist(const std::string& name) const;
    // Release on every resource in name order, then an empty map.
    void Clear();
    // Moves whenever what a name in the map gives changes: its entry replaced
    // (AddResource), removed (RemoveResource) or cleared. Update does not move it: it
    // frees only entries that nobody else holds. So a caller still holding what a name
    // gave it holds what the name gives now, as long as this has not moved.
    uint64_t GetEntryChangeCount() const;
    // Frees at most one texture and 20 other unshared resources, in name order,
    // then runs the file system's background precache step.
    void Update(float seconds);

    static constexpr int kTexturesFreedPerFrame = 1;
    static constexpr int kOthersFreedPerFrame = 20;

private:
    ResourceManager();
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace EngineCore
