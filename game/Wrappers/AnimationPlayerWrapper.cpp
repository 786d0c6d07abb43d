#include "game/Wrappers/AnimationPlayerWrapper.h"

#include <lua.hpp>

#include "engine/Animation/AnimationPlayer.h"
#include "engine/Animation/AnimationSystem.h"
#include "engine/Resources/Resource.h"
#include "engine/Resources/ResourceManager.h"
#include "engine/System/EngineError.h"
#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

namespace {
const char* const kSource = "Wrappers\\AnimationPlayerWrapper.cpp";
const int kSpriteType = 2;
const int kAnimationType = 9;
}  // namespace

const char AnimationPlayerWrapper::className[] = "AnimationPlayer";

const GameLuaScriptImpl::LuaHelper<AnimationPlayerWrapper>::RegType AnimationPlayerWrapper::methods[] = {
    {"Play", &AnimationPlayerWrapper::Play},
    {"Stop", &AnimationPlayerWrapper::Stop},
    {"Pause", &AnimationPlayerWrapper::Pause},
    {"Update", &AnimationPlayerWrapper::Update},
    {"UpdateForce", &AnimationPlayerWrapper::UpdateForce},
    {"SetName", &AnimationPlayerWrapper::SetName},
    {"SetSprite", &AnimationPlayerWrapper::SetSprite},
    {"GetSprite", &AnimationPlayerWrapper::GetSprite},
    {"SetAnimation", &AnimationPlayerWrapper::SetAnimation},
    {"SetNumFrames", &AnimationPlayerWrapper::SetNumFrames},
    {"SetStartFrame", &AnimationPlayerWrapper::SetStartFrame},
    {"SetAnimationType", &AnimationPlayerWrapper::SetAnimationType},
    {"SetAnimationSpeed", &AnimationPlayerWrapper::SetAnimationSpeed},
    {"SetAnimationFrame", &AnimationPlayerWrapper::SetAnimationFrame},
    {"GetAnimationLength", &AnimationPlayerWrapper::GetAnimationLength},
    {"SetPositionOffset", &AnimationPlayerWrapper::SetPositionOffset},
    {"SetEndAnimationCallback", &AnimationPlayerWrapper::SetEndAnimationCallback},
    {"GetCurrentAnimationTime", &AnimationPlayerWrapper::GetCurrentAnimationTime},
    {nullptr, nullptr},
};

AnimationPlayerWrapper::AnimationPlayerWrapper(lua_State*) : _endCallbackText(std::make_shared<std::string>()) {}

AnimationPlayerWrapper::~AnimationPlayerWrapper() = default;

EngineCore::AnimationPlayer& AnimationPlayerWrapper::Player(const char* method) const
{
    if (!_player)
        EngineCore::ThrowEngineErrorF(
            kSource, 52, "[AnimationPlayerWrapper::%s] Animation player is not initialized. First call - SetName().",
            method);
    return *_player;
}

int AnimationPlayerWrapper::Play(lua_State*)
{
    Player("Play").Play();
    return 0;
}

int AnimationPlayerWrapper::Stop(lua_State*)
{
    Player("Stop").Stop();
    return 0;
}

int AnimationPlayerWrapper::Pause(lua_State*)
{
    Player("Pause").Pause();
    return 0;
}

int AnimationPlayerWrapper::Update(lua_State* L)
{
    EngineCore::AnimationPlayer& player = Player("Update");
    player.Update(CheckFloat(L, 1), false);
    return 0;
}

int AnimationPlayerWrapper::UpdateForce(lua_State* L)
{
    EngineCore::AnimationPlayer& player = Player("UpdateForce");
    player.Update(CheckFloat(L, 1), true);
    return 0;
}

int AnimationPlayerWrapper::SetName(lua_State* L)
{
    const std::string name = CheckString(L, 1);
    std::shared_ptr<EngineCore::AnimationPlayer> player;
    if (!EngineCore::AnimationSystem::Instance().CreateAnimationPlayer(name, player))
        EngineCore::ThrowEngineError(kSource, 101, "Internal error.");
    _player = player;
    return 0;
}

