#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "engine/Renderer/RenderSystem.h"
#include "tests/support/FakeSprites.h"
#include "tests/support/RecordingSprite.h"

using namespace EngineCore;
using TestSupport::RecordingSprite;
using Log = std::vector<std::string>;

namespace {

class SpriteTest : public ::testing::Test {
protected:
    void SetUp() override { RenderSystem::Instance().SetCurrentGameState("sprites"); }
    void TearDown() override { RenderSystem::Instance().RemoveGameState("sprites"); }
    Log log;
};

}  // namespace

TEST_F(SpriteTest, NewSpriteDefaults)
{
    RecordingSprite s("s", log);
    EXPECT_EQ(Resource::RT_SPRITE, s.GetType());
    EXPECT_FALSE(s.IsVisible());
    EXPECT_FALSE(s.IsFlipVertical());
    EXPECT_FALSE(s.IsFlipHorizontal());
    EXPECT_EQ(0.0f, s.GetPositionX());
    EXPECT_EQ(0.0f, s.GetPositionY());
    EXPECT_EQ(0.0f, s.GetHotSpotX());
    EXPECT_EQ(0.0f, s.GetHotSpotY());
    EXPECT_EQ(0.0f, s.GetPriority());
    EXPECT_EQ(0.0f, s.GetRotation());
    EXPECT_EQ(1.0f, s.GetVerticalScale());
    EXPECT_EQ(1.0f, s.GetHorizontalScale());
    EXPECT_EQ(0xFFFFFFFFu, s.GetColor());
    const D3DXVECTOR4& c = s.GetColorFloat();
    EXPECT_EQ(1.0f, c.x);
    EXPECT_EQ(1.0f, c.w);
    EXPECT_EQ(2, s.GetBlendMode());
    float x = 1, y = 1, w = 1, h = 1;
    s.GetTextureRect(x, y, w, h);
    EXPECT_EQ(0.0f, x + y + w + h);
    EXPECT_FALSE(s.GetTexture());
    EXPECT_FALSE(s.IsAlphaCollided(0.0f, 0.0f));
    EXPECT_TRUE(s.IsValid());
}

TEST_F(SpriteTest, ColorFloatIsQuantisedToBytes)
{
    const float nan = std::nanf("");
    const float inf = INFINITY;
    struct Case {
        D3DXVECTOR4 in;
        uint32_t argb;
    } cases[] = {
        {{0.5f, 0.5f, 0.5f, 0.5f}, 0x80808080u},
        {{1.5f, -0.2f, 1.0f, 0.0f}, 0x00FF00FFu},
        {{0.0f, 1.0f, 0.0f, 1.0f}, 0xFF00FF00u},
        // Values that have no byte: 0 (never undefined behaviour).
        {{nan, inf, -inf, nan}, 0x00000000u},
        {{1e30f, -1e30f, 0.1f, 1.0f}, 0xFFFF001Au},
    };
    RecordingSprite s("s", log);
    for (const Case& c : cases) {
        s.SetColorFloat(c.in);
        EXPECT_EQ(c.argb, s.GetColor()) << std::hex << c.argb;
        // Through the base SetColor the floats end as whole 255ths.
        const D3DXVECTOR4& f = s.GetColorFloat();
        EXPECT_EQ(static_cast<float>((c.argb >> 16) & 0xFF) / 255.0f, f.x);
        EXPECT_EQ(static_cast<float>(c.argb >> 24) / 255.0f, f.w);
    }
    s.SetColor(0x40FF8000u);
    EXPECT_FLOAT_EQ(64.0f / 255.0f, s.GetColorFloat().w);
    EXPECT_FLOAT_EQ(1.0f, s.GetColorFloat().x);
    EXPECT_FLOAT_EQ(128.0f / 255.0f, s.GetColorFloat().y);
    EXPECT_FLOAT_EQ(0.0f, s.GetColorFloat().z);
}

