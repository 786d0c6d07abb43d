#pragma once
#include <string>

namespace EngineCore {

class Resource {
public:
    enum ResourceType : int {
        RT_UNSET = 0, RT_FONT, RT_SPRITE, RT_TEXTURE, RT_SPRITE_GROUP, RT_DISTORTION_MESH, RT_SOUND,
        RT_SOUND_STREAM, RT_TRACK, RT_ANIMATION, RT_CURSOR, RT_PARTICLE_SYSTEM, RT_VIDEO_SPRITE, RT_COUNT
    };
    Resource() = default;
    virtual ~Resource() = default;
    virtual bool IsValid() const = 0;
    ResourceType GetType() const { return _type; }
    const char* GetName() const { return _name.c_str(); }
    virtual void Init() {}
    virtual void Release() {}
protected:
    void SetType(ResourceType t) { _type = t; }
public:
    void SetName(const std::string& n) { _name = n; }
private:
    ResourceType _type = RT_UNSET;
    std::string _name;
};

}  // namespace EngineCore
