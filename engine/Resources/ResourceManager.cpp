#include "engine/Resources/ResourceManager.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "engine/FileSystem/FileSystem.h"
#include "engine/Resources/Resource.h"
#include "engine/Resources/ResourceFactory.h"

namespace EngineCore {

using ResourceMap = std::map<std::string, std::shared_ptr<Resource>>;

// A name being made: the one thread that runs its Init fills this in, the others
// asking for the name meanwhile wait for it and share the result, failure included.
struct Creation {
    std::thread::id maker = std::this_thread::get_id();
    bool done = false;
    std::shared_ptr<Resource> resource;  // empty when the factory made nothing
    // A failed Init: waiters throw a copy of its text. The exception itself is not
    // shared: an exception object reached from several threads is freed by whichever
    // lets go last, which is no concern of the thread that made it.
    bool failed = false;
    std::string error;
};

struct ResourceManager::Impl {
    mutable std::recursive_mutex mutex;
    // Signalled whenever a creation ends.
    mutable std::condition_variable_any created;
    ResourceMap resources;
    mutable std::map<std::string, std::shared_ptr<Creation>> creating;
    // Moved under the lock; read without it.
    std::atomic<uint64_t> entryChanges{0};
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
    std::shared_ptr<Creation> creation;
    {
        std::unique_lock<std::recursive_mutex> lock(_impl->mutex);
        for (;;) {
            auto it = _impl->resources.find(name);
            if (it != _impl->resources.end()) {
                resource = it->second;
                return true;
            }
            auto making = _impl->creating.find(name);
            if (making == _impl->creating.end())
                break;
            const std::shared_ptr<Creation> other = making->second;
            // A resource whose Init asks for its own name cannot wait for itself: it
            // makes a second copy, as a manager without this bookkeeping would.
            if (other->maker == std::this_thread::get_id())
                break;
            _impl->created.wait(lock, [&] { return other->done; });
            if (other->failed)
                throw std::runtime_error(other->error);
            if (!other->resource)
                return false;
            // Stored by its maker unless dropped meanwhile: look again.
        }
        if (!_impl->creating.count(name)) {
            creation = std::make_shared<Creation>();
            _impl->creating.emplace(name, creation);
        }
    }

    // Whatever happens below, the waiters are told and the name is free again.
    struct Finish {
        Impl& impl;
        const std::string& name;
        const std::shared_ptr<Creation>& creation;
        ~Finish()
        {
            if (!creation)
                return;
            std::lock_guard<std::recursive_mutex> lock(impl.mutex);
            creation->done = true;
            impl.creating.erase(name);
            impl.created.notify_all();
        }
    } finish{*_impl, name, creation};

    std::shared_ptr<Resource> created;
    try {
        if (!ResourceFactory::Instance().CreateResource(type, created) || !created)
            return false;
        created->SetName(name);
        created->Init();
    } catch (const std::exception& e) {
        if (creation) {
            creation->failed = true;
            creation->error = e.what();
        }
        throw;
    } catch (...) {
        if (creation) {
            creation->failed = true;
            creation->error = "Unknown exception";
        }
        throw;
    }

    std::shared_ptr<Resource> lost;  // released and destroyed after the lock is left
    {
        std::lock_guard<std::recursive_mutex> lock(_impl->mutex);
        // Only a resource added under the name meanwhile (AddResource, or a copy made by
        // a nested request) can be there: everyone shares the stored one.
        auto stored = _impl->resources.emplace(name, created);
        resource = stored.first->second;
        if (!stored.second)
            lost = created;
        if (creation)
            creation->resource = resource;
    }
    // The copy that is not kept still ran Init: it is released like any other.
    if (lost)
        lost->Release();
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
    if (replaced)
        ++_impl->entryChanges;
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
    ++_impl->entryChanges;
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
        ++_impl->entryChanges;
    }
    for (auto& entry : resources)
        entry.second->Release();
    resources.clear();
    FileSystem::Instance().DropPrecachedResources();
}

uint64_t ResourceManager::GetEntryChangeCount() const
{
    return _impl->entryChanges.load();
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
