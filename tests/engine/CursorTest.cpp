// The cursor's frame animation and its player controls.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "engine/Animation/Animation.h"
#include "engine/Animation/AnimationPlayer.h"
#include "engine/GUI/Cursor.h"
#include "engine/GUI/GUISystem.h"
#include "engine/Renderer/RenderSystem.h"
#include "engine/Resources/ResourceManager.h"
#include "tests/support/FakeSprites.h"

using namespace EngineCore;
using TestSupport::FakeAnimatedSprite;
using TestSupport::SizedTexture;

namespace {

// Show and Hide are the GUI system's; the tests reach them here.
class ShownCursor : public Cursor {
public:
    using Cursor::Hide;
    using Cursor::Show;
};

class CursorTest : public testing::Test {
protected:
    void SetUp() override
    {
        RenderSystem::Instance().SetCurrentGameState("cursor");
        sprite = std::make_shared<FakeAnimatedSprite>();
        ResourceManager::Instance().AddResource("Hand", sprite);
        // Four 32 x 32 cells side by side.
        sprite->SetTexture(std::make_shared<SizedTexture>(128, 32));
        sprite->SetTextureRect(0, 0, 32, 32);
    }
    void TearDown() override { ResourceManager::Instance().Clear(); }

    float FrameX() const
    {
        float x, y, w, h;
        sprite->GetTextureRect(x, y, w, h);
        return x;
    }

    std::shared_ptr<FakeAnimatedSprite> sprite;
};

}  // namespace

TEST_F(CursorTest, FrameAnimationIsBuiltAndRegistered)
{
    ShownCursor cursor;
    cursor.SetSprite(sprite);
    cursor.SetNumAnimatedFrames(4);
    std::shared_ptr<Resource> resource;
    ASSERT_TRUE(ResourceManager::Instance().IsExist("AnimatedCursors.Hand.Animation"));
    ASSERT_TRUE(ResourceManager::Instance().GetResource("AnimatedCursors.Hand.Animation", 9, resource));
    auto animation = std::dynamic_pointer_cast<Animation>(resource);
    ASSERT_TRUE(animation);
    ASSERT_EQ(4u, animation->GetNumKeys());
    const float times[] = {0.0f, 1.0f / 3.0f, 2.0f / 3.0f, 1.0f};
    for (unsigned i = 0; i < 4; ++i)
        EXPECT_FLOAT_EQ(times[i], animation->GetFrameTime(i)) << i;
    EXPECT_FLOAT_EQ(1.0f, animation->GetLength());
    const auto player = cursor.GetPlayer();
    EXPECT_EQ(4u, player->GetNumAnimatedFrames());
    EXPECT_EQ(0u, player->GetStartAnimationFrame());
    EXPECT_EQ(AnimationPlayer::AT_LOOP, player->GetAnimationType());
}

TEST_F(CursorTest, OneFrameOrNoSprite)
{
    ShownCursor cursor;
    try {
        cursor.SetNumAnimatedFrames(3);
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ("File: \"GUI\\Cursor.cpp\"\nLine: 139\n\nError: Cursor::SetNumAnimatedFrames call before "
                  "sprite initializing.",
                  std::string(e.what()));
    }
    // The player controls need a sprite; without one they do nothing.
    cursor.Play();
    cursor.Stop();
    cursor.Pause();
    cursor.SetAnimationSpeed(2);
    cursor.SetStartAnimationFrame(1);
    cursor.Update(1);
    EXPECT_FALSE(cursor.GetPlayer());

    cursor.SetSprite(sprite);
    cursor.SetNumAnimatedFrames(1);
    cursor.SetNumAnimatedFrames(0);
    cursor.SetNumAnimatedFrames(4294967295u);  // what a script's -1 becomes
    EXPECT_FALSE(ResourceManager::Instance().IsExist("AnimatedCursors.Hand.Animation"));
}

TEST_F(CursorTest, PlaysOnlyWhileShown)
{
    ShownCursor cursor;
    cursor.SetSprite(sprite);
    cursor.SetNumAnimatedFrames(4);
    cursor.SetAnimationSpeed(2.0f);
    cursor.Show();
    cursor.Update(0.2f);  // not playing yet
    EXPECT_FLOAT_EQ(0.0f, cursor.GetPlayer()->GetAnimationTime());
    cursor.Play();
    // Speed 2: a quarter second is half the animation, so past frame 1 of 0..3.
    cursor.Update(0.25f);
    EXPECT_FLOAT_EQ(0.5f, cursor.GetPlayer()->GetAnimationTime());
    cursor.Update(0.25f);
    EXPECT_FLOAT_EQ(32.0f, FrameX());  // sampled at 0.5 s, halfway from frame 1 to 2: frame 1
    cursor.Hide();
    const float hiddenTime = cursor.GetPlayer()->GetAnimationTime();
    cursor.Update(0.3f);
    EXPECT_FLOAT_EQ(hiddenTime, cursor.GetPlayer()->GetAnimationTime());
    cursor.Show();
    cursor.Stop();
    EXPECT_FLOAT_EQ(0.0f, FrameX());
    cursor.Update(0.25f);  // stopped
    EXPECT_FLOAT_EQ(0.0f, cursor.GetPlayer()->GetAnimationTime());

    // A new sprite starts a fresh, stopped player with no animation.
    cursor.SetSprite(sprite);
    cursor.Play();
    cursor.Update(0.25f);
    EXPECT_FLOAT_EQ(0.0f, cursor.GetPlayer()->GetAnimationTime());
    // An empty sprite keeps the player.
    const auto player = cursor.GetPlayer();
    cursor.SetSprite(nullptr);
    EXPECT_EQ(player, cursor.GetPlayer());
}
