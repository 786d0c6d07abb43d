#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "engine/Renderer/RenderSystem.h"
#include "engine/Renderer/SpriteGroup.h"
#include "engine/Renderer/Texture.h"
#include "tests/support/RecordingSprite.h"

using namespace EngineCore;
using TestSupport::RecordingSprite;

namespace {

class SpriteGroupTest : public ::testing::Test {
protected:
    void SetUp() override { RenderSystem::Instance().SetCurrentGameState("groups"); }
    void TearDown() override { RenderSystem::Instance().RemoveGameState("groups"); }

    std::shared_ptr<RecordingSprite> Member(SpriteGroup& group)
    {
        auto sprite = std::make_shared<RecordingSprite>("m", log);
        EXPECT_TRUE(group.AddSprite(sprite));
        return sprite;
    }

    std::vector<std::string> log;
};

D3DXVECTOR4 Rgba(float r, float g, float b, float a)
{
    return D3DXVECTOR4{r, g, b, a};
}

uint32_t AlphaByte(const Sprite& s)
{
    return s.GetColor() >> 24;
}

}  // namespace

TEST_F(SpriteGroupTest, NewGroup)
{
    SpriteGroup group;
    EXPECT_EQ(Resource::RT_SPRITE_GROUP, group.GetType());
    group.SetVisible(true);
    EXPECT_FALSE(group.IsVisible());
    auto texture = std::shared_ptr<Resource>();
    EXPECT_TRUE(group.SetTexture(texture));
}

TEST_F(SpriteGroupTest, OpacityFollowsTheGroup)
{
    SpriteGroup group;
    auto member = Member(group);
    member->SetColor(0xC8102030u);  // alpha 200

    // Through the colour bytes: the member's alpha is scaled by new / old.
    group.SetColor(0x80FFFFFFu);
    EXPECT_EQ(100u, AlphaByte(*member));
    EXPECT_EQ(0x102030u, member->GetColor() & 0xFFFFFFu);
    group.SetColor(0xFFFFFFFFu);
    EXPECT_NEAR(200.0, AlphaByte(*member), 1.0);

    // The float path stores the new alpha first, so the member is divided by
    // the new alpha and multiplied by it again, each step through its colour
    // bytes: a low alpha comes back, a high one clamps at 255 on the way.
    member->SetColor(0x32102030u);  // alpha 50
    group.SetColorFloat(Rgba(1.0f, 1.0f, 1.0f, 0.5f));
    EXPECT_EQ(50u, AlphaByte(*member));
    member->SetColor(0xC8102030u);  // alpha 200: 200 / 0.5 clamps to 255, times 128/255
    group.SetColorFloat(Rgba(1.0f, 1.0f, 1.0f, 0.5f));
    EXPECT_EQ(128u, AlphaByte(*member));
}

TEST_F(SpriteGroupTest, ZeroAlphaOrScaleNeverGivesNanOrInfinity)
{
    SpriteGroup group;
    auto member = Member(group);
    member->SetVerticalScale(3.0f);

    group.SetColor(0x00FFFFFFu);
    EXPECT_EQ(0u, AlphaByte(*member));
    group.SetColor(0x80FFFFFFu);  // from 0: the member takes the group's alpha
    EXPECT_EQ(0x80u, AlphaByte(*member));
    EXPECT_TRUE(std::isfinite(member->GetColorFloat().w));

    group.SetVerticalScale(0.0f);
    EXPECT_EQ(0.0f, member->GetVerticalScale());
    group.SetVerticalScale(2.0f);  // from 0: the member takes the group's scale
    EXPECT_EQ(2.0f, member->GetVerticalScale());
    group.SetHorizontalScale(0.0f);
    group.SetHorizontalScale(0.5f);
    EXPECT_EQ(0.5f, member->GetHorizontalScale());
    // A position change runs the scale steps with the unchanged group values.
    group.SetVerticalScale(0.0f);
    group.SetPosition(1.0f, 1.0f);
    EXPECT_TRUE(std::isfinite(member->GetVerticalScale()));
    EXPECT_TRUE(std::isfinite(member->GetPositionX()));
}

