#include "game/Wrappers/ProfileSystemWrapper.h"

#include <mutex>

#include <lua.hpp>

#include "engine/System/EngineError.h"
#include "game/Logic/Profile.h"
#include "game/Logic/ProfileSystem.h"
#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

namespace {

const char* const kSource = "Wrappers\\ProfileSystemWrapper.cpp";

ProfileSystem& Profiles() { return ProfileSystem::Instance(); }

// Every read and change of a profile's fields holds the profile lock (a save on another
// thread reads them); a change and its save hold it together.
using Hold = std::unique_lock<std::recursive_mutex>;

}  // namespace

const char ProfileSystemWrapper::className[] = "ProfileSystem";

// The order of the rows is part of the script interface.
const GameLuaScriptImpl::LuaHelper<ProfileSystemWrapper>::RegType ProfileSystemWrapper::methods[] = {
    {"SetProfileName", &ProfileSystemWrapper::SetProfileName},
    {"GetProfileName", &ProfileSystemWrapper::GetProfileName},
    {"GetProfileId", &ProfileSystemWrapper::GetProfileId},
    {"SetSelectedProfileId", &ProfileSystemWrapper::SetSelectedProfileId},
    {"GetSelectedProfileId", &ProfileSystemWrapper::GetSelectedProfileId},
    {"GetNumProfiles", &ProfileSystemWrapper::GetNumProfiles},
    {"GetLastSelectedStage", &ProfileSystemWrapper::GetLastSelectedStage},
    {"SetLastSelectedStage", &ProfileSystemWrapper::SetLastSelectedStage},
    {"GetTotalScores", &ProfileSystemWrapper::GetTotalScores},
    {"SetTotalScores", &ProfileSystemWrapper::SetTotalScores},
    {"GetNumCompletedStages", &ProfileSystemWrapper::GetNumCompletedStages},
    {"SetNumCompletedStages", &ProfileSystemWrapper::SetNumCompletedStages},
    {"DeleteProfile", &ProfileSystemWrapper::DeleteProfile},
    {"CreateNewProfile", &ProfileSystemWrapper::CreateNewProfile},
    {"DisableLoadLevelScript", &ProfileSystemWrapper::DisableLoadLevelScript},
    {nullptr, nullptr},
};

ProfileSystemWrapper::ProfileSystemWrapper(lua_State*) {}

std::shared_ptr<Profile> ProfileSystemWrapper::ProfileArgument(lua_State* L, int index)
{
    const int id = CheckInt32(L, index);
    std::shared_ptr<Profile> profile;
    if (!Profiles().GetProfileById(id, profile))
        EngineCore::ThrowEngineError(kSource, 61, "Incorrect profile id.");
    return profile;
}

int ProfileSystemWrapper::SetProfileName(lua_State* L)
{
    const std::shared_ptr<Profile> profile = ProfileArgument(L, 1);
    const std::string name = CheckString(L, 2);
    const Hold hold = Profiles().Hold();
    profile->name = name;
    Profiles().Save();
    return 0;
}

int ProfileSystemWrapper::GetProfileName(lua_State* L)
{
    const std::shared_ptr<Profile> profile = ProfileArgument(L, 1);
    std::string name;
    {
        const Hold hold = Profiles().Hold();
        name = profile->name;
    }
    lua_pushstring(L, name.c_str());
    return 1;
}

int ProfileSystemWrapper::GetProfileId(lua_State* L)
{
    const int index = CheckInt32(L, 1);
    std::shared_ptr<Profile> profile;
    if (index < 0 || !Profiles().GetProfileByIndex(static_cast<unsigned>(index), profile))
        EngineCore::ThrowEngineError(kSource, 84, "Incorrect profile id.");
    lua_pushnumber(L, profile->id);
    return 1;
}

int ProfileSystemWrapper::SetSelectedProfileId(lua_State* L)
{
    // The first save keeps the display flags and level script of the profile left.
    Profiles().Save();
    const std::shared_ptr<Profile> profile = ProfileArgument(L, 1);
    Profiles().Select(profile);
    Profiles().Save();
    return 0;
}

int ProfileSystemWrapper::GetSelectedProfileId(lua_State* L)
{
    std::shared_ptr<Profile> profile;
    if (!Profiles().GetSelectedProfile(profile))
        EngineCore::ThrowEngineError(kSource, 111, "Selected profile is not found.");
    lua_pushnumber(L, profile->id);
    return 1;
}

int ProfileSystemWrapper::GetNumProfiles(lua_State* L)
{
    lua_pushnumber(L, Profiles().GetNumProfiles());
    return 1;
}

int ProfileSystemWrapper::GetLastSelectedStage(lua_State* L)
{
    const std::shared_ptr<Profile> profile = ProfileArgument(L, 1);
    const Hold hold = Profiles().Hold();
    lua_pushnumber(L, profile->lastSelectedStage);
    return 1;
}

int ProfileSystemWrapper::SetLastSelectedStage(lua_State* L)
{
    const std::shared_ptr<Profile> profile = ProfileArgument(L, 1);
    const uint8_t stage = CheckLowByte(L, 2);
    const Hold hold = Profiles().Hold();
    profile->lastSelectedStage = stage;
    Profiles().Save();
    return 0;
}

int ProfileSystemWrapper::GetTotalScores(lua_State* L)
{
    // Through single precision, as scripts have always seen it.
    const std::shared_ptr<Profile> profile = ProfileArgument(L, 1);
    const Hold hold = Profiles().Hold();
    const uint32_t scores = static_cast<uint32_t>(profile->totalScores);
    PushFloat(L, static_cast<float>(scores));
    return 1;
}

int ProfileSystemWrapper::SetTotalScores(lua_State* L)
{
    const std::shared_ptr<Profile> profile = ProfileArgument(L, 1);
    const float scores = CheckFloat(L, 2);
    const Hold hold = Profiles().Hold();
    profile->totalScores = static_cast<int32_t>(static_cast<uint32_t>(ToInt32(scores)));
    Profiles().Save();
    return 0;
}

int ProfileSystemWrapper::GetNumCompletedStages(lua_State* L)
{
    const std::shared_ptr<Profile> profile = ProfileArgument(L, 1);
    const Hold hold = Profiles().Hold();
    lua_pushnumber(L, profile->completedStages);
    return 1;
}

int ProfileSystemWrapper::SetNumCompletedStages(lua_State* L)
{
    const std::shared_ptr<Profile> profile = ProfileArgument(L, 1);
    const uint8_t stages = CheckLowByte(L, 2);
    const Hold hold = Profiles().Hold();
    profile->completedStages = stages;
    Profiles().Save();
    return 0;
}

int ProfileSystemWrapper::DeleteProfile(lua_State* L)
{
    Profiles().DeleteProfile(ProfileArgument(L, 1));
    Profiles().Save();
    return 0;
}

int ProfileSystemWrapper::CreateNewProfile(lua_State* L)
{
    std::shared_ptr<Profile> profile;
    Profiles().CreateProfile(profile);
    Profiles().Save();
    lua_pushnumber(L, profile->id);
    return 1;
}

int ProfileSystemWrapper::DisableLoadLevelScript(lua_State* L)
{
    CheckNumber(L, 1);
    Profiles().SetIgnoreLoadLevelScript(true);
    return 0;
}

}  // namespace GameCore
