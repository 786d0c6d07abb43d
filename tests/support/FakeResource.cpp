#include "tests/support/FakeResource.h"

#include "engine/Resources/ResourceFactory.h"
#include "engine/System/EngineError.h"

namespace TestSupport {

FakeResource::FakeResource(ResourceType type, std::shared_ptr<ResourceLog> log) : _log(std::move(log))
{
    SetType(type);
    ++_log->created;
}

FakeResource::~FakeResource()
{
    ++_log->destroyed;
}

void FakeResource::Init()
{
    ++_log->inits;
    if (failInit && failInit(GetName()))
        EngineCore::ThrowEngineErrorF("Resources\\FakeResource.cpp", 1, "Resource (%s) data error.", GetName());
}

void FakeResource::Release()
{
    ++_log->releases;
    _log->releaseOrder.push_back(GetName());
}

FakeResourceCreator::FakeResourceCreator(EngineCore::Resource::ResourceType type, std::shared_ptr<ResourceLog> log,
                                         std::string failMark)
    : _type(type)
{
    EngineCore::ResourceFactory::Instance().RegisterResourceCreator(
        type, [type, log, failMark]() -> std::shared_ptr<EngineCore::Resource> {
            auto resource = std::make_shared<FakeResource>(type, log);
            if (!failMark.empty())
                resource->failInit = [failMark](const std::string& name) {
                    return name.find(failMark) != std::string::npos;
                };
            return resource;
        });
}

FakeResourceCreator::~FakeResourceCreator()
{
    EngineCore::ResourceFactory::Instance().UnregisterResourceCreator(_type);
}

}  // namespace TestSupport
