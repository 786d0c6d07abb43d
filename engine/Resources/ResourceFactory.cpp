#include "engine/Resources/ResourceFactory.h"

#include <array>
#include <mutex>

#include "engine/Resources/Resource.h"

namespace EngineCore {

struct ResourceFactory::Impl {
    std::mutex mutex;
    std::array<Creator, Resource::RT_COUNT> creators;
};

namespace {
bool ValidType(int type)
{
    return type >= 0 && type < Resource::RT_COUNT;
}
}  // namespace

ResourceFactory::ResourceFactory() : _impl(new Impl) {}
ResourceFactory::~ResourceFactory() = default;

ResourceFactory& ResourceFactory::Instance()
{
    static ResourceFactory instance;
    return instance;
}

bool ResourceFactory::RegisterResourceCreator(int type, const Creator& creator)
{
    if (!ValidType(type) || !creator)
        return false;
    std::lock_guard<std::mutex> lock(_impl->mutex);
    _impl->creators[static_cast<size_t>(type)] = creator;
    return true;
}

bool ResourceFactory::UnregisterResourceCreator(int type)
{
    if (!ValidType(type))
        return false;
    Creator dropped;
    std::lock_guard<std::mutex> lock(_impl->mutex);
    Creator& slot = _impl->creators[static_cast<size_t>(type)];
    if (!slot)
        return false;
    dropped.swap(slot);
    return true;
}

bool ResourceFactory::CreateResource(int type, std::shared_ptr<Resource>& resource)
{
    if (!ValidType(type))
        return false;
    Creator creator;
    {
        std::lock_guard<std::mutex> lock(_impl->mutex);
        creator = _impl->creators[static_cast<size_t>(type)];
    }
    if (!creator)
        return false;
    // Called on a copy, without the lock: a creator may register or unregister creators.
    resource = creator();
    return true;
}

}  // namespace EngineCore
