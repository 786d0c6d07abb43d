#include <cmath>
#include <memory>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <lua.hpp>

#include "engine/Animation/Animation.h"
#include "engine/Animation/AnimationSystem.h"
#include "engine/Renderer/RenderSystem.h"
#include "engine/Resources/ResourceManager.h"
#include "game/Base/Application.h"
#include "game/Base/GameState.h"
#include "tests/support/FakeSprites.h"
#include "tests/support/ScriptClassFixture.h"

using EngineCore::ResourceManager;
using TestSupport::FakeAnimatedSprite;
using TestSupport::SizedTexture;
using testing::EndsWith;

namespace {

class AnimationScriptClassesTest : public TestSupport::ScriptClassFixture<> {
protected:
    void SetUp() override
    {
        EngineCore::RenderSystem::Instance().SetCurrentGameState("animation-scripts");
        ASSERT_NO_FATAL_FAILURE(OpenScripts());
    }
    void TearDown() override
    {
        if (gameState) {
            GameCore::Application::Instance().SetCurrentGameState(nullptr, true);
            GameCore::Application::Instance().RemoveGameState(gameState, true);
        }
        engine.Close();
        ResourceManager::Instance().Clear();
    }

    // A game state of the application made current, with its own interpreter:
    // end callbacks run there.
    void MakeCurrentGameState()
    {
        static int count = 0;
        const std::string name = "animation-state-" + std::to_string(count++);
        ASSERT_TRUE(GameCore::Application::Instance().CreateGameState(name, gameState));
        GameCore::Application::Instance().SetCurrentGameState(gameState, true);
        // As entering it does: the animation system plays the players filed under it.
        EngineCore::RenderSystem::Instance().SetCurrentGameState(name.c_str());
    }
    void RunInGameState(const std::string& script)
    {
        ASSERT_TRUE(gameState->RunScriptString(script)) << script;
    }

    bool IsNil(const char* name)
    {
        lua_getglobal(L, name);
        const bool nil = lua_isnil(L, -1);
        lua_pop(L, 1);
        return nil;
    }

    std::shared_ptr<FakeAnimatedSprite> AddSprite(const std::string& name)
    {
        auto sprite = std::make_shared<FakeAnimatedSprite>();
        ResourceManager::Instance().AddResource(name, sprite);
        return sprite;
    }

    std::shared_ptr<EngineCore::Animation> AnimationNamed(const std::string& name)
    {
        std::shared_ptr<EngineCore::Resource> resource;
        if (!ResourceManager::Instance().GetResource(name, 9, resource))
            return nullptr;
        return std::dynamic_pointer_cast<EngineCore::Animation>(resource);
    }

    std::shared_ptr<GameCore::GameState> gameState;
};

}  // namespace

TEST_F(AnimationScriptClassesTest, EveryMethodNeedsSetNameFirst)
{
    const char* animationMethods[] = {"Clear", "EndKey", "BeginKey", "AddScale", "AddRotate",
                                      "AddTranslate", "AddOpacity", "AddDiffuseColor", "AddAnimationFrame"};
    for (const char* method : animationMethods) {
        // The check comes before the arguments are read: none are given.
        EXPECT_THAT(FailureOf(std::string("Animation():") + method + "()"),
                    EndsWith("Error: Animation is not initialized. First call - SetName()."))
            << method;
    }
    Run("name = Animation():GetName()");
    EXPECT_EQ("", String("name"));

    const char* playerMethods[] = {"Play", "Stop", "Pause", "Update", "UpdateForce", "SetSprite", "GetSprite",
                                   "SetAnimation", "SetNumFrames", "SetStartFrame", "SetAnimationType",
                                   "SetAnimationSpeed", "SetAnimationFrame", "GetAnimationLength",
                                   "SetPositionOffset", "SetEndAnimationCallback", "GetCurrentAnimationTime"};
    for (const char* method : playerMethods) {
        EXPECT_THAT(FailureOf(std::string("AnimationPlayer():") + method + "()"),
                    EndsWith(std::string("Error: [AnimationPlayerWrapper::") + method +
                             "] Animation player is not initialized. First call - SetName()."))
            << method;
    }
}

