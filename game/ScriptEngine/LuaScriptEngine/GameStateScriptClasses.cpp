#include "game/ScriptEngine/LuaScriptEngine/GameStateScriptClasses.h"

#include "game/ScriptEngine/LuaScriptEngine/LuaHelper.h"

// A script class joins the list by including its header here and enabling its row below;
// the order of the rows is the order of registration and must not change.
#include "game/Wrappers/TextWrapper.h"
#include "game/Wrappers/FontWrapper.h"
#include "game/Wrappers/DebugWrapper.h"
#include "game/Wrappers/TimerWrapper.h"
#include "game/Wrappers/SoundWrapper.h"
#include "game/Wrappers/SpriteWrapper.h"
#include "game/Wrappers/SpriteVideoWrapper.h"
#include "game/Wrappers/TextRectWrapper.h"
#include "game/Wrappers/AnimationWrapper.h"
#include "game/Wrappers/GUISystemWrapper.h"
#include "game/Wrappers/QuestItemWrapper.h"
#include "game/Wrappers/MathSystemWrapper.h"
#include "game/Wrappers/MusicTrackWrapper.h"
#include "game/Wrappers/PathFinderWrapper.h"
#include "game/Wrappers/SoundStreamWrapper.h"
#include "game/Wrappers/ActionTrackWrapper.h"
#include "game/Wrappers/SpriteGroupWrapper.h"
#include "game/Wrappers/StringUtilityWrapper.h"
#include "game/Wrappers/DialogManagerWrapper.h"
#include "game/Wrappers/ButtonControlWrapper.h"
#include "game/Wrappers/ProfileSystemWrapper.h"
#include "game/Wrappers/DraggableImageWrapper.h"
#include "game/Wrappers/DistortionMeshWrapper.h"
#include "game/Wrappers/EditBoxControlWrapper.h"
#include "game/Wrappers/ParticleSystemWrapper.h"
#include "game/Wrappers/PropertySystemWrapper.h"
#include "game/Wrappers/AnimationPlayerWrapper.h"
#include "game/Wrappers/GameStateSystemWrapper.h"
#include "game/Wrappers/QuestItemStorageWrapper.h"
#include "game/Wrappers/CharacterInventoryWrapper.h"
#include "game/Wrappers/CharacterSpellBookWrapper.h"
#include "game/Wrappers/InputDeviceManagerWrapper.h"
#include "game/Wrappers/CharacterAnimationWrapper.h"

namespace GameLuaScriptImpl {

namespace {

using Registrar = void (*)(lua_State*);

// In registration order; ends with a null row.
const Registrar kGameStateClasses[] = {
    LuaHelper<GameCore::TextWrapper>::Register,                   // "Text"
    LuaHelper<GameCore::FontWrapper>::Register,                   // "Font"
    LuaHelper<GameCore::DebugWrapper>::Register,                  // "Debugger"
    LuaHelper<GameCore::TimerWrapper>::Register,                  // "Timer"
    LuaHelper<GameCore::SoundWrapper>::Register,                  // "Sound"
    LuaHelper<GameCore::SpriteWrapper>::Register,                 // "Sprite"
    LuaHelper<GameCore::SpriteVideoWrapper>::Register,            // "SpriteVideo"
    LuaHelper<GameCore::TextRectWrapper>::Register,               // "TextRect"
    LuaHelper<GameCore::AnimationWrapper>::Register,              // "Animation"
    LuaHelper<GameCore::GUISystemWrapper>::Register,              // "GUISystem"
    LuaHelper<GameCore::QuestItemWrapper>::Register,              // "QuestItem"
    LuaHelper<GameCore::MathSystemWrapper>::Register,             // "MathSystem"
    LuaHelper<GameCore::MusicTrackWrapper>::Register,             // "MusicTrack"
    LuaHelper<GameCore::PathFinderWrapper>::Register,             // "PathFinder"
    LuaHelper<GameCore::SoundStreamWrapper>::Register,            // "SoundStream"
    LuaHelper<GameCore::ActionTrackWrapper>::Register,            // "ActionTrack"
    LuaHelper<GameCore::SpriteGroupWrapper>::Register,            // "SpriteGroup"
    LuaHelper<GameCore::StringUtilityWrapper>::Register,          // "StringUtility"
    LuaHelper<GameCore::DialogManagerWrapper>::Register,          // "DialogManager"
    LuaHelper<GameCore::ButtonControlWrapper>::Register,          // "ButtonControl"
    LuaHelper<GameCore::ProfileSystemWrapper>::Register,          // "ProfileSystem"
    LuaHelper<GameCore::DraggableImageWrapper>::Register,         // "DraggableImage"
    LuaHelper<GameCore::DistortionMeshWrapper>::Register,         // "DistortionMesh"
    LuaHelper<GameCore::EditBoxControlWrapper>::Register,         // "EditBoxControl"
    LuaHelper<GameCore::ParticleSystemWrapper>::Register,         // "ParticleSystem"
    LuaHelper<GameCore::PropertySystemWrapper>::Register,         // "PropertySystem"
    LuaHelper<GameCore::AnimationPlayerWrapper>::Register,        // "AnimationPlayer"
    LuaHelper<GameCore::GameStateSystemWrapper>::Register,        // "GameStateSystem"
    LuaHelper<GameCore::QuestItemStorageWrapper>::Register,       // "QuestItemStorage"
    LuaHelper<GameCore::CharacterInventoryWrapper>::Register,     // "CharacterInventory"
    LuaHelper<GameCore::CharacterSpellBookWrapper>::Register,     // "CharacterSpellBook"
    LuaHelper<GameCore::InputDeviceManagerWrapper>::Register,     // "InputDeviceManager"
    LuaHelper<GameCore::CharacterAnimationWrapper>::Register,     // "CharacterAnimation"
    nullptr,
};

}  // namespace

void RegisterGameStateScriptClasses(lua_State* state)
{
    for (const Registrar* row = kGameStateClasses; *row; ++row)
        (*row)(state);
}

}  // namespace GameLuaScriptImpl
