#pragma once
#include <cstdint>
#include <string>

namespace EngineCore {

// A named game object. Each concrete class sets its own type in its constructor;
// the resource manager names it and calls Init once. Resources are always held
// through std::shared_ptr<Resource>.
class Resource {
public:
    enum ResourceType : int32_t {
        RT_UNSET = 0,
        RT_FONT = 1,
        RT_SPRITE = 2,
        RT_TEXTURE = 3,
        RT_SPRITE_GROUP = 4,
        RT_DISTORTION_MESH = 5,
        RT_SOUND = 6,
        RT_SOUND_STREAM = 7,
        RT_MUSIC_TRACK = 8,
        RT_ANIMATION = 9,
        RT_CURSOR = 10,
        RT_PARTICLE_SYSTEM = 11,
        RT_VIDEO_SPRITE = 12,
        // Size of the creator table; refused wherever a type is passed.
        RT_COUNT = 13
    };

    Resource() = default;
    Resource(const Resource&) = default;
    Resource& operator=(const Resource&) = default;
    virtual ~Resource();

    virtual bool IsValid() const = 0;

    ResourceType GetType() const { return _type; }
    const char* GetName() const { return _name.c_str(); }

protected:
    friend class ResourceManager;

    // Loads the resource; failures throw the engine error text.
    virtual void Init();
    // Frees what Init made; called by ResourceManager::Clear, not by the destructor.
    virtual void Release();

    void SetType(ResourceType type) { _type = type; }
    void SetName(const std::string& name) { _name = name; }

private:
    ResourceType _type = RT_UNSET;
    std::string _name;
};

}  // namespace EngineCore
