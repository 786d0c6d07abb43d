#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/Renderer/RenderSystem.h"
#include "engine/Resources/ResourceFactory.h"
#include "engine/Resources/ResourceManager.h"
#include "game/Character/CharacterAnimation.h"
#include "game/Character/CharacterAnimationState.h"
#include "game/Character/CharacterAnimationStorage.h"
#include "tests/support/FakeSprites.h"

using namespace GameCore;
using EngineCore::ResourceFactory;
using EngineCore::ResourceManager;
using TestSupport::FakeAnimatedSprite;
using TestSupport::SizedTexture;

namespace {

typedef CharacterAnimationState::AnimationFrame Frame;

Frame FrameOn(int texture, float offsetX = 0, float offsetY = 0)
{
    Frame f;
    f.textureIndex = texture;
    f.offsetX = offsetX;
    f.offsetY = offsetY;
    f.hotSpotX = 1;
    f.hotSpotY = 2;
    f.rectX = static_cast<float>(10 * texture);
    f.rectWidth = 8;
    f.rectHeight = 9;
    return f;
}

std::shared_ptr<CharacterAnimationState> StateOf(int frames, int frameTexture, int shadowTexture)
{
    auto state = std::make_shared<CharacterAnimationState>();
    for (int i = 0; i < frames; ++i)
        state->AddFrame(FrameOn(frameTexture, 3, 4));
    state->AddFrameShadow(FrameOn(shadowTexture, 3, 4));
    return state;
}

class CharacterAnimationTest : public testing::Test {
protected:
    void SetUp() override
    {
        EngineCore::RenderSystem::Instance().SetCurrentGameState("character-test");
        ResourceFactory::Instance().RegisterResourceCreator(2, [this] {
            auto sprite = std::make_shared<FakeAnimatedSprite>();
            made.push_back(sprite);
            return sprite;
        });
    }
    void TearDown() override
    {
        ResourceFactory::Instance().UnregisterResourceCreator(2);
        ResourceManager::Instance().Clear();
    }

    // An animation with two textures: frames on texture 0, shadows on texture 1.
    std::shared_ptr<CharacterAnimation> Walker(CharacterAnimationStorage& storage, int frames = 4)
    {
        auto animation = storage.CreateCharacterAnimation();
        EXPECT_EQ(0, animation->AddTexture(texture0));
        EXPECT_EQ(1, animation->AddTexture(texture1));
        animation->AddState("walk", StateOf(frames, 0, 1));
        animation->SetVisible(true);
        return animation;
    }

    std::shared_ptr<SizedTexture> texture0 = std::make_shared<SizedTexture>(16, 16);
    std::shared_ptr<SizedTexture> texture1 = std::make_shared<SizedTexture>(16, 16);
    std::vector<std::shared_ptr<FakeAnimatedSprite>> made;
};

}  // namespace

TEST_F(CharacterAnimationTest, TexturesGetOneSpriteEachNamedAcrossAnimations)
{
    CharacterAnimationStorage storage;
    auto first = storage.CreateCharacterAnimation();
    first->SetColor(0x80112233u);
    first->SetBlendMode(3);
    first->SetRotation(0.5f);
    EXPECT_EQ(0, first->AddTexture(texture0));
    const std::string name0 = made.at(0)->GetName();
    ASSERT_EQ(0u, name0.rfind("CharacterAnimation.Sprite.", 0)) << name0;
    const int n = std::stoi(name0.substr(26));
    auto second = storage.CreateCharacterAnimation();
    EXPECT_EQ(0, second->AddTexture(texture1)) << "indices count per animation";
    EXPECT_EQ(1, first->AddTexture(texture1));
    EXPECT_EQ(0, first->AddTexture(texture0)) << "a known texture keeps its index";
    ASSERT_EQ(3u, made.size()) << "and gets no second sprite";
    EXPECT_EQ("CharacterAnimation.Sprite." + std::to_string(n + 1), made[1]->GetName());
    EXPECT_EQ("CharacterAnimation.Sprite." + std::to_string(n + 2), made[2]->GetName());

    // The new sprite takes the texture, colour, blend and rotation once, hidden.
    EXPECT_EQ(texture0, made[0]->GetTexture());
    EXPECT_EQ(0x80112233u, made[0]->GetColor());
    EXPECT_EQ(3, made[0]->GetBlendMode());
    EXPECT_EQ(0.5f, made[0]->GetRotation());
    EXPECT_FALSE(made[0]->IsVisible());
    std::shared_ptr<EngineCore::Resource> out;
    EXPECT_TRUE(first->GetTexture(1, out));
    EXPECT_EQ(texture1, out);
    EXPECT_FALSE(first->GetTexture(2, out));

    // Without a sprite creator the texture is filed but the call fails with the sprite's name.
    ResourceFactory::Instance().UnregisterResourceCreator(2);
    auto other = std::make_shared<SizedTexture>(4, 4);
    try {
        first->AddTexture(other);
        ADD_FAILURE() << "no failure";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string::npos,
                  std::string(e.what()).find("Error: Resource (CharacterAnimation.Sprite." + std::to_string(n + 3) +
                                             ") creating error."))
            << e.what();
    }
}

