#pragma once
// A resource held as one engine type: the shared pointer that keeps it alive and the
// object as that type for the calls, both empty or both set.

#include <memory>
#include <string>

#include "engine/Resources/Resource.h"
#include "engine/Resources/ResourceManager.h"
#include "engine/System/EngineError.h"

namespace EngineCore {

template <class T>
class HeldResource {
public:
    T* Get() const { return _object; }
    T* operator->() const { return _object; }
    T& operator*() const { return *_object; }
    explicit operator bool() const { return _object != nullptr; }
    const std::shared_ptr<Resource>& Shared() const { return _resource; }

    // The held object; throws `message` when nothing is loaded.
    T& Require(const char* source, int line, const char* message) const
    {
        if (!_object)
            ThrowEngineError(source, line, message);
        return *_object;
    }

    void Reset()
    {
        _object = nullptr;
        _resource.reset();
    }

    // Holds `resource` when it is a T and returns true; holds nothing otherwise (false
    // for anything but an empty pointer).
    bool Hold(const std::shared_ptr<Resource>& resource)
    {
        _object = dynamic_cast<T*>(resource.get());
        _resource = _object ? resource : nullptr;
        return _object || !resource;
    }

    // Takes the resource of that name from the resource manager, made and loaded on first
    // use. A name the manager holds as another type is refused like a missing one, and the
    // object keeps what it held: reading it as this type would be undefined.
    void Load(const std::string& name, Resource::ResourceType type, const char* source, int line)
    {
        std::shared_ptr<Resource> resource;
        if (!ResourceManager::Instance().GetResource(name, type, resource) || !resource ||
            resource->GetType() != type)
            ThrowEngineErrorF(source, line, "Resource (%s) not found.", name.c_str());
        T* object = dynamic_cast<T*>(resource.get());
        if (!object)
            ThrowEngineErrorF(source, line, "Resource (%s) not found.", name.c_str());
        _resource = resource;
        _object = object;
    }

private:
    T* _object = nullptr;
    std::shared_ptr<Resource> _resource;
};

}  // namespace EngineCore