int AnimationPlayerWrapper::SetSprite(lua_State* L)
{
    EngineCore::AnimationPlayer& player = Player("SetSprite");
    const std::string name = CheckString(L, 1);
    std::shared_ptr<EngineCore::Resource> sprite;
    if (!name.empty() && !EngineCore::ResourceManager::Instance().GetResource(name, kSpriteType, sprite))
        EngineCore::ThrowEngineErrorF(kSource, 114, "Resource (%s) not found.", name.c_str());
    player.SetSprite(sprite);
    return 0;
}

int AnimationPlayerWrapper::GetSprite(lua_State* L)
{
    const std::shared_ptr<EngineCore::Resource>& sprite = Player("GetSprite").GetSprite();
    if (sprite)
        lua_pushstring(L, sprite->GetName());
    else
        lua_pushnil(L);
    return 1;
}

int AnimationPlayerWrapper::SetAnimation(lua_State* L)
{
    EngineCore::AnimationPlayer& player = Player("SetAnimation");
    const std::string name = CheckString(L, 1);
    std::shared_ptr<EngineCore::Resource> animation;
    if (!EngineCore::ResourceManager::Instance().GetResource(name, kAnimationType, animation))
        EngineCore::ThrowEngineErrorF(kSource, 136, "Resource (%s) not found.", name.c_str());
    player.SetAnimation(animation);
    return 0;
}

int AnimationPlayerWrapper::SetNumFrames(lua_State* L)
{
    EngineCore::AnimationPlayer& player = Player("SetNumFrames");
    player.SetNumAnimatedFrames(CheckUint32(L, 1));
    return 0;
}

int AnimationPlayerWrapper::SetStartFrame(lua_State* L)
{
    EngineCore::AnimationPlayer& player = Player("SetStartFrame");
    player.SetStartAnimationFrame(CheckUint32(L, 1));
    return 0;
}

int AnimationPlayerWrapper::SetAnimationType(lua_State* L)
{
    EngineCore::AnimationPlayer& player = Player("SetAnimationType");
    player.SetAnimationType(
        static_cast<EngineCore::AnimationPlayer::AnimationType>(CheckInt32(L, 1)));
    return 0;
}

int AnimationPlayerWrapper::SetAnimationSpeed(lua_State* L)
{
    EngineCore::AnimationPlayer& player = Player("SetAnimationSpeed");
    player.SetAnimationSpeed(CheckFloat(L, 1));
    return 0;
}

// Frames count 30 per second here.
int AnimationPlayerWrapper::SetAnimationFrame(lua_State* L)
{
    EngineCore::AnimationPlayer& player = Player("SetAnimationFrame");
    const uint32_t frame = CheckUint32(L, 1);
    player.SetPosition(static_cast<float>(frame / 30.0));
    return 0;
}

int AnimationPlayerWrapper::GetAnimationLength(lua_State* L)
{
    lua_pushnumber(L, Player("GetAnimationLength").GetAnimationLength());
    return 1;
}

int AnimationPlayerWrapper::SetPositionOffset(lua_State* L)
{
    EngineCore::AnimationPlayer& player = Player("SetPositionOffset");
    const float x = CheckFloat(L, 1);
    const float y = CheckFloat(L, 2);
    player.SetPositionOffset(x, y);
    return 0;
}

int AnimationPlayerWrapper::SetEndAnimationCallback(lua_State* L)
{
    EngineCore::AnimationPlayer& player = Player("SetEndAnimationCallback");
    *_endCallbackText = CheckString(L, 1);
    if (_endCallbackText->empty()) {
        player.SetEndAnimationCallback(std::function<void(void*)>(), nullptr);
        return 0;
    }
    std::shared_ptr<const std::string> text = _endCallbackText;
    const StateCallback owner = _owner;
    player.SetEndAnimationCallback([owner, text](void* user) { EndAnimationCallback(owner, text, user); },
                                   nullptr);
    return 0;
}

int AnimationPlayerWrapper::GetCurrentAnimationTime(lua_State* L)
{
    lua_pushnumber(L, Player("GetCurrentAnimationTime").GetAnimationTime());
    return 1;
}

void AnimationPlayerWrapper::EndAnimationCallback(const StateCallback& owner,
                                                  const std::shared_ptr<const std::string>& text, void*)
{
    if (text->empty() || (*text)[0] != '#')
        return;
    // The script may replace the text or free its owner: run a copy.
    const std::string code = text->substr(1);
    owner.Run(code);
}

}  // namespace GameCore