TEST_F(CharacterAnimationTest, FramesAndShadowsArePlacedEachUpdate)
{
    CharacterAnimationStorage storage;
    auto animation = Walker(storage);
    animation->SetOriginalPosition(10, 10);
    animation->SetPriority(5);
    animation->Update(0.1f);
    FakeAnimatedSprite& frame = *made[0];
    FakeAnimatedSprite& shadow = *made[1];
    EXPECT_TRUE(frame.IsVisible());
    EXPECT_EQ(13.0f, frame.GetPositionX());
    EXPECT_EQ(14.0f, frame.GetPositionY());
    EXPECT_EQ(5.0f, frame.GetPriority());
    EXPECT_EQ(1.0f, frame.GetHotSpotX());
    EXPECT_EQ(1.0f, frame.GetVerticalScale());
    EXPECT_TRUE(shadow.IsVisible());
    EXPECT_EQ(16.0f, shadow.GetPositionX());
    EXPECT_EQ(18.0f, shadow.GetPositionY());
    EXPECT_EQ(-11.0f, shadow.GetPriority());
    EXPECT_EQ(2.0f, shadow.GetVerticalScale());
    EXPECT_EQ(2.0f, shadow.GetHorizontalScale());
    float x, y, w, h;
    shadow.GetTextureRect(x, y, w, h);
    EXPECT_EQ(10.0f, x);
    EXPECT_EQ(8.0f, w);

    // A frame and shadow on one texture share its sprite: only the shadow shows.
    auto shared = storage.CreateCharacterAnimation();
    shared->AddTexture(texture0);
    shared->AddState("s", StateOf(2, 0, 0));
    shared->SetShadowPriority(-3);
    shared->SetVisible(true);
    shared->Update(0.1f);
    EXPECT_EQ(2.0f, made[2]->GetHorizontalScale());
    EXPECT_EQ(-3.0f, made[2]->GetPriority());

    // Hidden: every sprite hidden and the state does not advance; paused: the frame stays.
    struct Case {
        const char* name;
        std::function<void(CharacterAnimation&)> set;
        bool shown;
        int frameAfter;
    } cases[] = {
        {"hidden", [](CharacterAnimation& a) { a.SetVisible(false); }, false, 0},
        {"paused", [](CharacterAnimation& a) { a.Pause(); }, true, 0},
        {"playing", [](CharacterAnimation& a) { a.Play(false); }, true, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CharacterAnimationStorage own;
        made.clear();
        auto a = Walker(own);
        a->Play(false);
        c.set(*a);
        a->Update(0.1f);
        a->Update(0.1f);
        EXPECT_EQ(c.shown, made[0]->IsVisible());
        EXPECT_EQ(c.shown, made[1]->IsVisible());
        std::shared_ptr<CharacterAnimationState> state;
        ASSERT_TRUE(a->GetCurrentAnimationState(state));
        EXPECT_EQ(c.frameAfter, state->GetCurrentFrame());
    }
}

TEST_F(CharacterAnimationTest, MovesByTheShareAndHandsOverAtTheEndOfARun)
{
    CharacterAnimationStorage storage;
    auto animation = Walker(storage);
    std::shared_ptr<CharacterAnimationState> walk;
    ASSERT_TRUE(animation->GetState("walk", walk));
    walk->SetMoveOffset(40, 0);
    walk->SetMoveEndOffset(5, 1);
    walk->SetAnimationSpeed(1.0f / 3.0f);  // one frame per update of 0.1 s
    auto next = StateOf(2, 0, 1);
    next->SetMoveStartOffset(0, 7);
    animation->AddState("next", next);
    std::vector<float> moves;
    animation->SetOnMoveCallback([&](float dx, float, void* user) {
        EXPECT_EQ(&moves, user);
        moves.push_back(dx);
    },
                                 &moves);
    int ends = 0;
    animation->SetEndAnimationCallback([&](void*) { ++ends; }, nullptr);
    animation->SetOriginalPosition(100, 50);
    animation->Play(false);

    std::vector<float> xs;
    for (int i = 0; i < 4; ++i) {
        animation->Update(0.1f);
        xs.push_back(animation->GetPositionX());
    }
    EXPECT_EQ((std::vector<float>{100, 110, 120, 130}), xs);
    EXPECT_EQ((std::vector<float>{0, 10, 20, 30}), moves);

    // The run ends with an idle queue: the end offset is taken, the end callback runs.
    animation->Update(0.1f);
    EXPECT_EQ(1, ends);
    EXPECT_EQ(135.0f, animation->GetPositionX()) << "base 105 and the share of the last frame";

    // Queued: the whole move of the finished state, then the start offset of the next.
    moves.clear();
    animation->AddExecuteState("next");
    std::vector<std::string> queue;
    EXPECT_TRUE(animation->GetExecuteStates(queue));
    EXPECT_EQ(1u, queue.size());
    animation->Update(0.1f);
    EXPECT_STREQ("next", animation->GetCurrentAnimationStateName());
    EXPECT_FALSE(animation->GetExecuteStates(queue));
    EXPECT_EQ(40.0f, moves.at(0)) << "the finished state's whole move";
    EXPECT_EQ(100 + 5 + 40.0f, animation->GetPositionX());
    EXPECT_EQ(50 + 1 + 7.0f, animation->GetPositionY());
    EXPECT_EQ(0, walk->GetCurrentFrame()) << "the old state is rewound";

    // A looping queued state keeps the rest of the queue waiting.
    auto looping = Walker(storage);
    looping->AddState("next", StateOf(2, 0, 1));
    looping->AddExecuteState("next");
    looping->AddExecuteState("walk");
    looping->Play(true);
    for (int i = 0; i < 12; ++i)
        looping->Update(0.1f);
    EXPECT_STREQ("next", looping->GetCurrentAnimationStateName());
    EXPECT_TRUE(looping->GetExecuteStates(queue));
    EXPECT_EQ((std::vector<std::string>{"walk"}), queue);
    looping->ClearExecuteStates();
    EXPECT_FALSE(looping->GetExecuteStates(queue));

    // A queued name without a state fails when it is taken.
    animation->Stop();
    animation->AddExecuteState("nowhere");
    auto idle = storage.CreateCharacterAnimation();
    idle->AddTexture(texture0);
    idle->AddState("a", StateOf(1, 0, 0));
    idle->AddExecuteState("nowhere");
    idle->SetVisible(true);
    idle->Play(false);
    EXPECT_THROW(idle->Update(0.1f), std::runtime_error);
}

TEST_F(CharacterAnimationTest, PlaybackWithoutAStateAndBrokenFrames)
{
    CharacterAnimationStorage storage;
    auto animation = storage.CreateCharacterAnimation();
    animation->SetVisible(true);
    for (const auto& op : std::vector<std::function<void()>>{[&] { animation->Play(true); },
                                                           [&] { animation->Pause(); },
                                                           [&] { animation->Resume(); },
                                                           [&] { animation->Stop(); },
                                                           [&] { animation->Update(0.1f); }})
        op();
    EXPECT_EQ(nullptr, animation->GetCurrentAnimationStateName());
    animation->Play(false);
    animation->AddTexture(texture0);
    animation->AddState("first", StateOf(2, 0, 0));
    animation->AddState("second", StateOf(2, 0, 0));
    EXPECT_STREQ("first", animation->GetCurrentAnimationStateName());
    std::shared_ptr<CharacterAnimationState> first;
    animation->GetState("first", first);
    EXPECT_TRUE(first->IsPaused()) << "filed later: current but stopped";
    EXPECT_FALSE(animation->SetCurrentAnimationState("third"));
    EXPECT_TRUE(animation->SetCurrentAnimationState("second"));

    struct Case {
        const char* name;
        std::shared_ptr<CharacterAnimationState> state;
    } cases[] = {
        {"no frames", std::make_shared<CharacterAnimationState>()},
        {"frame on a texture without sprite", StateOf(1, 7, 0)},
        {"shadow on a texture without sprite", StateOf(1, 0, 7)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto broken = storage.CreateCharacterAnimation();
        broken->AddTexture(texture0);
        broken->AddState("s", c.state);
        broken->SetVisible(true);
        broken->Play(false);
        try {
            broken->Update(0.1f);
            ADD_FAILURE() << "no failure";
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string::npos, std::string(e.what()).find("Error: Internal error.")) << e.what();
        }
    }
}

TEST_F(CharacterAnimationTest, StorageSlotsAreReusedAndCleared)
{
    CharacterAnimationStorage storage;
    EXPECT_EQ(1, storage.GetCapacity());
    std::vector<std::shared_ptr<CharacterAnimation>> animations;
    for (int i = 0; i < 3; ++i)
        animations.push_back(storage.CreateCharacterAnimation());
    EXPECT_EQ(4, storage.GetCapacity());
    animations[1].reset();
    animations[1] = storage.CreateCharacterAnimation();
    EXPECT_EQ(4, storage.GetCapacity());
    animations.push_back(storage.CreateCharacterAnimation());
    animations.push_back(storage.CreateCharacterAnimation());
    EXPECT_EQ(8, storage.GetCapacity()) << "slots 0-2 reused, then 3 and 4";

    storage.Clear();
    EXPECT_EQ(0, storage.GetCapacity());
    animations.clear();
    auto fresh = storage.CreateCharacterAnimation();
    EXPECT_EQ(2, storage.GetCapacity());

    // The storage steps each animation once; both passes of a frame advance it.
    made.clear();
    CharacterAnimationStorage stepped;
    auto walker = Walker(stepped);
    walker->Play(true);
    stepped.Update(0.1f / 3);
    stepped.Update(0.1f / 3);
    std::shared_ptr<CharacterAnimationState> state;
    walker->GetCurrentAnimationState(state);
    EXPECT_EQ(1, state->GetCurrentFrame());
}

TEST_F(CharacterAnimationTest, CallbacksMayDropTheAnimationMidUpdate)
{
    struct Case {
        const char* name;
        bool fromEnd;
    } cases[] = {{"end callback", true}, {"move callback", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        made.clear();
        CharacterAnimationStorage storage;
        auto animation = Walker(storage, 1);
        std::shared_ptr<CharacterAnimation>* holder = &animation;
        if (c.fromEnd)
            animation->SetEndAnimationCallback([holder](void*) { holder->reset(); }, nullptr);
        else
            animation->SetOnMoveCallback([holder](float, float, void*) { holder->reset(); }, nullptr);
        animation->Play(false);
        storage.Update(0.1f);
        storage.Update(0.1f);
        EXPECT_EQ(nullptr, animation);
        EXPECT_EQ(1, storage.GetCapacity());
        // The slot is free again and the sprites it showed are hidden.
        auto next = storage.CreateCharacterAnimation();
        EXPECT_EQ(1, storage.GetCapacity());
        EXPECT_FALSE(made[0]->IsVisible());
        EXPECT_FALSE(made[1]->IsVisible());
    }

    // Destroyed while showing: its sprites leave the screen with it.
    made.clear();
    CharacterAnimationStorage storage;
    auto animation = Walker(storage);
    animation->Update(0.1f);
    ASSERT_TRUE(made[0]->IsVisible());
    animation.reset();
    EXPECT_FALSE(made[0]->IsVisible());
    EXPECT_FALSE(made[1]->IsVisible());
}
