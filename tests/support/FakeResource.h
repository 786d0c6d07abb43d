#pragma once
// A resource for tests of code that creates, shares and frees resources: it
// records what happened to it in shared counters and can be told to fail Init.
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/Resources/Resource.h"

namespace TestSupport {

// Counters are atomic: resources may be made and freed on several threads at once.
struct ResourceLog {
    std::atomic<int> created{0};
    std::atomic<int> inits{0};
    std::atomic<int> releases{0};
    std::atomic<int> destroyed{0};
    std::vector<std::string> releaseOrder;
};

class FakeResource : public EngineCore::Resource {
public:
    FakeResource(ResourceType type, std::shared_ptr<ResourceLog> log);
    ~FakeResource() override;

    bool IsValid() const override { return true; }

    // Init throws the engine error text when this returns true for the name.
    std::function<bool(const std::string&)> failInit;

protected:
    void Init() override;
    void Release() override;

private:
    std::shared_ptr<ResourceLog> _log;
};

// Registers a creator of FakeResources of that type with the factory for the
// lifetime of this object. Init fails for names containing failMark when it is not empty.
class FakeResourceCreator {
public:
    FakeResourceCreator(EngineCore::Resource::ResourceType type, std::shared_ptr<ResourceLog> log,
                        std::string failMark = std::string());
    ~FakeResourceCreator();
    FakeResourceCreator(const FakeResourceCreator&) = delete;
    FakeResourceCreator& operator=(const FakeResourceCreator&) = delete;

private:
    EngineCore::Resource::ResourceType _type;
};

}  // namespace TestSupport
