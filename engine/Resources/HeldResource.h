#pragma once
// The resource a script object drives: a raw pointer of the class's own engine type for the
// calls (null until a load succeeds) and the shared pointer that keeps it alive.

#include <memory>
#include <string>

#include "engine/Resources/Resource.h"
#include "engine/Resources/ResourceManager.h"
#include "engine/System/EngineError.h"

namespace GameCore {

template <class T>
class HeldResource {
public:
    T* Get() const { return _object; }
    const std::shared_ptr<EngineCore::Resource>& Shared() const { return _resource; }

    // The held object; throws `message` when nothing is loaded.
    T& Require(const char* source, int line, const char* message) const
    {
        if (!_object)
            EngineCore::ThrowEngineError(source, line, message);
        return *_object;
    }

    // Takes the resource of that name from the resource manager, made and loaded on first
    // use. A name the manager holds as another type is refused like a missing one, and the
    // object keeps what it held: reading it as this type would be undefined.
    void Load(const std::string& name, EngineCore::Resource::ResourceType type, const char* source, int line)
    {
        std::shared_ptr<EngineCore::Resource> resource;
        if (!EngineCore::ResourceManager::Instance().GetResource(name, type, resource) || !resource ||
            resource->GetType() != type)
            EngineCore::ThrowEngineErrorF(source, line, "Resource (%s) not found.", name.c_str());
        T* object = dynamic_cast<T*>(resource.get());
        if (!object)
            EngineCore::ThrowEngineErrorF(source, line, "Resource (%s) not found.", name.c_str());
        _resource = resource;
        _object = object;
    }

private:
    T* _object = nullptr;
    std::shared_ptr<EngineCore::Resource> _resource;
};

}  // namespace GameCore