TEST_F(AnimationScriptClassesTest, KeysMustBeOpenedAndClosedInTurn)
{
    Run("a = Animation() a:SetName('keys')");
    struct Case {
        const char* script;
        const char* tail;
    } cases[] = {
        {"a:EndKey()", "Error: Animation key is not started. First call BeginKey()."},
        {"a:AddScale(1, 1)", "Error: Animation key is not started. First call BeginKey()."},
        {"a:AddAnimationFrame(1)", "Error: Animation key is not started. First call BeginKey()."},
        {"a:BeginKey(0) a:BeginKey(1)", "Error: Animation key is started. First call EndKey()."},
    };
    for (const Case& c : cases)
        EXPECT_THAT(FailureOf(c.script), EndsWith(c.tail)) << c.script;
}

TEST_F(AnimationScriptClassesTest, KeysKeepTheirFlagsOrderAndValues)
{
    Run("a = Animation() a:SetName('built')"
        " a:BeginKey(1.0) a:AddScale(0.5, 0.5) a:AddAnimationFrame(2.9) a:EndKey()"
        " a:BeginKey(0.5) a:AddTranslate(10, 0) a:AddAnimationFrame(-1.5) a:AddRotate(90) a:EndKey()"
        " name = a:GetName()");
    EXPECT_EQ("built", String("name"));
    auto animation = AnimationNamed("built");
    ASSERT_NE(nullptr, animation);
    EXPECT_EQ(1.0f, animation->GetLength());
    EXPECT_EQ(1.0f, animation->GetFrameTime(0));  // kept in the order the keys were closed
    EXPECT_EQ(0.5f, animation->GetFrameTime(1));

    EngineCore::AnimationKey::KeyValue first;
    ASSERT_TRUE(animation->Sample(1.0f, false, first));
    EXPECT_EQ(0.5f, first.scale.x);
    EXPECT_EQ(1.0f, first.scale.z);
    EXPECT_EQ(2, first.frame);

    // The second key still carries the scale flag, at its reset value (0, 0, 0).
    EngineCore::AnimationKey::KeyValue second;
    second.scale.x = 7;
    ASSERT_TRUE(animation->Sample(0.5f, false, second));
    EXPECT_EQ(0.0f, second.scale.x);
    EXPECT_EQ(10.0f, second.translation.x);
    EXPECT_EQ(-1, second.frame);
    EXPECT_NEAR(0.70710677f, second.rotation.z, 1e-6f);
    EXPECT_NEAR(0.70710677f, second.rotation.w, 1e-6f);

    // Clear with a key open: the keys go, the key stays open and becomes the only one.
    Run("a:BeginKey(3) a:Clear() a:EndKey()");
    EXPECT_EQ(3.0f, animation->GetLength());
    EXPECT_EQ(3.0f, animation->GetFrameTime(5));

    // A new name starts a new animation; the old one keeps its keys while held.
    Run("a:SetName('other')");
    EXPECT_EQ(3.0f, animation->GetLength());
    auto other = AnimationNamed("other");
    ASSERT_NE(nullptr, other);
    EXPECT_EQ(0.0f, other->GetLength());
}

