#include "game/Wrappers/AnimationWrapper.h"

#include <cmath>

#include <lua.hpp>

#include "engine/Animation/Animation.h"
#include "engine/Resources/ResourceManager.h"
#include "engine/System/EngineError.h"
#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

namespace {
const char* const kSource = "Wrappers\\AnimationWrapper.cpp";
}

const char AnimationWrapper::className[] = "Animation";

const GameLuaScriptImpl::LuaHelper<AnimationWrapper>::RegType AnimationWrapper::methods[] = {
    {"Clear", &AnimationWrapper::Clear},
    {"GetName", &AnimationWrapper::GetName},
    {"SetName", &AnimationWrapper::SetName},
    {"EndKey", &AnimationWrapper::EndKey},
    {"BeginKey", &AnimationWrapper::BeginKey},
    {"AddScale", &AnimationWrapper::AddScale},
    {"AddRotate", &AnimationWrapper::AddRotate},
    {"AddTranslate", &AnimationWrapper::AddTranslate},
    {"AddOpacity", &AnimationWrapper::AddOpacity},
    {"AddDiffuseColor", &AnimationWrapper::AddDiffuseColor},
    {"AddAnimationFrame", &AnimationWrapper::AddAnimationFrame},
    {nullptr, nullptr},
};

AnimationWrapper::AnimationWrapper(lua_State*) {}

AnimationWrapper::~AnimationWrapper() = default;

void AnimationWrapper::CheckInitialized() const
{
    if (!_animation)
        EngineCore::ThrowEngineError(kSource, 41, "Animation is not initialized. First call - SetName().");
}

void AnimationWrapper::CheckKeyOpen() const
{
    CheckInitialized();
    if (!_keyOpen)
        EngineCore::ThrowEngineError(kSource, 49, "Animation key is not started. First call BeginKey().");
}

int AnimationWrapper::Clear(lua_State*)
{
    CheckInitialized();
    _animation->Clear();
    return 0;
}

int AnimationWrapper::GetName(lua_State* L)
{
    lua_pushstring(L, _name.c_str());
    return 1;
}

int AnimationWrapper::SetName(lua_State* L)
{
    _animation = nullptr;
    auto animation = std::make_shared<EngineCore::Animation>();
    _resource = animation;
    _name = CheckString(L, 1);
    if (!EngineCore::ResourceManager::Instance().AddResource(_name, _resource))
        EngineCore::ThrowEngineErrorF(kSource, 78, "Resource (%s) creating error.", _name.c_str());
    _animation = animation.get();
    return 0;
}

int AnimationWrapper::EndKey(lua_State*)
{
    CheckKeyOpen();
    _keyOpen = false;
    _animation->AddAnimationKey(_key, _keyTime);
    return 0;
}

int AnimationWrapper::BeginKey(lua_State* L)
{
    CheckInitialized();
    if (_keyOpen)
        EngineCore::ThrowEngineError(kSource, 96, "Animation key is started. First call EndKey().");
    _key.Reset();
    _keyOpen = true;
    _keyTime = CheckFloat(L, 1);
    return 0;
}

int AnimationWrapper::AddScale(lua_State* L)
{
    CheckKeyOpen();
    EngineCore::D3DXVECTOR3 scale;
    scale.x = CheckFloat(L, 1);
    scale.y = CheckFloat(L, 2);
    scale.z = 1.0f;
    _key.SetScale(scale);
    return 0;
}

int AnimationWrapper::AddRotate(lua_State* L)
{
    CheckKeyOpen();
    const float a = DegreesToRadians(CheckFloat(L, 1));
    EngineCore::D3DXQUATERNION rotation;
    rotation.x = 0;
    rotation.y = 0;
    rotation.z = std::sin(a / 2.0f);
    rotation.w = std::cos(a / 2.0f);
    _key.SetRotation(rotation);
    return 0;
}

int AnimationWrapper::AddTranslate(lua_State* L)
{
    CheckKeyOpen();
    EngineCore::D3DXVECTOR3 translation;
    translation.x = CheckFloat(L, 1);
    translation.y = CheckFloat(L, 2);
    translation.z = 0;
    _key.SetTranslation(translation);
    return 0;
}

int AnimationWrapper::AddOpacity(lua_State* L)
{
    CheckKeyOpen();
    _key.SetOpacity(CheckFloat(L, 1));
    return 0;
}

int AnimationWrapper::AddDiffuseColor(lua_State* L)
{
    CheckKeyOpen();
    EngineCore::D3DXVECTOR3 color;
    color.x = CheckFloat(L, 1);
    color.y = CheckFloat(L, 2);
    color.z = CheckFloat(L, 3);
    _key.SetDiffuseColor(color);
    return 0;
}

int AnimationWrapper::AddAnimationFrame(lua_State* L)
{
    CheckKeyOpen();
    _key.SetAnimationFrame(CheckInt32(L, 1));
    return 0;
}

}  // namespace GameCore
