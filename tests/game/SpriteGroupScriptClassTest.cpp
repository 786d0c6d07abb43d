#include <memory>
#include <set>
#include <stdexcept>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <lua.hpp>

#include "engine/Renderer/RenderSystem.h"
#include "engine/Renderer/SpriteGroup.h"
#include "engine/Resources/ResourceManager.h"
#include "tests/support/FakeSprites.h"
#include "tests/support/ScriptClassFixture.h"

using EngineCore::Resource;
using EngineCore::ResourceManager;
using TestSupport::FakeAnimatedSprite;
using testing::EndsWith;

namespace {

const char kState[] = "sprite group script tests";
const char kNotInitialised[] = "Error: Sprite group is not initialized. First call - SetName().";

class SpriteGroupScriptClassTest : public TestSupport::ScriptClassFixture<> {
protected:
    void SetUp() override
    {
        EngineCore::RenderSystem::Instance().SetCurrentGameState(kState);
        ASSERT_NO_FATAL_FAILURE(OpenScripts());
    }
    void TearDown() override
    {
        engine.Close();
        ResourceManager::Instance().Clear();
        EngineCore::RenderSystem::Instance().RemoveGameState(kState);
    }

    // A member sprite stored under the name.
    std::shared_ptr<FakeAnimatedSprite> Member(const std::string& name)
    {
        auto sprite = std::make_shared<FakeAnimatedSprite>();
        EXPECT_TRUE(ResourceManager::Instance().AddResource(name, sprite));
        return sprite;
    }

