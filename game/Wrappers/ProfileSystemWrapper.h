#pragma once
#include <memory>

#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"

struct lua_State;

namespace GameCore {

struct Profile;

// Script class "ProfileSystem": the player profiles of the process-wide profile
// system, found by id. Every setter saves the profiles file at once. No state.
class ProfileSystemWrapper {
public:
    static const char className[];
    static const GameLuaScriptImpl::LuaHelper<ProfileSystemWrapper>::RegType methods[];

    explicit ProfileSystemWrapper(lua_State* L);

    int SetProfileName(lua_State* L);
    int GetProfileName(lua_State* L);
    int GetProfileId(lua_State* L);
    int SetSelectedProfileId(lua_State* L);
    int GetSelectedProfileId(lua_State* L);
    int GetNumProfiles(lua_State* L);
    int GetLastSelectedStage(lua_State* L);
    int SetLastSelectedStage(lua_State* L);
    int GetTotalScores(lua_State* L);
    int SetTotalScores(lua_State* L);
    int GetNumCompletedStages(lua_State* L);
    int SetNumCompletedStages(lua_State* L);
    int DeleteProfile(lua_State* L);
    int CreateNewProfile(lua_State* L);
    int DisableLoadLevelScript(lua_State* L);

private:
    // The profile whose id is argument `index`; "Incorrect profile id." when none.
    static std::shared_ptr<Profile> ProfileArgument(lua_State* L, int index);
};

}  // namespace GameCore
