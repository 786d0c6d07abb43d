// Named players advance by the application's frame step, scaled by the global
// animation speed.
#include "tests/game/GameFlowHarness.h"

#include "engine/Animation/Animation.h"

namespace GameFlowTest {
namespace {

using AnimationFrameStepTest = Harness;

TEST_F(AnimationFrameStepTest, NamedPlayersFollowTheGlobalAnimationSpeed)
{
    Start({"intro"}, "intro");
    ASSERT_EQ("intro", EngineCore::RenderSystem::Instance().GetCurrentGameState());

    auto animation = std::make_shared<EngineCore::Animation>();
    animation->AddAnimationKey(EngineCore::AnimationKey(), 0);
    animation->AddAnimationKey(EngineCore::AnimationKey(), 10);
    auto sprite = std::make_shared<FakeSprite>();
    std::shared_ptr<EngineCore::AnimationPlayer> player;
    EngineCore::AnimationSystem::Instance().CreateAnimationPlayer("intro.player", player);
    player->SetSprite(sprite);
    player->SetAnimation(animation);
    player->Play();

    struct Step {
        float speed;
        float dt;
        float position;
    } steps[] = {{1.0f, 0.5f, 0.5f}, {0.5f, 1.0f, 1.0f}, {2.0f, 0.25f, 1.5f}};
    for (const Step& s : steps) {
        app.SetGlobalAnimationSpeed(s.speed);
        Frame(s.dt);
        EXPECT_FLOAT_EQ(s.position, player->GetAnimationTime()) << s.speed;
    }
}

}  // namespace
}  // namespace GameFlowTest
