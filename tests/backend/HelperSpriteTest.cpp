#include <gtest/gtest.h>

#include "backend/Helpers/hgeSprite.h"

using MobrixCore::hgeSprite;

namespace {

struct Corner {
    float x, y;
};

void ExpectCorners(const hgeSprite& s, const Corner (&want)[4], float tolerance = 1e-4f)
{
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(s.GetQuad().v[i].x, want[i].x, tolerance) << "corner " << i;
        EXPECT_NEAR(s.GetQuad().v[i].y, want[i].y, tolerance) << "corner " << i;
    }
}

void ExpectCoordinates(const hgeSprite& s, const Corner (&want)[4])
{
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(s.GetQuad().v[i].tx, want[i].x) << "corner " << i;
        EXPECT_FLOAT_EQ(s.GetQuad().v[i].ty, want[i].y) << "corner " << i;
    }
}

class HelperSprite : public ::testing::Test {
protected:
    void SetUp() override
    {
        hge = hgeCreate(HGE_VERSION);
        ASSERT_NE(hge, nullptr);
        texture = hge->Texture_Create(8, 16);
        ASSERT_NE(texture, 0u);
    }
    void TearDown() override
    {
        hge->Texture_Free(texture);
        hge->Release();
    }
    HGE* hge = nullptr;
    HTEXTURE texture = 0;
};

}  // namespace

TEST_F(HelperSprite, NewQuadDefaults)
{
    const hgeSprite s(texture, 2, 4, 4, 8);
    ExpectCoordinates(s, {{0.25f, 0.25f}, {0.75f, 0.25f}, {0.75f, 0.75f}, {0.25f, 0.75f}});
    EXPECT_EQ(s.GetBlendMode(), 2);
    for (const hgeVertex& v : s.GetQuad().v) {
        EXPECT_EQ(v.col, 0xFFFFFFFFu);
        EXPECT_EQ(v.z, 0.5f);
    }
    // Without a texture the size is taken as 1 x 1: coordinates are the texels themselves.
    const hgeSprite bare(0, 2, 4, 4, 8);
    ExpectCoordinates(bare, {{2, 4}, {6, 4}, {6, 12}, {2, 12}});
    // So is a texture whose size reads 0 (a freed one), made with it or switched to it.
    const HTEXTURE stale = hge->Texture_Create(4, 4);
    hge->Texture_Free(stale);
    ASSERT_EQ(hge->Texture_GetWidth(stale, false), 0);
    const hgeSprite madeStale(stale, 2, 4, 4, 8);
    ExpectCoordinates(madeStale, {{2, 4}, {6, 4}, {6, 12}, {2, 12}});
    hgeSprite switched(texture, 2, 4, 4, 8);
    switched.SetTexture(stale);
    ExpectCoordinates(switched, {{2, 4}, {6, 4}, {6, 12}, {2, 12}});
}

TEST_F(HelperSprite, TextureAndRectangleInEitherOrder)
{
    hgeSprite textureFirst(0, 0, 0, 0, 0);
    textureFirst.SetTexture(texture);
    textureFirst.SetTextureRect(4, 8, 4, 8);
    hgeSprite rectangleFirst(0, 0, 0, 0, 0);
    rectangleFirst.SetTextureRect(4, 8, 4, 8);
    rectangleFirst.SetTexture(texture);
    const Corner want[4] = {{0.5f, 0.5f}, {1, 0.5f}, {1, 1}, {0.5f, 1}};
    ExpectCoordinates(textureFirst, want);
    ExpectCoordinates(rectangleFirst, want);

    // A flipped sprite stays flipped when the texture changes size.
    hgeSprite flipped(0, 4, 8, 4, 8);
    flipped.SetFlip(true, true, true);
    flipped.SetTexture(texture);
    ExpectCoordinates(flipped, {{1, 1}, {0.5f, 1}, {0.5f, 0.5f}, {1, 0.5f}});
}

TEST_F(HelperSprite, FlipsSwapCoordinatesAndNeverMoveTheHotSpot)
{
    hgeSprite s(texture, 0, 0, 8, 16);
    s.SetHotSpot(2, 3);
    const Corner plain[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    struct Step {
        bool x, y;
        Corner coordinates[4];
    } steps[] = {
        {true, false, {{1, 0}, {0, 0}, {0, 1}, {1, 1}}},
        {true, true, {{1, 1}, {0, 1}, {0, 0}, {1, 0}}},
        {false, true, {{0, 1}, {1, 1}, {1, 0}, {0, 0}}},
        {false, false, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}},
        {true, false, {{1, 0}, {0, 0}, {0, 1}, {1, 1}}},
        {true, false, {{1, 0}, {0, 0}, {0, 1}, {1, 1}}},
        {false, false, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}},
    };
    ExpectCoordinates(s, plain);
    for (const Step& step : steps) {
        s.SetFlip(step.x, step.y, true);
        ExpectCoordinates(s, step.coordinates);
        float hx, hy;
        s.GetHotSpot(&hx, &hy);
        EXPECT_EQ(hx, 2.0f);
        EXPECT_EQ(hy, 3.0f);
    }
    // A new rectangle keeps the flips.
    s.SetFlip(true, false, true);
    s.SetTextureRect(0, 0, 4, 8);
    ExpectCoordinates(s, {{0.5f, 0}, {0, 0}, {0, 0.5f}, {0.5f, 0.5f}});
    float x, y, w, h;
    s.GetTextureRect(&x, &y, &w, &h);
    EXPECT_EQ(w, 4.0f);
    EXPECT_EQ(h, 8.0f);
}

TEST_F(HelperSprite, CornersOfPlainScaledAndRotatedDraws)
{
    hgeSprite s(texture, 0, 0, 10, 20);
    s.SetHotSpot(2, 3);
    s.Render(100, 50);
    ExpectCorners(s, {{98, 47}, {108, 47}, {108, 67}, {98, 67}});
    s.RenderEx(100, 50, 0, 2);  // vertical scale 0 takes the horizontal one
    ExpectCorners(s, {{96, 44}, {116, 44}, {116, 84}, {96, 84}});
    s.RenderEx(100, 50, 0, 2, 0.5f);
    ExpectCorners(s, {{96, 48.5f}, {116, 48.5f}, {116, 58.5f}, {96, 58.5f}});
    // A quarter turn: offset (a, b) from the hot spot goes to (-b, a).
    s.RenderEx(100, 50, 1.57079632679f, 1, 1);
    ExpectCorners(s, {{103, 48}, {103, 58}, {83, 58}, {83, 48}});
}

TEST_F(HelperSprite, ColourPerCornerOrAll)
{
    hgeSprite s(texture, 0, 0, 8, 16);
    s.SetColor(0x80102030u);
    s.SetColor(0xFF000000u, 2);
    s.SetColor(0x11111111u, 7);  // no such corner: ignored
    EXPECT_EQ(s.GetColor(0), 0x80102030u);
    EXPECT_EQ(s.GetColor(1), 0x80102030u);
    EXPECT_EQ(s.GetColor(2), 0xFF000000u);
    EXPECT_EQ(s.GetColor(3), 0x80102030u);
}