// An animation built in Lua, played by a player on a sprite, read back after fixed updates.
TEST_F(AnimationScriptClassesTest, PlayerAppliesAScriptAnimationToASprite)
{
    auto sprite = AddSprite("hero");
    sprite->SetTexture(std::make_shared<SizedTexture>(256, 256));
    sprite->SetTextureRect(0, 0, 64, 64);
    sprite->SetPosition(100, 200);
    sprite->SetColor(0x80FFFFFFu);
    Run("a = Animation() a:SetName('walk')"
        " a:BeginKey(0) a:AddTranslate(0, 0) a:AddScale(0, 0) a:AddRotate(0) a:AddOpacity(0)"
        "   a:AddDiffuseColor(0, 0, 0) a:AddAnimationFrame(0) a:EndKey()"
        " a:BeginKey(1) a:AddTranslate(40, -20) a:AddScale(1, 0.5) a:AddRotate(90) a:AddOpacity(0.5)"
        "   a:AddDiffuseColor(-1, 0, 0) a:AddAnimationFrame(5) a:EndKey()"
        " p = AnimationPlayer() p:SetName('walker') p:SetSprite('hero') p:SetAnimation('walk')"
        " p:SetNumFrames(16) p:SetStartFrame(17) p:Play()"
        " length = p:GetAnimationLength() sprite = p:GetSprite()");
    EXPECT_EQ(1.0, Number("length"));
    EXPECT_EQ("hero", String("sprite"));

    Run("p:Update(0.5) p:Update(0)");  // shows time 0.5
    EXPECT_FLOAT_EQ(120.0f, sprite->GetPositionX());
    EXPECT_FLOAT_EQ(190.0f, sprite->GetPositionY());
    EXPECT_FLOAT_EQ(1.5f, sprite->GetHorizontalScale());
    EXPECT_FLOAT_EQ(1.25f, sprite->GetVerticalScale());
    EXPECT_NEAR(-0.7853982f, sprite->GetRotation(), 1e-5f);  // 45 degrees, subtracted
    // alpha 128 + 64; red 255 + int(-127) = 128.
    EXPECT_EQ(0xC080FFFFu, sprite->GetColor());
    float x, y, w, h;
    sprite->GetTextureRect(x, y, w, h);
    EXPECT_EQ(0.0f, x);  // start frame 17 wraps to 1; frames step only at the later key
    EXPECT_EQ(64.0f, y);

    // Through the animation system, as every frame does: the position reaches the
    // end, then the last key is shown with its frame 5 + 1 (second column, third row)
    // and the player stops at 0.
    EngineCore::AnimationSystem::Instance().Update(0.5f);
    EngineCore::AnimationSystem::Instance().Update(0.5f);
    Run("t = p:GetCurrentAnimationTime()");
    EXPECT_EQ(0.0, Number("t"));
    sprite->GetTextureRect(x, y, w, h);
    EXPECT_EQ(64.0f, x);
    EXPECT_EQ(128.0f, y);
    EXPECT_EQ(64.0f, w);
    EXPECT_FLOAT_EQ(140.0f, sprite->GetPositionX());

    Run("p:SetPositionOffset(5, 6) p:SetAnimationFrame(15) p:UpdateForce(1) t = p:GetCurrentAnimationTime()");
    EXPECT_EQ(0.5, Number("t"));
    EXPECT_FLOAT_EQ(125.0f, sprite->GetPositionX());
    EXPECT_FLOAT_EQ(196.0f, sprite->GetPositionY());

    Run("p:SetSprite('') s = p:GetSprite()");
    EXPECT_TRUE(IsNil("s"));
}

TEST_F(AnimationScriptClassesTest, PlayerMethodsReachTheEnginePlayer)
{
    AddSprite("s");
    Run("a = Animation() a:SetName('one') a:BeginKey(0) a:EndKey() a:BeginKey(1) a:EndKey()"
        " p = AnimationPlayer() p:SetName('p') s0 = p:GetSprite() l0 = p:GetAnimationLength()"
        " p:SetSprite('s') p:SetAnimation('one')"
        " p:SetAnimationFrame(45) t1 = p:GetCurrentAnimationTime()"
        " p:SetAnimationFrame(0) t2 = p:GetCurrentAnimationTime()"
        " p:Update(0.5) t3 = p:GetCurrentAnimationTime()"   // stopped: nothing moves
        " p:UpdateForce(0.5) t4 = p:GetCurrentAnimationTime()"
        " p:SetAnimationSpeed(2) p:Play() p:Update(0.25) t5 = p:GetCurrentAnimationTime()"
        " p:Pause() p:Update(0.25) t6 = p:GetCurrentAnimationTime()"
        " p:Play() p:Stop() t7 = p:GetCurrentAnimationTime()");
    EXPECT_TRUE(IsNil("s0"));
    EXPECT_EQ(0.0, Number("l0"));
    EXPECT_EQ(1.5, Number("t1"));
    EXPECT_EQ(0.0, Number("t2"));
    EXPECT_EQ(0.0, Number("t3"));
    EXPECT_EQ(0.0, Number("t4"));
    EXPECT_EQ(0.5, Number("t5"));
    EXPECT_EQ(0.5, Number("t6"));
    EXPECT_EQ(0.0, Number("t7"));

    struct TypeCase {
        double type;
        double after;  // position after an update that starts at the 1 s end
    } types[] = {{1.9, 0.8}, {-1, 0}, {0, 0}};
    for (const TypeCase& c : types) {
        Run("p:SetAnimationSpeed(1) p:SetAnimationType(" + std::to_string(c.type) +
            ") p:SetAnimationFrame(0) p:Play() p:Update(1.0) p:Update(0.8) t = p:GetCurrentAnimationTime()");
        EXPECT_NEAR(c.after, Number("t"), 1e-6) << c.type;
    }
}