TEST_F(SpriteGroupTest, TransformationsFollowTheGroup)
{
    SpriteGroup group;
    auto member = Member(group);
    member->SetPosition(1.0f, 2.0f);
    member->SetVerticalScale(1.5f);
    member->SetHorizontalScale(0.5f);
    member->SetRotation(0.25f);

    group.SetPosition(10.0f, 5.0f);
    EXPECT_FLOAT_EQ(11.0f, member->GetPositionX());
    EXPECT_FLOAT_EQ(7.0f, member->GetPositionY());

    group.SetVerticalScale(2.0f);
    group.SetHorizontalScale(4.0f);
    EXPECT_FLOAT_EQ(3.0f, member->GetVerticalScale());
    EXPECT_FLOAT_EQ(2.0f, member->GetHorizontalScale());
    EXPECT_FLOAT_EQ(11.0f, member->GetPositionX());

    // Rotation and priority turn against the group: members change by old - new.
    group.SetRotation(1.0f);
    EXPECT_FLOAT_EQ(0.25f - 1.0f, member->GetRotation());
    member->SetPriority(3.0f);
    group.SetPriority(2.0f);
    EXPECT_FLOAT_EQ(3.0f - 2.0f, member->GetPriority());
    EXPECT_FLOAT_EQ(2.0f, group.GetPriority());

    // A member added afterwards is not adjusted.
    auto late = Member(group);
    EXPECT_EQ(0.0f, late->GetPositionX());
    EXPECT_EQ(1.0f, late->GetVerticalScale());
}

TEST_F(SpriteGroupTest, NestedGroupPassesChangesOn)
{
    SpriteGroup outer;
    auto inner = std::make_shared<SpriteGroup>();
    EXPECT_TRUE(outer.AddSprite(inner));
    auto leaf = Member(*inner);
    outer.SetPosition(4.0f, -2.0f);
    EXPECT_FLOAT_EQ(4.0f, leaf->GetPositionX());
    EXPECT_FLOAT_EQ(-2.0f, leaf->GetPositionY());
    EXPECT_FLOAT_EQ(4.0f, inner->GetPositionX());
}

namespace {

class PlainTexture : public Texture {};

}  // namespace

TEST_F(SpriteGroupTest, AddAndRemoveRefuseWhatCannotBeAMember)
{
    SpriteGroup group;
    // A share that does not own the group, as the resource manager's would be.
    auto self = std::shared_ptr<Resource>(&group, [](Resource*) {});
    auto inner = std::make_shared<SpriteGroup>();
    auto innermost = std::make_shared<SpriteGroup>();
    ASSERT_TRUE(group.AddSprite(inner));
    ASSERT_TRUE(inner->AddSprite(innermost));

    struct Case {
        const char* name;
        std::shared_ptr<Resource> resource;
    } refused[] = {
        {"empty", nullptr},
        {"not a sprite", std::make_shared<PlainTexture>()},
        {"the group itself", self},
    };
    for (const Case& c : refused) {
        EXPECT_FALSE(group.AddSprite(c.resource)) << c.name;
    }
    // A group that contains this one, at any depth, would recurse without end.
    EXPECT_FALSE(innermost->AddSprite(self));
    EXPECT_FALSE(inner->AddSprite(self));

    auto sprite = Member(group);
    EXPECT_TRUE(group.AddSprite(sprite));  // already a member: stays once
    EXPECT_FALSE(group.RemoveSprite(nullptr));
    EXPECT_TRUE(group.RemoveSprite(sprite));
    EXPECT_TRUE(group.RemoveSprite(sprite));  // not a member any more: still true
    group.SetPosition(5.0f, 5.0f);
    EXPECT_EQ(0.0f, sprite->GetPositionX());
}

namespace {

// A member whose position setter removes another member from the group, as a
// canvas hook running script text could.
class RemovingSprite : public RecordingSprite {
public:
    using RecordingSprite::RecordingSprite;
    void SetPosition(float x, float y) override
    {
        RecordingSprite::SetPosition(x, y);
        if (group != nullptr && victim) {
            group->RemoveSprite(victim);
            victim.reset();
        }
    }
    SpriteGroup* group = nullptr;
    std::shared_ptr<Resource> victim;
};

}  // namespace

TEST_F(SpriteGroupTest, MemberRemovedDuringAPassIsSkipped)
{
    SpriteGroup group;
    auto a = std::make_shared<RemovingSprite>("a", log);
    auto b = std::make_shared<RemovingSprite>("b", log);
    ASSERT_TRUE(group.AddSprite(a));
    ASSERT_TRUE(group.AddSprite(b));
    // Whichever comes first in the set removes the other.
    std::weak_ptr<RemovingSprite> weakA = a, weakB = b;
    a->group = &group;
    a->victim = b;
    b->group = &group;
    b->victim = a;
    a.reset();
    b.reset();
    group.SetPosition(1.0f, 0.0f);
    const bool aLeft = weakA.expired();
    const bool bLeft = weakB.expired();
    EXPECT_NE(aLeft, bLeft) << "exactly one member is removed and freed";
    auto survivor = aLeft ? weakB.lock() : weakA.lock();
    ASSERT_TRUE(survivor);
    EXPECT_FLOAT_EQ(1.0f, survivor->GetPositionX());
}
