#pragma once
// Script class "Animation": builds a key-frame animation key by key and publishes it
// under a name in the resource manager, where players find it.

#include <memory>
#include <string>

#include "engine/Animation/AnimationKey.h"
#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"

struct lua_State;

namespace EngineCore {
class Animation;
class Resource;
}  // namespace EngineCore

namespace GameCore {

class AnimationWrapper {
public:
    static const char className[];
    static const GameLuaScriptImpl::LuaHelper<AnimationWrapper>::RegType methods[];

    explicit AnimationWrapper(lua_State* L);
    ~AnimationWrapper();

    int Clear(lua_State* L);
    int GetName(lua_State* L);
    int SetName(lua_State* L);
    int EndKey(lua_State* L);
    int BeginKey(lua_State* L);
    int AddScale(lua_State* L);
    int AddRotate(lua_State* L);
    int AddTranslate(lua_State* L);
    int AddOpacity(lua_State* L);
    int AddDiffuseColor(lua_State* L);
    int AddAnimationFrame(lua_State* L);

private:
    void CheckInitialized() const;
    // Initialised and a key open.
    void CheckKeyOpen() const;

    bool _keyOpen = false;
    float _keyTime = 0;
    std::string _name;
    // Reused for every key: flags set by one key stay on for the keys after it.
    EngineCore::AnimationKey _key;
    EngineCore::Animation* _animation = nullptr;
    std::shared_ptr<EngineCore::Resource> _resource;
};

}  // namespace GameCore