TEST_F(AnimationScriptClassesTest, ResourcesByNameAreCheckedForTheirType)
{
    AddSprite("sprite");
    Run("a = Animation() a:SetName('anim') a:BeginKey(2) a:EndKey()"
        " p = AnimationPlayer() p:SetName('p')");
    // No creator is registered in the tests: unknown names are not found.
    EXPECT_THAT(FailureOf("p:SetSprite('missing')"), EndsWith("Error: Resource (missing) not found."));
    EXPECT_THAT(FailureOf("p:SetAnimation('nothing')"), EndsWith("Error: Resource (nothing) not found."));
    // Names of the wrong kind are ignored.
    Run("p:SetAnimation('sprite') l = p:GetAnimationLength() p:SetSprite('anim') s = p:GetSprite()");
    EXPECT_EQ(0.0, Number("l"));
    EXPECT_TRUE(IsNil("s"));
}

TEST_F(AnimationScriptClassesTest, EndCallbackRunsScriptInTheCurrentGameState)
{
    AddSprite("s");
    MakeCurrentGameState();
    // The player belongs to another interpreter; the callback text runs in the
    // current game state's, where it files an animation named "ended".
    Run("a = Animation() a:SetName('short') a:BeginKey(0) a:EndKey() a:BeginKey(1) a:EndKey()"
        " p = AnimationPlayer() p:SetName('p') p:SetSprite('s') p:SetAnimation('short')");
    struct Case {
        const char* text;
        bool runs;
    } cases[] = {
        {"#e = Animation() e:SetName('ended')", true},
        {"e = Animation() e:SetName('ended')", false},  // without "#" nothing runs
        {"", false},                                    // removes the callback
    };
    for (const Case& c : cases) {
        Run(std::string("p:SetEndAnimationCallback([[") + c.text +
            "]]) p:SetAnimationFrame(0) p:Play() p:Update(0.6) p:Update(0.6)");
        EXPECT_FALSE(ResourceManager::Instance().IsExist("ended")) << c.text;  // not before the end
        Run("p:Update(0.6) t = p:GetCurrentAnimationTime()");
        EXPECT_EQ(c.runs, ResourceManager::Instance().IsExist("ended")) << c.text;
        EXPECT_EQ(0.0, Number("t")) << c.text;
        std::shared_ptr<EngineCore::Resource> ended;
        if (ResourceManager::Instance().GetResource("ended", 9, ended))
            ResourceManager::Instance().RemoveResource(ended);
        Run("p:Update(0.6)");  // stopped: no second report
        EXPECT_FALSE(ResourceManager::Instance().IsExist("ended")) << c.text;
    }

    // A state that was left runs nothing, and that is no error.
    gameState->Close();
    Run("p:SetEndAnimationCallback([[#e = Animation() e:SetName('ended')]]) p:Play() p:Update(1) p:Update(1)");
    EXPECT_FALSE(ResourceManager::Instance().IsExist("ended"));

    // Without a current game state the text has nowhere to run.
    GameCore::Application::Instance().SetCurrentGameState(nullptr, true);
    Run("p:SetEndAnimationCallback([[#e = Animation() e:SetName('ended')]])"
        " p:Play() p:Update(1) p:Update(1)");
    EXPECT_FALSE(ResourceManager::Instance().IsExist("ended"));
}

TEST_F(AnimationScriptClassesTest, EndCallbackMayDropItsOwnScriptObject)
{
    AddSprite("s");
    MakeCurrentGameState();
    RunInGameState("a = Animation() a:SetName('short') a:BeginKey(0) a:EndKey() a:BeginKey(1) a:EndKey()"
                   " p = AnimationPlayer() p:SetName('named') p:SetSprite('s') p:SetAnimation('short')"
                   " p:SetEndAnimationCallback([[#p = nil e = Animation() e:SetName('ended')]]) p:Play()");
    // Played by the animation system: the run ends with a full collection that frees
    // the script object and its player while the player is reporting its end.
    EngineCore::AnimationSystem::Instance().Update(2.0f);
    EngineCore::AnimationSystem::Instance().Update(2.0f);
    EXPECT_TRUE(ResourceManager::Instance().IsExist("ended"));
    std::shared_ptr<EngineCore::AnimationPlayer> player;
    EngineCore::AnimationSystem::Instance().Update(0.1f);
    EXPECT_FALSE(EngineCore::AnimationSystem::Instance().GetAnimationPlayer("named", player));
}
