#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/Animation/Animation.h"
#include "engine/Animation/AnimationPlayer.h"
#include "engine/Animation/AnimationSystem.h"
#include "engine/Renderer/RenderSystem.h"
#include "tests/support/FakeSprites.h"

using namespace EngineCore;
using TestSupport::RecordingMesh;
using TestSupport::FakeAnimatedSprite;
using TestSupport::SizedTexture;

namespace {

// Translation x = 10 × time, from key 0 at time 0 to key 1 at `length`.
std::shared_ptr<Animation> Slide(float length)
{
    auto a = std::make_shared<Animation>();
    AnimationKey k0;
    k0.SetTranslation(D3DXVECTOR3{0, 0, 0});
    AnimationKey k1;
    k1.SetTranslation(D3DXVECTOR3{10 * length, 0, 0});
    a->AddAnimationKey(k0, 0);
    a->AddAnimationKey(k1, length);
    return a;
}

class AnimationPlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RenderSystem::Instance().SetCurrentGameState("player-test");
        sprite = std::make_shared<FakeAnimatedSprite>();
    }

    std::shared_ptr<FakeAnimatedSprite> sprite;
};

}  // namespace

TEST_F(AnimationPlayerTest, PlaysOnceOrLoopsWithEndReports)
{
    struct Case {
        AnimationPlayer::AnimationType type;
        float positions[4];
        int callbacks[4];
    } cases[] = {
        // Once: clamped to the end, then the last key shows, the player stops at 0
        // and reports the end; further updates do nothing.
        {AnimationPlayer::AT_ONCE, {1.5f, 2.0f, 0.0f, 0.0f}, {0, 0, 1, 1}},
        {AnimationPlayer::AT_LOOP, {1.5f, 1.0f, 0.5f, 2.0f}, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        AnimationPlayer player;
        int calls = 0;
        void* seen = nullptr;
        int token = 0;
        player.SetEndAnimationCallback([&](void* user) { ++calls, seen = user; }, &token);
        player.SetSprite(sprite);
        player.SetAnimation(Slide(2.0f));
        player.SetAnimationType(c.type);
        player.Play();
        for (int i = 0; i < 4; ++i) {
            player.Update(1.5f, false);
            EXPECT_FLOAT_EQ(c.positions[i], player.GetAnimationTime()) << c.type << " step " << i;
            EXPECT_EQ(c.callbacks[i], calls) << c.type << " step " << i;
        }
        if (c.type == AnimationPlayer::AT_ONCE) {
            EXPECT_EQ(&token, seen);
            EXPECT_FLOAT_EQ(20.0f, sprite->GetPositionX());  // the last key stays shown
        }
    }
}

TEST_F(AnimationPlayerTest, LoopStepOfSeveralLengthsStaysInRange)
{
    AnimationPlayer player;
    player.SetSprite(sprite);
    player.SetAnimation(Slide(2.0f));
    player.SetAnimationType(AnimationPlayer::AT_LOOP);
    player.Play();
    player.Update(5.0f, false);
    EXPECT_FLOAT_EQ(1.0f, player.GetAnimationTime());
    player.Update(1e30f, false);
    EXPECT_LE(player.GetAnimationTime(), 2.0f);
}

TEST_F(AnimationPlayerTest, ExternalCallbackControlWaitsForUpdateCallback)
{
    struct Driver : AnimationPlayer {
        using AnimationPlayer::SetExternalCallbackControl;
        using AnimationPlayer::UpdateCallback;
    };
    Driver player;
    int calls = 0;
    player.SetEndAnimationCallback([&](void*) { ++calls; }, nullptr);
    player.SetExternalCallbackControl(true);
    player.SetSprite(sprite);
    player.SetAnimation(Slide(1.0f));
    for (bool discard : {false, true}) {
        calls = 0;
        player.Play();
        player.Update(2.0f, false);
        player.Update(2.0f, false);
        EXPECT_EQ(0, calls);
        if (discard)
            player.SetPosition(0.5f);
        player.UpdateCallback();
        player.UpdateCallback();
        EXPECT_EQ(discard ? 0 : 1, calls);
    }
}

TEST_F(AnimationPlayerTest, PositionSpeedAndOffset)
{
    AnimationPlayer player;
    player.SetPosition(-1.0f);
    EXPECT_EQ(0.0f, player.GetAnimationTime());

    sprite->SetPosition(100, 50);
    player.SetSprite(sprite);
    player.SetAnimation(Slide(2.0f));
    player.SetAnimationSpeed(0.5f);
    player.SetPositionOffset(1, 2);
    player.Play();
    player.Update(1.0f, false);  // applies time 0, then moves to 0.5
    player.Update(0.0f, false);  // applies time 0.5
    EXPECT_FLOAT_EQ(0.5f, player.GetAnimationTime());
    EXPECT_FLOAT_EQ(106.0f, sprite->GetPositionX());
    EXPECT_FLOAT_EQ(52.0f, sprite->GetPositionY());

    player.Pause();
    player.Update(1.0f, false);
    EXPECT_FLOAT_EQ(0.5f, player.GetAnimationTime());
    player.Update(1.0f, true);  // forced: applies but does not advance
    EXPECT_FLOAT_EQ(0.5f, player.GetAnimationTime());

    player.Stop();
    EXPECT_EQ(0.0f, player.GetAnimationTime());
    EXPECT_FLOAT_EQ(101.0f, sprite->GetPositionX());  // shown at time 0
}

TEST_F(AnimationPlayerTest, NothingHappensWithoutSpriteOrAnimation)
{
    AnimationPlayer noAnimation;
    noAnimation.SetSprite(sprite);
    noAnimation.Play();
    noAnimation.Update(1.0f, false);
    noAnimation.Stop();
    noAnimation.SetAnimationFrame(3);
    EXPECT_EQ(0.0f, noAnimation.GetAnimationTime());
    EXPECT_EQ(0.0f, noAnimation.GetAnimationLength());

    AnimationPlayer noSprite;
    noSprite.SetAnimation(Slide(2.0f));
    noSprite.Play();
    noSprite.Update(1.0f, false);
    EXPECT_EQ(0.0f, noSprite.GetAnimationTime());
    EXPECT_EQ(2.0f, noSprite.GetAnimationLength());
    EXPECT_TRUE(sprite->calls.empty());
}

TEST_F(AnimationPlayerTest, AppliesChannelsInOrderOnBaseValues)
{
    sprite->SetVerticalScale(2);
    sprite->SetHorizontalScale(3);
    sprite->SetRotation(1);
    sprite->SetPriority(5);
    sprite->SetColor(0x80FF0000u);  // alpha 128, red 255
    auto a = std::make_shared<Animation>();
    AnimationKey key;
    key.SetScale(D3DXVECTOR3{0.5f, 0.25f, 0});
    key.SetRotation(D3DXQUATERNION{0, 0, std::sin(0.25f), std::cos(0.25f)});  // 0.5 rad about z
    key.SetDiffuseColor(D3DXVECTOR3{-1.0f, 0.5f, 0});
    key.SetOpacity(0.25f);
    a->AddAnimationKey(key, 0);

    AnimationPlayer player;
    player.SetSprite(sprite);
    player.SetAnimation(a);
    sprite->calls.clear();
    player.Update(0, true);
    const std::vector<std::string> order = {"SetVerticalScale", "SetHorizontalScale", "SetRotation",
                                            "SetPosition", "SetColor", "SetTextureRect"};
    EXPECT_EQ(order, sprite->calls);  // no priority while no translation z was seen
    EXPECT_FLOAT_EQ(2.25f, sprite->GetVerticalScale());
    EXPECT_FLOAT_EQ(3.5f, sprite->GetHorizontalScale());
    EXPECT_NEAR(0.5f, sprite->GetRotation(), 1e-6f);  // base 1 minus 0.5
    // red 255 + int(-254.5) = 1; green 0 + 128; blue 0; alpha 128 + 64.
    EXPECT_EQ(0xC0018000u, sprite->GetColor());
}

TEST_F(AnimationPlayerTest, ColourOffsetsClampToBytes)
{
    sprite->SetColor(0x10F00010u);
    auto a = std::make_shared<Animation>();
    AnimationKey key;
    key.SetDiffuseColor(D3DXVECTOR3{1.0f, 0, -1.0f});
    key.SetOpacity(-1.0f);
    a->AddAnimationKey(key, 0);
    AnimationPlayer player;
    player.SetSprite(sprite);
    player.SetAnimation(a);
    player.Update(0, true);
    EXPECT_EQ(0x00FF0000u, sprite->GetColor());
}

TEST_F(AnimationPlayerTest, PriorityFollowsOnceTranslationZWasSeen)
{
    sprite->SetPriority(3);
    auto a = std::make_shared<Animation>();
    AnimationKey flat;
    flat.SetTranslation(D3DXVECTOR3{0, 0, 0});
    AnimationKey raised;
    raised.SetTranslation(D3DXVECTOR3{0, 0, 0.5f});
    a->AddAnimationKey(flat, 0);
    a->AddAnimationKey(raised, 1);
    a->AddAnimationKey(flat, 2);
    AnimationPlayer player;
    player.SetSprite(sprite);
    player.SetAnimation(a);
    struct Step {
        unsigned key;
        bool touched;
        float priority;
    } steps[] = {{0, false, 3}, {1, true, 3.5f}, {2, true, 3}, {0, true, 3}};
    for (const Step& s : steps) {
        sprite->calls.clear();
        player.SetAnimationFrame(s.key);
        const bool touched =
            std::find(sprite->calls.begin(), sprite->calls.end(), "SetPriority") != sprite->calls.end();
        EXPECT_EQ(s.touched, touched) << s.key;
        EXPECT_FLOAT_EQ(s.priority, sprite->GetPriority()) << s.key;
    }
}

TEST_F(AnimationPlayerTest, FrameRectangles)
{
    struct Case {
        const char* name;
        unsigned texW, texH;
        float rx, ry, rw, rh;
        unsigned start, count;
        int frame;
        float x, y;
    } cases[] = {
        {"down the first column", 256, 256, 0, 0, 64, 64, 0, 16, 2, 0, 128},
        {"second column", 256, 256, 0, 0, 64, 64, 0, 16, 5, 64, 64},
        {"wraps at the count", 256, 256, 0, 0, 64, 64, 0, 16, 16, 0, 0},
        {"start frame adds", 256, 256, 0, 0, 64, 64, 3, 16, 2, 64, 64},
        {"corner offsets", 256, 256, 8, 4, 64, 64, 0, 16, 1, 8, 68},
        {"past the right edge", 256, 256, 0, 0, 64, 64, 0, 64, 20, 64, 0},
        {"negative index", 256, 256, 0, 0, 64, 64, 0, 16, -3, 0, 0},
        // The cases below once looped forever or divided by zero.
        {"no frame count", 256, 256, 0, 0, 64, 64, 0, 0, 5, 64, 64},
        {"no texture width", 0, 256, 0, 0, 64, 64, 0, 16, 5, 64, 64},
        {"no texture", 0, 0, 0, 0, 64, 64, 0, 16, 5, 0, 0},
        {"height below one", 256, 256, 0, 0, 64, 0.5f, 0, 16, 5, 0, 0},
        {"far past the edge", 256, 256, 0, 0, 64, 64, 0, 2000000000, 1999999999, 192, 192},
    };
    for (const Case& c : cases) {
        auto s = std::make_shared<FakeAnimatedSprite>();
        s->SetTexture(std::make_shared<SizedTexture>(c.texW, c.texH));
        s->SetTextureRect(c.rx, c.ry, c.rw, c.rh);
        auto a = std::make_shared<Animation>();
        AnimationKey key;
        key.SetAnimationFrame(c.frame);
        a->AddAnimationKey(key, 0);
        AnimationPlayer player;
        player.SetSprite(s);
        player.SetAnimation(a);
        player.SetStartAnimationFrame(c.start);
        player.SetNumAnimatedFrames(c.count);
        player.Update(0, true);
        float x, y, w, h;
        s->GetTextureRect(x, y, w, h);
        EXPECT_EQ(c.x, x) << c.name;
        EXPECT_EQ(c.y, y) << c.name;
        EXPECT_EQ(c.rw, w) << c.name;
        EXPECT_EQ(c.rh, h) << c.name;
    }
}

TEST_F(AnimationPlayerTest, VertexDataMovesMeshNodesFromTheBottomRow)
{
    auto mesh = std::make_shared<RecordingMesh>();
    mesh->SetupMesh(3, 2);
    auto a = std::make_shared<Animation>();
    AnimationKey key;
    std::vector<float> data;
    for (int i = 0; i < 7; ++i)  // a seventh node that the mesh lacks is dropped
        data.insert(data.end(), {float(i), float(10 * i), 99.0f});
    data.push_back(5.0f);  // a partial node is dropped
    key.SetVertexData(data);
    a->AddAnimationKey(key, 0);
    AnimationPlayer player;
    player.SetSprite(mesh);
    player.SetAnimation(a);
    player.Update(0, true);
    ASSERT_EQ(6u, mesh->displacements.size());
    const int expected[6][2] = {{0, 1}, {1, 1}, {2, 1}, {0, 0}, {1, 0}, {2, 0}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(expected[i][0], mesh->displacements[i].column) << i;
        EXPECT_EQ(expected[i][1], mesh->displacements[i].row) << i;
        EXPECT_EQ(float(i), mesh->displacements[i].dx);
        EXPECT_EQ(float(10 * i), mesh->displacements[i].dy);
        EXPECT_EQ(0, mesh->displacements[i].reference);
    }

    auto unset = std::make_shared<RecordingMesh>();  // no grid yet: nothing to move
    player.SetSprite(unset);
    player.Update(0, true);
    EXPECT_TRUE(unset->displacements.empty());
}

TEST_F(AnimationPlayerTest, SetSpriteRewindsPreviousAndChecksTypes)
{
    auto first = std::make_shared<FakeAnimatedSprite>();
    first->SetTexture(std::make_shared<SizedTexture>(256, 256));
    first->SetTextureRect(0, 0, 64, 64);
    AnimationPlayer player;
    player.SetSprite(first);
    player.SetAnimation(Slide(2.0f));
    player.SetNumAnimatedFrames(16);
    player.SetAnimationFrame(1);
    EXPECT_FLOAT_EQ(20.0f, first->GetPositionX());

    // Not a sprite, not an animation: ignored.
    player.SetSprite(std::make_shared<Animation>());
    EXPECT_EQ(first, player.GetSprite());
    player.SetAnimation(std::make_shared<SizedTexture>(1, 1));
    EXPECT_EQ(2.0f, player.GetAnimationLength());

    // A sprite without a texture keeps the texture size taken from the first.
    auto second = std::make_shared<FakeAnimatedSprite>();
    second->SetTextureRect(0, 0, 64, 64);
    auto frameAnimation = std::make_shared<Animation>();
    AnimationKey key;
    key.SetAnimationFrame(5);
    frameAnimation->AddAnimationKey(key, 0);
    player.SetSprite(second);
    EXPECT_FLOAT_EQ(0.0f, first->GetPositionX());  // the first went back to its first key
    player.SetAnimation(frameAnimation);
    player.Update(0, true);
    float x, y, w, h;
    second->GetTextureRect(x, y, w, h);
    EXPECT_EQ(64.0f, x);
    EXPECT_EQ(64.0f, y);

    player.SetSprite(nullptr);
    EXPECT_EQ(nullptr, player.GetSprite());
}

TEST_F(AnimationPlayerTest, EndCallbackMayDropThePlayer)
{
    auto player = std::make_shared<AnimationPlayer>();
    std::weak_ptr<AnimationPlayer> watch = player;
    player->SetSprite(sprite);
    player->SetAnimation(Slide(1.0f));
    player->SetEndAnimationCallback([&player](void*) { player.reset(); }, nullptr);
    player->Play();
    AnimationPlayer* raw = player.get();
    raw->Update(2.0f, false);
    raw->Update(2.0f, false);
    EXPECT_EQ(nullptr, player);
    EXPECT_TRUE(watch.expired());
}

namespace {

class AnimationSystemTest : public ::testing::Test {
protected:
    void SetUp() override { RenderSystem::Instance().SetCurrentGameState(state.c_str()); }

    // Each test files its players under a state of its own.
    std::string state = std::string("system-test.") +
                        ::testing::UnitTest::GetInstance()->current_test_info()->name();
};

}  // namespace

TEST_F(AnimationSystemTest, ReplacesNamesAndPrunesDeadPlayers)
{
    AnimationSystem& system = AnimationSystem::Instance();
    std::shared_ptr<AnimationPlayer> out;
    EXPECT_FALSE(system.GetAnimationPlayer("a", out));  // no table for this state yet

    std::shared_ptr<AnimationPlayer> first, second;
    EXPECT_TRUE(system.CreateAnimationPlayer("a", first));
    EXPECT_TRUE(system.CreateAnimationPlayer("a", second));
    ASSERT_TRUE(system.GetAnimationPlayer("a", out));
    EXPECT_EQ(second, out);
    EXPECT_FALSE(system.GetAnimationPlayer("A", out) && out);  // names are case-sensitive
    out.reset();

    second.reset();
    ASSERT_TRUE(system.GetAnimationPlayer("a", out));  // still filed, but dead
    EXPECT_EQ(nullptr, out);
    system.Update(0.1f);
    EXPECT_FALSE(system.GetAnimationPlayer("a", out));

    // Another state sees none of these.
    RenderSystem::Instance().SetCurrentGameState((state + ".other").c_str());
    std::shared_ptr<AnimationPlayer> third;
    system.CreateAnimationPlayer("b", third);
    RenderSystem::Instance().SetCurrentGameState(state.c_str());
    EXPECT_FALSE(system.GetAnimationPlayer("b", out));
}

TEST_F(AnimationSystemTest, UpdatesLivePlayersOfCurrentState)
{
    AnimationSystem& system = AnimationSystem::Instance();
    auto sprite = std::make_shared<FakeAnimatedSprite>();
    std::shared_ptr<AnimationPlayer> playing, stopped;
    system.CreateAnimationPlayer("playing", playing);
    system.CreateAnimationPlayer("stopped", stopped);
    for (auto* p : {&playing, &stopped}) {
        (*p)->SetSprite(sprite);
        (*p)->SetAnimation(Slide(2.0f));
    }
    playing->Play();
    system.Update(0.5f);
    EXPECT_FLOAT_EQ(0.5f, playing->GetAnimationTime());
    EXPECT_EQ(0.0f, stopped->GetAnimationTime());

    RenderSystem::Instance().SetCurrentGameState((state + ".elsewhere").c_str());
    system.Update(0.5f);
    EXPECT_FLOAT_EQ(0.5f, playing->GetAnimationTime());
}

TEST_F(AnimationSystemTest, EndCallbackMayChangeTheTable)
{
    AnimationSystem& system = AnimationSystem::Instance();
    auto sprite = std::make_shared<FakeAnimatedSprite>();
    std::shared_ptr<AnimationPlayer> a, b, fresh;
    system.CreateAnimationPlayer("a", a);
    system.CreateAnimationPlayer("b", b);
    a->SetSprite(sprite);
    a->SetAnimation(Slide(0.5f));
    b->SetSprite(sprite);
    b->SetAnimation(Slide(2.0f));
    a->Play();
    b->Play();
    a->SetPosition(0.5f);
    // At its end "a" frees itself and "b", and files a new "b".
    a->SetEndAnimationCallback(
        [&](void*) {
            a.reset();
            b.reset();
            system.CreateAnimationPlayer("b", fresh);
        },
        nullptr);
    system.Update(1.0f);
    EXPECT_EQ(nullptr, a);
    std::shared_ptr<AnimationPlayer> out;
    ASSERT_TRUE(system.GetAnimationPlayer("b", out));
    EXPECT_EQ(fresh, out);
    EXPECT_EQ(0.0f, fresh->GetAnimationTime());
    system.Update(1.0f);
    EXPECT_FALSE(system.GetAnimationPlayer("a", out));
    EXPECT_TRUE(system.GetAnimationPlayer("b", out));
}

TEST(AnimationSystem, NoCurrentStateIsAnError)
{
    RenderSystem::Instance().SetCurrentGameState("");
    std::shared_ptr<AnimationPlayer> out;
    struct Case {
        bool create;
        const char* text;
    } cases[] = {
        {true, "File: \"Animation\\AnimationSystem.cpp\"\nLine: 82\n\nError: Internal error."},
        {false, "File: \"Animation\\AnimationSystem.cpp\"\nLine: 56\n\nError: Internal error."},
    };
    for (const Case& c : cases) {
        try {
            if (c.create)
                AnimationSystem::Instance().CreateAnimationPlayer("x", out);
            else
                AnimationSystem::Instance().GetAnimationPlayer("x", out);
            ADD_FAILURE() << "no throw";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(c.text, e.what());
        }
    }
    AnimationSystem::Instance().Update(1.0f);  // nothing current: nothing to do
}
