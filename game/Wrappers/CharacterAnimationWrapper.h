#pragma once
// Script class "CharacterAnimation": builds and plays one character animation made in
// the current game state's storage. The object is the animation's only owner. Its
// three events (move, frame, end) run script text in the state that made the object;
// the texts live in a record the installed callbacks share, so an event that frees
// this object mid-update finds the record gone and runs nothing further.
//
// Frame textures receive an alpha image once per texture and alpha file, through the
// record of texture alpha the Sprite class writes through too.

#include <memory>
#include <string>

#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"

struct lua_State;

namespace EngineCore {
class Resource;
}

namespace GameCore {

class CharacterAnimation;
class CharacterAnimationState;

class CharacterAnimationWrapper {
public:
    static const char className[];
    static const GameLuaScriptImpl::LuaHelper<CharacterAnimationWrapper>::RegType methods[];

    explicit CharacterAnimationWrapper(lua_State* L);
    ~CharacterAnimationWrapper();
    CharacterAnimationWrapper(const CharacterAnimationWrapper&) = delete;
    CharacterAnimationWrapper& operator=(const CharacterAnimationWrapper&) = delete;

    int Hide(lua_State* L);
    int Show(lua_State* L);
    int Play(lua_State* L);
    int Stop(lua_State* L);
    int Pause(lua_State* L);
    int Resume(lua_State* L);
    int AddFrame(lua_State* L);
    int AddFrameShadow(lua_State* L);
    int SetShadowPriority(lua_State* L);
    int EndAnimationState(lua_State* L);
    int BeginAnimationState(lua_State* L);
    int GetPosition(lua_State* L);
    int SetPosition(lua_State* L);
    int SetPriority(lua_State* L);
    int AddAction(lua_State* L);
    int SetCurrentState(lua_State* L);
    int SetAnimationSpeed(lua_State* L);
    int SetOnMoveCallback(lua_State* L);
    int SetEndAnimationCallback(lua_State* L);
    int SetStateEvent(lua_State* L);
    int SetMoveOffset(lua_State* L);
    int SetMoveEndOffset(lua_State* L);
    int SetMoveStartOffset(lua_State* L);
    int GetCurrentState(lua_State* L);
    int GetExecuteState(lua_State* L);
    int ClearExecuteStates(lua_State* L);
    int GetNumExecuteStates(lua_State* L);

private:
    struct Events;

    // Reads the nine frame arguments and files the texture; throws before anything
    // is appended when the texture cannot be had.
    void ReadFrame(lua_State* L, std::shared_ptr<EngineCore::Resource>& texture, void* frameOut);
    CharacterAnimationState& OpenState() const;
    CharacterAnimationState& NamedState(const std::string& name, int line) const;
    // Reads (state name, x, y) and sets them through `set`; an unknown name throws from `line`.
    int SetStateOffset(lua_State* L, int line, void (CharacterAnimationState::*set)(float, float));
    void ApplyAlpha(const std::shared_ptr<EngineCore::Resource>& texture, const std::string& alphaFileName);

    bool _stateOpen = false;
    std::shared_ptr<Events> _events;
    std::shared_ptr<CharacterAnimation> _animation;
    std::shared_ptr<CharacterAnimationState> _openState;
};

}  // namespace GameCore