    // The group stored under the name, or null.
    EngineCore::SpriteGroup* StoredGroup(const std::string& name)
    {
        std::shared_ptr<Resource> resource;
        if (!ResourceManager::Instance().IsExist(name) ||
            !ResourceManager::Instance().GetResource(name, Resource::RT_SPRITE_GROUP, resource))
            return nullptr;
        return dynamic_cast<EngineCore::SpriteGroup*>(resource.get());
    }
};

const char* const kMethods[] = {
    "GetName",          "SetName",           "AddSprite",   "RemoveSprite", "SetOpacity",
    "SetPosition",      "SetPriority",       "SetRotation", "SetVerticalScale", "SetHorizontalScale",
    "GetPosition",      "GetPriority",       "GetRotation", "GetVerticalScale", "GetHorizontalScale",
};

TEST_F(SpriteGroupScriptClassTest, EveryMethodButSetNameNeedsAGroup)
{
    std::set<std::string> expected(std::begin(kMethods), std::end(kMethods));
    expected.insert("new");
    EXPECT_EQ(expected, Methods("SpriteGroup"));

    // The check comes before any argument is read.
    for (const char* method : kMethods) {
        if (std::string(method) == "SetName")
            continue;
        SCOPED_TRACE(method);
        EXPECT_THAT(FailureOf(std::string("g = SpriteGroup() g:") + method + "()"), EndsWith(kNotInitialised));
    }
}

// Each row: the script calls on a group holding one member, and the member's values after.
TEST_F(SpriteGroupScriptClassTest, GroupChangesReachTheMembers)
{
    struct Case {
        const char* script;
        float x, y, priority, rotationDegrees, vscale, hscale;
        uint32_t alpha;
    } cases[] = {
        {"g:SetPosition(10, -4)", 13, 0, 5, 0, 1, 1, 255},
        {"g:SetPosition(10, 0) g:SetPosition(25, 5)", 28, 9, 5, 0, 1, 1, 255},
        {"g:SetVerticalScale(3)", 3, 4, 5, 0, 3, 1, 255},
        {"g:SetHorizontalScale(3) g:SetHorizontalScale(1)", 3, 4, 5, 0, 1, 1, 255},
        // Rotation and priority move against the group's change.
        {"g:SetRotation(30)", 3, 4, 5, -30, 1, 1, 255},
        {"g:SetPriority(2)", 3, 4, 3, 0, 1, 1, 255},
        // Opacity is one-way: a faded member is not brought back.
        {"g:SetOpacity(0.5)", 3, 4, 5, 0, 1, 1, 128},
        {"g:SetOpacity(0.5) g:SetOpacity(1)", 3, 4, 5, 0, 1, 1, 128},
        // A scale or an opacity of 0 leaves nothing to divide by next time.
        {"g:SetVerticalScale(0) g:SetVerticalScale(2)", 3, 4, 5, 0, 2, 1, 255},
        {"g:SetOpacity(0) g:SetOpacity(1)", 3, 4, 5, 0, 1, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        auto member = Member("hero");
        member->SetPosition(3, 4);
        member->SetPriority(5);
        Run(std::string("g = SpriteGroup() g:SetName('party') g:AddSprite('hero') ") + c.script);
        EXPECT_FLOAT_EQ(c.x, member->GetPositionX());
        EXPECT_FLOAT_EQ(c.y, member->GetPositionY());
        EXPECT_FLOAT_EQ(c.priority, member->GetPriority());
        EXPECT_NEAR(c.rotationDegrees, member->GetRotation() * 57.295776f, 1e-3f);
        EXPECT_FLOAT_EQ(c.vscale, member->GetVerticalScale());
        EXPECT_FLOAT_EQ(c.hscale, member->GetHorizontalScale());
        EXPECT_EQ(c.alpha, member->GetColor() >> 24);
        ResourceManager::Instance().Clear();
    }
}

TEST_F(SpriteGroupScriptClassTest, GettersReportTheGroupsOwnValues)
{
    auto member = Member("hero");
    member->SetPosition(100, 100);
    Run("g = SpriteGroup() g:SetName('party') g:AddSprite('hero') "
        "g:SetPosition(7, 8) g:SetPriority(4) g:SetRotation(90) g:SetVerticalScale(2) g:SetHorizontalScale(0.5) "
        "x, y = g:GetPosition() p = g:GetPriority() r = g:GetRotation() v = g:GetVerticalScale() "
        "h = g:GetHorizontalScale() n = g:GetName()");
    EXPECT_EQ(7, Number("x"));
    EXPECT_EQ(8, Number("y"));
    EXPECT_EQ(4, Number("p"));
    EXPECT_NEAR(90, Number("r"), 1e-4);
    EXPECT_EQ(2, Number("v"));
    EXPECT_EQ(0.5, Number("h"));
    lua_getglobal(L, "n");
    EXPECT_STREQ("party", lua_tostring(L, -1));
    lua_pop(L, 1);
}

TEST_F(SpriteGroupScriptClassTest, MembershipByName)
{
    auto hero = Member("hero");
    auto ghost = Member("ghost");
    // Unknown names change nothing; a member added twice is moved once.
    Run("g = SpriteGroup() g:SetName('party') g:AddSprite('nobody') g:RemoveSprite('nobody') "
        "g:AddSprite('hero') g:AddSprite('hero') g:AddSprite('ghost') g:RemoveSprite('ghost') g:SetPosition(10, 0)");
    EXPECT_EQ(10, hero->GetPositionX());
    EXPECT_EQ(0, ghost->GetPositionX());

    // A name held by something that is not a sprite is refused.
    auto texture = std::make_shared<TestSupport::SizedTexture>(4, 4);
    ASSERT_TRUE(ResourceManager::Instance().AddResource("wall", texture));
    EXPECT_THAT(FailureOf("g:AddSprite('wall')"), EndsWith("Error: Internal error."));
    EXPECT_THAT(FailureOf("g:RemoveSprite('wall')"), EndsWith("Error: Internal error."));

    // A member outlives its manager entry while the group holds it.
    std::weak_ptr<FakeAnimatedSprite> watch = hero;
    hero.reset();
    ResourceManager::Instance().Update(1.0f);
    Run("g:SetPosition(20, 0)");
    ASSERT_FALSE(watch.expired());
    EXPECT_EQ(20, watch.lock()->GetPositionX());
}

TEST_F(SpriteGroupScriptClassTest, EverySetNameMakesANewEmptyGroup)
{
    auto hero = Member("hero");
    Run("g = SpriteGroup() g:SetName('first') g:AddSprite('hero') g:SetName('second') g:SetPosition(10, 0)");
    EngineCore::SpriteGroup* first = StoredGroup("first");
    EngineCore::SpriteGroup* second = StoredGroup("second");
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, second);
    EXPECT_NE(first, second);
    EXPECT_EQ(0, hero->GetPositionX());  // the second group has no members
    first->SetPosition(5, 0);
    EXPECT_EQ(5, hero->GetPositionX());  // the first keeps its own

    // The same name again replaces the stored group, whatever was stored there.
    Run("g:SetName('hero')");
    EXPECT_NE(nullptr, StoredGroup("hero"));
    EXPECT_EQ(nullptr, dynamic_cast<FakeAnimatedSprite*>(StoredGroup("hero")));
}

TEST_F(SpriteGroupScriptClassTest, AGroupNeverContainsItself)
{
    auto hero = Member("hero");
    Run("a = SpriteGroup() a:SetName('a') b = SpriteGroup() b:SetName('b') c = SpriteGroup() c:SetName('c') "
        "a:AddSprite('a') a:AddSprite('b') b:AddSprite('c') c:AddSprite('hero') "
        "c:AddSprite('a') b:AddSprite('a') "
        "a:SetPosition(10, 0) a:SetPriority(1) a:SetOpacity(0.5)");
    // Through a, b and c the change reaches the sprite once, and the cycle was never made.
    EXPECT_EQ(10, hero->GetPositionX());
    EXPECT_EQ(128u, hero->GetColor() >> 24);
}

}  // namespace