TEST_F(SpriteTest, CanvasChangedHook)
{
    RecordingSprite s("s", log);
    std::vector<std::string> seen;
    s.SetOnCanvasChangedFunction([&](Sprite* sprite) {
        float x, y, w, h;
        sprite->GetTextureRect(x, y, w, h);
        seen.push_back(std::to_string(static_cast<int>(sprite->GetPositionX())) + "," +
                       std::to_string(static_cast<int>(sprite->GetHotSpotY())) + "," +
                       std::to_string(static_cast<int>(w)));
    });
    struct Case {
        const char* name;
        std::function<void()> change;
        std::vector<std::string> calls;
    } cases[] = {
        {"same position", [&] { s.SetPosition(0.0f, 0.0f); }, {}},
        {"new position, seen already stored", [&] { s.SetPosition(5.0f, 0.0f); }, {"5,0,0"}},
        {"one coordinate differs", [&] { s.SetPosition(5.0f, 1.0f); }, {"5,0,0"}},
        {"NaN counts as a change", [&] { s.SetPosition(5.0f, std::nanf("")); }, {"5,0,0"}},
        {"same hot spot", [&] { s.SetHotSpot(0.0f, 0.0f); }, {}},
        {"new hot spot", [&] { s.SetHotSpot(0.0f, 3.0f); }, {"5,3,0"}},
        {"texture rect, changed", [&] { s.SetTextureRect(0.0f, 0.0f, 8.0f, 8.0f); }, {"5,3,8"}},
        {"texture rect, the same", [&] { s.SetTextureRect(0.0f, 0.0f, 8.0f, 8.0f); }, {"5,3,8"}},
    };
    for (const Case& c : cases) {
        seen.clear();
        c.change();
        EXPECT_EQ(c.calls, seen) << c.name;
    }
    // An empty function removes the hook.
    s.SetOnCanvasChangedFunction(nullptr);
    seen.clear();
    s.SetPosition(9.0f, 9.0f);
    EXPECT_TRUE(seen.empty());
}

TEST_F(SpriteTest, CollisionFunctionAnswersAlphaCollision)
{
    RecordingSprite s("s", log);
    s.SetCollisionFunction([](float x, float y) { return x > 10.0f && y < 0.0f; });
    EXPECT_TRUE(s.IsAlphaCollided(11.0f, -1.0f));
    EXPECT_FALSE(s.IsAlphaCollided(9.0f, -1.0f));
    s.SetCollisionFunction(nullptr);
    EXPECT_FALSE(s.IsAlphaCollided(11.0f, -1.0f));
}

TEST_F(SpriteTest, CopyCarriesAttributesButIsNotDrawn)
{
    RecordingSprite original("original", log, 4.0f);
    original.SetPosition(3.0f, 4.0f);
    original.SetColor(0x11223344u);
    {
        RecordingSprite copy(original);
        EXPECT_EQ(4.0f, copy.GetPriority());
        EXPECT_EQ(3.0f, copy.GetPositionX());
        EXPECT_EQ(0x11223344u, copy.GetColor());
        log.clear();
        RenderSystem::Instance().Update(0.0f);
        EXPECT_EQ((Log{"update original", "render original"}), log);
    }
    // Destroying the unregistered copy leaves the original filed.
    log.clear();
    RenderSystem::Instance().Update(0.0f);
    EXPECT_EQ((Log{"update original", "render original"}), log);
}

// The texture as a Texture follows every SetTexture, and is null for a resource of
// another kind, so that callers that cast need not cast again.
TEST_F(SpriteTest, TextureObjectFollowsTheTexture)
{
    RecordingSprite s("s", log);
    EXPECT_EQ(nullptr, s.GetTextureObject());
    auto texture = std::make_shared<TestSupport::SizedTexture>(4, 4);
    s.SetTexture(texture);
    EXPECT_EQ(texture.get(), s.GetTextureObject());
    RecordingSprite copy(s);
    EXPECT_EQ(texture.get(), copy.GetTextureObject());
    s.SetTexture(std::make_shared<RecordingSprite>("other", log));
    EXPECT_EQ(nullptr, s.GetTextureObject());
    s.SetTexture(texture);
    s.SetTexture(nullptr);
    EXPECT_EQ(nullptr, s.GetTextureObject());
    EXPECT_EQ(texture.get(), copy.GetTextureObject());
}
