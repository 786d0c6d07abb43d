#include "game/Wrappers/CharacterAnimationWrapper.h"

#include <cstdint>
#include <vector>

#include <lua.hpp>

#include "engine/Resources/ResourceManager.h"
#include "engine/System/EngineError.h"
#include "game/Base/GameState.h"
#include "game/Base/StateCallback.h"
#include "game/Character/CharacterAnimation.h"
#include "game/Character/CharacterAnimationState.h"
#include "game/Character/CharacterAnimationStorage.h"
#include "game/Logic/GameLogic.h"
#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

namespace {
const char* const kSource = "Wrappers\\CharacterAnimationWrapper.cpp";
const int kTextureType = 3;
const char* const kNotOpen = "Error: need first call CharacterAnimationWrapper::BeginAnimationState().";
}  // namespace

// The event texts and the state they run in. Shared with the callbacks installed on
// the animation and its states, which hold it weakly: once this object is gone its
// events run nothing.
struct CharacterAnimationWrapper::Events {
    StateCallback owner;
    std::string endText;
    std::string moveName;
    std::vector<std::string> frameTexts;

    void OnMove(float dx, float dy) const
    {
        if (moveName.empty())
            return;
        owner.Run(EngineCore::FormatText("%s( %f, %f )", moveName.c_str(), dx, dy));
    }
    void OnFrame(size_t index) const
    {
        if (index >= frameTexts.size() || frameTexts[index].empty() || frameTexts[index][0] != '#')
            return;
        const std::string code = frameTexts[index].substr(1);
        owner.Run(code);
    }
    void OnEnd() const
    {
        if (endText.size() <= 1 || endText[0] != '#')
            return;
        const std::string code = endText.substr(1);
        owner.Run(code);
    }
};

const char CharacterAnimationWrapper::className[] = "CharacterAnimation";

const GameLuaScriptImpl::LuaHelper<CharacterAnimationWrapper>::RegType CharacterAnimationWrapper::methods[] = {
    {"Hide", &CharacterAnimationWrapper::Hide},
    {"Show", &CharacterAnimationWrapper::Show},
    {"Play", &CharacterAnimationWrapper::Play},
    {"Stop", &CharacterAnimationWrapper::Stop},
    {"Pause", &CharacterAnimationWrapper::Pause},
    {"Resume", &CharacterAnimationWrapper::Resume},
    {"AddFrame", &CharacterAnimationWrapper::AddFrame},
    {"AddFrameShadow", &CharacterAnimationWrapper::AddFrameShadow},
    {"SetShadowPriority", &CharacterAnimationWrapper::SetShadowPriority},
    {"EndAnimationState", &CharacterAnimationWrapper::EndAnimationState},
    {"BeginAnimationState", &CharacterAnimationWrapper::BeginAnimationState},
    {"GetPosition", &CharacterAnimationWrapper::GetPosition},
    {"SetPosition", &CharacterAnimationWrapper::SetPosition},
    {"SetPriority", &CharacterAnimationWrapper::SetPriority},
    {"AddAction", &CharacterAnimationWrapper::AddAction},
    {"SetCurrentState", &CharacterAnimationWrapper::SetCurrentState},
    {"SetAnimationSpeed", &CharacterAnimationWrapper::SetAnimationSpeed},
    {"SetOnMoveCallback", &CharacterAnimationWrapper::SetOnMoveCallback},
    {"SetEndAnimationCallback", &CharacterAnimationWrapper::SetEndAnimationCallback},
    {"SetStateEvent", &CharacterAnimationWrapper::SetStateEvent},
    {"SetMoveOffset", &CharacterAnimationWrapper::SetMoveOffset},
    {"SetMoveEndOffset", &CharacterAnimationWrapper::SetMoveEndOffset},
    {"SetMoveStartOffset", &CharacterAnimationWrapper::SetMoveStartOffset},
    {"GetCurrentState", &CharacterAnimationWrapper::GetCurrentState},
    {"GetExecuteState", &CharacterAnimationWrapper::GetExecuteState},
    {"ClearExecuteStates", &CharacterAnimationWrapper::ClearExecuteStates},
    {"GetNumExecuteStates", &CharacterAnimationWrapper::GetNumExecuteStates},
    {nullptr, nullptr},
};

CharacterAnimationWrapper::CharacterAnimationWrapper(lua_State*) : _events(std::make_shared<Events>())
{
    // Filed under the state whose events it runs, like every script object.
    const std::shared_ptr<GameState> state = _events->owner.Owner();
    if (!state)
        EngineCore::ThrowEngineError(kSource, 88, "Internal error.");
    _animation = state->GetGameLogic().GetCharacterAnimationStorage().CreateCharacterAnimation();
}

