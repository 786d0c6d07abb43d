#include <vector>

#include <gtest/gtest.h>

#include <lua.hpp>

#include "game/ScriptEngine/LuaScriptEngine/GameStateScriptClasses.h"
#include "game/ScriptEngine/LuaScriptEngine/LuaScriptEngine.h"
#include "game/ScriptEngine/LuaScriptEngine/StartupScriptClasses.h"

namespace {

const std::vector<const char*> kStartupClasses = {"GameState", "Application"};
const std::vector<const char*> kGameStateClasses = {
    "Text", "Font", "Debugger", "Timer", "Sound", "Sprite", "SpriteVideo", "TextRect",
    "Animation", "GUISystem", "QuestItem", "MathSystem", "MusicTrack", "PathFinder",
    "SoundStream", "ActionTrack", "SpriteGroup", "StringUtility", "DialogManager",
    "ButtonControl", "ProfileSystem", "DraggableImage", "DistortionMesh", "EditBoxControl",
    "ParticleSystem", "PropertySystem", "AnimationPlayer", "GameStateSystem",
    "QuestItemStorage", "CharacterInventory", "CharacterSpellBook", "InputDeviceManager",
    "CharacterAnimation"};
// The game-state classes built so far; each must be there.
const std::vector<const char*> kBuiltGameStateClasses = {
    "Text",
    "Font",
    "Debugger",
    "Timer",
    "Sound",
    "Sprite",
    "SpriteVideo",
    "TextRect",
    "Animation",
    "GUISystem",
    "QuestItem",
    "MathSystem",
    "MusicTrack",
    "PathFinder",
    "SoundStream",
    "ActionTrack",
    "SpriteGroup",
    "StringUtility",
    "DialogManager",
    "ButtonControl",
    "ProfileSystem",
    "DraggableImage",
    "DistortionMesh",
    "EditBoxControl",
    "ParticleSystem",
    "PropertySystem",
    "AnimationPlayer",
    "GameStateSystem",
    "QuestItemStorage",
    "CharacterInventory",
    "CharacterSpellBook",
    "InputDeviceManager",
    "CharacterAnimation",
};

bool HasGlobal(lua_State* L, const char* name)
{
    lua_getglobal(L, name);
    const bool present = !lua_isnil(L, -1);
    lua_pop(L, 1);
    return present;
}

// Each kind of state sees only its own classes; a registered class is a class table.
TEST(ScriptClassLists, EachStateKnowsOnlyItsOwnClasses)
{
    struct Case {
        const char* kind;
        void (*registerClasses)(lua_State*);
        const std::vector<const char*>& present;
        const std::vector<const char*>& absent;
    };
    const Case cases[] = {
        {"start-up", &GameLuaScriptImpl::RegisterStartupScriptClasses, kStartupClasses, kGameStateClasses},
        {"game state", &GameLuaScriptImpl::RegisterGameStateScriptClasses, kBuiltGameStateClasses, kStartupClasses},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        GameLuaScriptImpl::LuaScriptEngine engine;
        ASSERT_TRUE(engine.Open());
        lua_State* L = engine.GetState();
        c.registerClasses(L);
        EXPECT_EQ(0, lua_gettop(L));
        for (const char* name : c.present) {
            EXPECT_TRUE(HasGlobal(L, name)) << name;
        }
        for (const char* name : c.absent) {
            EXPECT_FALSE(HasGlobal(L, name)) << name;
        }
        lua_pushnil(L);
        while (lua_next(L, LUA_GLOBALSINDEX)) {
            EXPECT_TRUE(lua_istable(L, -1)) << lua_tostring(L, -2);
            lua_pop(L, 1);
        }
    }
}

}  // namespace
