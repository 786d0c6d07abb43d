#include "engine/Resources/ResourceManager.h"

#include <map>
#include <mutex>
#include <vector>

#include "engine/FileSystem/FileSystem.h"
#include "engine/Resources/Resource.h"
#include "engine/Resources/ResourceFactory.h"

namespace EngineCore {

using ResourceMap = std::map<std::string, std::shared_ptr<Resource>>;

struct ResourceManager::Impl {
    mutable std::recursive_mutex mutex;
    ResourceMap resources;
};

ResourceManager::ResourceManager() : _impl(new Impl)
{
    // Made first, so they are destroyed after this manager's exit-time Clear.
    FileSystem::Instance();
    ResourceFactory::Instance();
}

ResourceManager::~ResourceManager()
{
    Clear();
}

ResourceManager& ResourceManager::Instance()
{
    static ResourceManager instance;
    return instance;
}

bool ResourceManager::GetResource(const std::string& name, int type, std::shared_ptr<Resource>& resource) const
{
    {
        std::lock_guard<std::recursive_mutex> lock(_impl->mutex);
        auto it = _impl->resources.find(name);
        if (it != _impl->resources.end()) {
            resource = it->second;
            return true;
        }
    }
    std::shared_ptr<Resource> created;
    if (!ResourceFactory::Instance().CreateResource(type, created) || !created)
        return false;
    created->SetName(name);
    created->Init();
    std::lock_guard<std::recursive_mutex> lock(_impl->mutex);
    // Another thread may have made the same name meanwhile: everyone shares the stored one.
    auto stored = _impl->resources.emplace(name, created);
    resource = stored.first->second;
    return true;
}

bool ResourceManager::AddResource(const std::string& name, const std::shared_ptr<Resource>& resource)
{
    if (!resource)
        return false;
    std::shared_ptr<Resource> replaced;  // dies after the lock is left
    resource->SetName(name);
    std::lock_guard<std::recursive_mutex> lock(_impl->mutex);
    std::shared_ptr<Resource>& slot = _impl->resources[name];
    replaced.swap(slot);
    slot = resource;
    return true;
}

bool ResourceManager::RemoveResource(const std::shared_ptr<Resource>& resource)
{
    if (!resource)
        return false;
    std::shared_ptr<Resource> removed;
    std::lock_guard<std::recursive_mutex> lock(_impl->mutex);
    auto it = _impl->resources.find(resource->GetName());
    if (it == _impl->resources.end())
        return false;
    removed.swap(it->second);
    _impl->resources.erase(it);
    return true;
}

bool ResourceManager::IsExist(const std::string& name) const
{
    std::lock_guard<std::recursive_mutex> lock(_impl->mutex);
    return _impl->resources.count(name) != 0;
}

void ResourceManager::Clear()
{
    // Swapped out first: a Release or destructor that reaches the manager sees a
    // consistent (empty) map instead of one being walked.
    ResourceMap resources;
    {
        std::lock_guard<std::recursive_mutex> lock(_impl->mutex);
        resources.swap(_impl->resources);
    }
    for (auto& entry : resources)
        entry.second->Release();
    resources.clear();
    FileSystem::Instance().DropPrecachedResources();
}

void ResourceManager::Update(float seconds)
{
    std::vector<std::shared_ptr<Resource>> freed;
    {
        std::lock_guard<std::recursive_mutex> lock(_impl->mutex);
        std::vector<ResourceMap::iterator> taken;
        int textures = 0;
        int others = 0;
        for (auto it = _impl->resources.begin(); it != _impl->resources.end(); ++it) {
            if (it->second.use_count() != 1)
                continue;
            int& count = it->second->GetType() == Resource::RT_TEXTURE ? textures : others;
            const int limit = it->second->GetType() == Resource::RT_TEXTURE ? kTexturesFreedPerFrame
                                                                            : kOthersFreedPerFrame;
            // The walk ends at the first candidate over either limit.
            if (count == limit)
                break;
            ++count;
            taken.push_back(it);
        }
        for (auto it : taken) {
            freed.push_back(std::move(it->second));
            _impl->resources.erase(it);
        }
    }
    // Destructors run here, outside the lock: they may reach the manager again.
    freed.clear();
    FileSystem::Instance().Update(seconds);
}

}  // namespace EngineCore
