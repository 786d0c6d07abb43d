#include "game/Wrappers/ActionTrackWrapper.h"

#include <lua.hpp>

#include "engine/Animation/ActionTrack.h"
#include "engine/Animation/AnimationPlayer.h"
#include "engine/Animation/AnimationSystem.h"
#include "engine/System/EngineError.h"
#include "game/Base/StateCallback.h"
#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

namespace {
const char* const kSource = "Wrappers\\ActionTrackWrapper.cpp";
}  // namespace

const char ActionTrackWrapper::className[] = "ActionTrack";

const GameLuaScriptImpl::LuaHelper<ActionTrackWrapper>::RegType ActionTrackWrapper::methods[] = {
    {"Load", &ActionTrackWrapper::Load},
    {"Play", &ActionTrackWrapper::Play},
    {"Stop", &ActionTrackWrapper::Stop},
    {"Pause", &ActionTrackWrapper::Pause},
    {"Resume", &ActionTrackWrapper::Resume},
    {"SetAnimationType", &ActionTrackWrapper::SetAnimationType},
    {"SetAnimationSpeed", &ActionTrackWrapper::SetAnimationSpeed},
    {"SetAnimationFrame", &ActionTrackWrapper::SetAnimationFrame},
    {"AddAnimationPlayer", &ActionTrackWrapper::AddAnimationPlayer},
    {nullptr, nullptr},
};

ActionTrackWrapper::ActionTrackWrapper(lua_State*) : _track(std::make_shared<EngineCore::ActionTrack>())
{
    // Keys are plain Lua (no "#"), run where the object was made.
    const StateCallback owner;
    _track->SetScriptRunner([owner](const std::string& text) {
        owner.Run(text);
        return true;
    });
}

ActionTrackWrapper::~ActionTrackWrapper() = default;

int ActionTrackWrapper::Load(lua_State* L)
{
    const std::string name = CheckString(L, 1);
    if (!_track->Load(name))
        EngineCore::ThrowEngineErrorF(kSource, 64, "Action track (%s) loading error.", name.c_str());
    return 0;
}

int ActionTrackWrapper::Play(lua_State*)
{
    _track->Play();
    return 0;
}

int ActionTrackWrapper::Stop(lua_State*)
{
    _track->Stop();
    return 0;
}

int ActionTrackWrapper::Pause(lua_State*)
{
    _track->Pause();
    return 0;
}

int ActionTrackWrapper::Resume(lua_State*)
{
    _track->Resume();
    return 0;
}

int ActionTrackWrapper::SetAnimationType(lua_State* L)
{
    _track->SetAnimationType(static_cast<EngineCore::AnimationPlayer::AnimationType>(CheckInt32(L, 1)));
    return 0;
}

int ActionTrackWrapper::SetAnimationSpeed(lua_State* L)
{
    _track->SetAnimationSpeed(CheckFloat(L, 1));
    return 0;
}

// Frames count 30 per second here. The number is read signed, so that a negative
// frame starts the track at 0 rather than wrapping to a time far in the future.
int ActionTrackWrapper::SetAnimationFrame(lua_State* L)
{
    const int32_t frame = CheckInt32(L, 1);
    _track->SetPosition(frame < 0 ? 0.0f : static_cast<float>(frame / 30.0));
    return 0;
}

int ActionTrackWrapper::AddAnimationPlayer(lua_State* L)
{
    const std::string name = CheckString(L, 1);
    std::shared_ptr<EngineCore::AnimationPlayer> player;
    // A name whose player has died is still listed until the next frame: it is as
    // good as absent.
    if (!EngineCore::AnimationSystem::Instance().GetAnimationPlayer(name, player) || !player)
        EngineCore::ThrowEngineErrorF(kSource, 131, "Animation player (%s) not found.", name.c_str());
    _track->AddAnimationPlayer(player);
    return 0;
}

}  // namespace GameCore