CharacterAnimationWrapper::~CharacterAnimationWrapper() = default;

CharacterAnimationState& CharacterAnimationWrapper::OpenState() const
{
    if (!_stateOpen || !_openState)
        EngineCore::ThrowEngineError(kSource, 120, kNotOpen);
    return *_openState;
}

CharacterAnimationState& CharacterAnimationWrapper::NamedState(const std::string& name, int line) const
{
    std::shared_ptr<CharacterAnimationState> state;
    if (!_animation->GetState(name.c_str(), state) || !state)
        EngineCore::ThrowEngineError(kSource, line, "Internal error.");
    return *state;
}

int CharacterAnimationWrapper::Hide(lua_State*)
{
    _animation->SetVisible(false);
    return 0;
}

int CharacterAnimationWrapper::Show(lua_State*)
{
    _animation->SetVisible(true);
    return 0;
}

int CharacterAnimationWrapper::Play(lua_State* L)
{
    _animation->Play(CheckFlagTruncatedOne(L, 1));
    return 0;
}

int CharacterAnimationWrapper::Stop(lua_State*)
{
    _animation->Stop();
    return 0;
}

int CharacterAnimationWrapper::Pause(lua_State*)
{
    _animation->Pause();
    return 0;
}

int CharacterAnimationWrapper::Resume(lua_State*)
{
    _animation->Resume();
    return 0;
}

void CharacterAnimationWrapper::ReadFrame(lua_State* L, std::shared_ptr<EngineCore::Resource>& texture, void* out)
{
    CharacterAnimationState::AnimationFrame& frame = *static_cast<CharacterAnimationState::AnimationFrame*>(out);
    frame.offsetX = CheckFloat(L, 1);
    frame.offsetY = CheckFloat(L, 2);
    frame.hotSpotX = CheckFloat(L, 3);
    frame.hotSpotY = CheckFloat(L, 4);
    const std::string textureName = CheckString(L, 5);
    frame.rectX = CheckFloat(L, 6);
    frame.rectY = CheckFloat(L, 7);
    frame.rectWidth = CheckFloat(L, 8);
    frame.rectHeight = CheckFloat(L, 9);
    if (!EngineCore::ResourceManager::Instance().GetResource(textureName, kTextureType, texture) || !texture)
        EngineCore::ThrowEngineErrorF(kSource, 211, "Resource (%s) not found.", textureName.c_str());
    frame.textureIndex = _animation->AddTexture(texture);
}

int CharacterAnimationWrapper::AddFrame(lua_State* L)
{
    CharacterAnimationState& state = OpenState();
    std::shared_ptr<EngineCore::Resource> texture;
    CharacterAnimationState::AnimationFrame frame;
    ReadFrame(L, texture, &frame);
    const std::string alphaFileName = CheckString(L, 10);
    state.AddFrame(frame);
    ApplyAlpha(texture, alphaFileName);
    return 0;
}

int CharacterAnimationWrapper::AddFrameShadow(lua_State* L)
{
    CharacterAnimationState& state = OpenState();
    std::shared_ptr<EngineCore::Resource> texture;
    CharacterAnimationState::AnimationFrame frame;
    ReadFrame(L, texture, &frame);
    state.AddFrameShadow(frame);
    return 0;
}

int CharacterAnimationWrapper::SetShadowPriority(lua_State* L)
{
    _animation->SetShadowPriority(CheckFloat(L, 1));
    return 0;
}

int CharacterAnimationWrapper::EndAnimationState(lua_State*)
{
    if (!_stateOpen)
        EngineCore::ThrowEngineError(kSource, 260, kNotOpen);
    _stateOpen = false;
    _openState.reset();
    return 0;
}

int CharacterAnimationWrapper::BeginAnimationState(lua_State* L)
{
    if (_stateOpen)
        EngineCore::ThrowEngineError(kSource, 270,
                                     "Error: CharacterAnimationWrapper::BeginAnimationState() already is started.");
    const std::string name = CheckString(L, 1);
    _stateOpen = true;
    _openState = std::make_shared<CharacterAnimationState>();
    _animation->AddState(name.c_str(), _openState);
    return 0;
}

int CharacterAnimationWrapper::GetPosition(lua_State* L)
{
    PushFloat(L, _animation->GetPositionX());
    PushFloat(L, _animation->GetPositionY());
    return 2;
}

int CharacterAnimationWrapper::SetPosition(lua_State* L)
{
    const float x = CheckFloat(L, 1);
    const float y = CheckFloat(L, 2);
    _animation->SetOriginalPosition(x, y);
    return 0;
}

int CharacterAnimationWrapper::SetPriority(lua_State* L)
{
    _animation->SetPriority(CheckFloat(L, 1));
    return 0;
}

