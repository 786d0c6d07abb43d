#pragma once
#include <functional>
#include <memory>

namespace EngineCore {

class Resource;

// One creator per resource type (1 to 12), registered by the back-end while it is open.
class ResourceFactory {
public:
    using Creator = std::function<std::shared_ptr<Resource>()>;

    static ResourceFactory& Instance();
    ~ResourceFactory();
    ResourceFactory(const ResourceFactory&) = delete;
    ResourceFactory& operator=(const ResourceFactory&) = delete;

    // false, keeping the previous creator, for an empty function or a type outside 0-12.
    bool RegisterResourceCreator(int type, const Creator& creator);
    // false for a type outside 0-12 or a slot without a creator.
    bool UnregisterResourceCreator(int type);

protected:
    friend class ResourceManager;
    // false for a type outside 0-12 or without a creator; otherwise the creator's result.
    bool CreateResource(int type, std::shared_ptr<Resource>& resource);

private:
    ResourceFactory();
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace EngineCore