int CharacterAnimationWrapper::AddAction(lua_State* L)
{
    _animation->AddExecuteState(CheckString(L, 1).c_str());
    return 0;
}

int CharacterAnimationWrapper::SetCurrentState(lua_State* L)
{
    if (!_animation->SetCurrentAnimationState(CheckString(L, 1).c_str()))
        EngineCore::ThrowEngineError(kSource, 318, "Internal error.");
    return 0;
}

int CharacterAnimationWrapper::SetAnimationSpeed(lua_State* L)
{
    const std::string name = CheckString(L, 1);
    const float speed = CheckFloat(L, 2);
    NamedState(name, 327).SetAnimationSpeed(speed);
    return 0;
}

int CharacterAnimationWrapper::SetOnMoveCallback(lua_State* L)
{
    _events->moveName = CheckString(L, 1);
    if (_events->moveName.empty()) {
        _animation->SetOnMoveCallback(std::function<void(float, float, void*)>(), nullptr);
        return 0;
    }
    const std::weak_ptr<Events> events = _events;
    _animation->SetOnMoveCallback(
        [events](float dx, float dy, void*) {
            if (const std::shared_ptr<Events> alive = events.lock())
                alive->OnMove(dx, dy);
        },
        nullptr);
    return 0;
}

int CharacterAnimationWrapper::SetEndAnimationCallback(lua_State* L)
{
    _events->endText = CheckString(L, 1);
    if (_events->endText.empty()) {
        _animation->SetEndAnimationCallback(std::function<void(void*)>(), nullptr);
        return 0;
    }
    const std::weak_ptr<Events> events = _events;
    _animation->SetEndAnimationCallback(
        [events](void*) {
            if (const std::shared_ptr<Events> alive = events.lock())
                alive->OnEnd();
        },
        nullptr);
    return 0;
}

int CharacterAnimationWrapper::SetStateEvent(lua_State* L)
{
    const std::string name = CheckString(L, 1);
    const uint32_t frame = CheckUint32(L, 2);
    const std::string text = CheckString(L, 3);
    CharacterAnimationState& state = NamedState(name, 372);
    // A state without frames has no frame to reduce the index to.
    if (state.GetNumFrames() == 0)
        EngineCore::ThrowEngineError(kSource, 376, "Internal error.");
    const size_t index = _events->frameTexts.size();
    _events->frameTexts.push_back(text);
    const std::weak_ptr<Events> events = _events;
    state.SetFrameCallback(frame, CharacterAnimationState::CallbackType(
                                      [events](void* user) {
                                          if (const std::shared_ptr<Events> alive = events.lock())
                                              alive->OnFrame(reinterpret_cast<uintptr_t>(user));
                                      },
                                      reinterpret_cast<void*>(static_cast<uintptr_t>(index))));
    return 0;
}

int CharacterAnimationWrapper::SetStateOffset(lua_State* L, int line,
                                              void (CharacterAnimationState::*set)(float, float))
{
    const std::string name = CheckString(L, 1);
    const float x = CheckFloat(L, 2);
    const float y = CheckFloat(L, 3);
    (NamedState(name, line).*set)(x, y);
    return 0;
}

int CharacterAnimationWrapper::SetMoveOffset(lua_State* L)
{
    return SetStateOffset(L, 395, &CharacterAnimationState::SetMoveOffset);
}

int CharacterAnimationWrapper::SetMoveEndOffset(lua_State* L)
{
    return SetStateOffset(L, 404, &CharacterAnimationState::SetMoveEndOffset);
}

int CharacterAnimationWrapper::SetMoveStartOffset(lua_State* L)
{
    return SetStateOffset(L, 413, &CharacterAnimationState::SetMoveStartOffset);
}

int CharacterAnimationWrapper::GetCurrentState(lua_State* L)
{
    const char* name = _animation->GetCurrentAnimationStateName();
    if (name)
        lua_pushstring(L, name);
    else
        lua_pushnil(L);
    return 1;
}

int CharacterAnimationWrapper::GetExecuteState(lua_State* L)
{
    const int32_t index = CheckInt32(L, 1);
    std::vector<std::string> names;
    if (index >= 0 && _animation->GetExecuteStates(names) && static_cast<size_t>(index) < names.size())
        lua_pushstring(L, names[index].c_str());
    else
        lua_pushnil(L);
    return 1;
}

int CharacterAnimationWrapper::ClearExecuteStates(lua_State*)
{
    _animation->ClearExecuteStates();
    return 0;
}

int CharacterAnimationWrapper::GetNumExecuteStates(lua_State* L)
{
    std::vector<std::string> names;
    _animation->GetExecuteStates(names);
    lua_pushnumber(L, static_cast<lua_Number>(names.size()));
    return 1;
}

}  // namespace GameCore
