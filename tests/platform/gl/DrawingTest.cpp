// Quads, blend flags, transform and render targets, read back from the scene.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>

#include "tests/platform/gl/HgeWindow.h"

namespace hgetest {
namespace {

HTEXTURE SolidTexture(HGE* hge, int w, int h, DWORD texel) {
    HTEXTURE tex = hge->Texture_Create(w, h);
    DWORD* p = hge->Texture_Lock(tex, false);
    EXPECT_NE(p, nullptr);
    if (p) std::fill(p, p + w * h, texel);
    hge->Texture_Unlock(tex);
    return tex;
}

// What the blend flags should give for one texel over an opaque background.
DWORD Expected(DWORD texel, DWORD color, DWORD background, int blend) {
    auto ch = [](DWORD c, int shift) { return float((c >> shift) & 0xFF) / 255.0f; };
    float src[4];  // b, g, r, a
    for (int i = 0; i < 4; ++i) {
        const float t = ch(texel, i * 8), v = ch(color, i * 8);
        src[i] = (i < 3 && (blend & BLEND_COLORADD)) ? std::min(t + v, 1.0f) : t * v;
    }
    DWORD out = 0xFF000000u;
    for (int i = 0; i < 3; ++i) {
        const float d = ch(background, i * 8);
        const float r = (blend & BLEND_ALPHABLEND) ? src[i] * src[3] + d * (1.0f - src[3])
                                                   : std::min(src[i] * src[3] + d, 1.0f);
        out |= DWORD(std::lround(r * 255.0f)) << (i * 8);
    }
    return out;
}

TEST_F(HgeWindowTest, EveryBlendFlagCombinationGivesTheExpectedPixels) {
    const DWORD background = 0xFF204080;
    const DWORD color = 0x80C06030;
    const DWORD texel = 0xC0508090;
    HTEXTURE tex = SolidTexture(hge, 4, 4, texel);
    ASSERT_NE(tex, 0u);

    for (int blend = 0; blend < 8; ++blend) {
        for (HTEXTURE t : {tex, HTEXTURE(0)}) {
            SCOPED_TRACE(::testing::Message() << "blend " << blend << (t ? " textured" : " untextured"));
            ASSERT_TRUE(hge->Gfx_BeginScene());
            hge->Gfx_Clear(background);
            const hgeQuad q = Quad(8, 8, 24, 24, color, t, blend);
            hge->Gfx_RenderQuad(&q);
            hge->Gfx_EndScene();
            const auto px = ReadScene();
            EXPECT_TRUE(Near(At(px, 16, 16), Expected(t ? texel : 0xFFFFFFFFu, color, background, blend), 2));
            EXPECT_EQ(At(px, 4, 4), background);
            EXPECT_EQ(At(px, 24, 24), background);  // the quad's edge is exclusive
        }
    }
}

TEST_F(HgeWindowTest, QuadsOfDifferentModesAndTexturesKeepTheirOrder) {
    HTEXTURE red = SolidTexture(hge, 2, 2, 0xFFFF0000);
    HTEXTURE green = SolidTexture(hge, 2, 2, 0xFF00FF00);
    ASSERT_TRUE(hge->Gfx_BeginScene());
    hge->Gfx_Clear(0xFF000000);
    const hgeQuad a = Quad(0, 0, 32, 32, 0xFFFFFFFF, red);
    const hgeQuad b = Quad(16, 0, 48, 32, 0xFFFFFFFF, green);
    const hgeQuad c = Quad(24, 0, 40, 32, 0xFF0000FF, 0, BLEND_COLORMUL | BLEND_ALPHAADD);
    // The texture of the quad before, another blend: a batch of its own.
    const hgeQuad d = Quad(40, 0, 48, 16, 0x800000FF, 0, BLEND_DEFAULT);
    hge->Gfx_RenderQuad(&a);
    hge->Gfx_RenderQuad(&b);
    hge->Gfx_RenderQuad(&c);
    hge->Gfx_RenderQuad(&d);
    hge->Gfx_EndScene();
    const auto px = ReadScene();
    EXPECT_EQ(At(px, 8, 8), 0xFFFF0000u);
    EXPECT_EQ(At(px, 20, 8), 0xFF00FF00u);
    EXPECT_EQ(At(px, 30, 8), 0xFF00FFFFu);  // blue added over green
    EXPECT_TRUE(Near(At(px, 44, 8), Expected(0xFFFFFFFFu, d.v[0].col, 0xFF00FF00u, BLEND_DEFAULT), 1));
    EXPECT_EQ(At(px, 44, 24), 0xFF00FF00u);
}

TEST_F(HgeWindowTest, UntintedAndTintedQuadsOfOneBatchEachKeepTheirColour) {
    const DWORD texel = 0xFF80C040;
    const DWORD tint = 0xFF808080;
    HTEXTURE tex = SolidTexture(hge, 2, 2, texel);
    // One batch (same texture and blend) in both orders: the tint of one quad must
    // not be lost or lent to the other.
    for (bool tintedFirst : {false, true}) {
        SCOPED_TRACE(tintedFirst ? "tinted first" : "untinted first");
        ASSERT_TRUE(hge->Gfx_BeginScene());
        hge->Gfx_Clear(0xFF000000);
        const hgeQuad plain = Quad(0, 0, 16, 16, 0xFFFFFFFF, tex);
        const hgeQuad tinted = Quad(16, 0, 32, 16, tint, tex);
        hge->Gfx_RenderQuad(tintedFirst ? &tinted : &plain);
        hge->Gfx_RenderQuad(tintedFirst ? &plain : &tinted);
        hge->Gfx_EndScene();
        const auto px = ReadScene();
        EXPECT_EQ(At(px, 8, 8), texel);
        EXPECT_TRUE(Near(At(px, 24, 8), Expected(texel, tint, 0xFF000000, BLEND_DEFAULT), 1));
    }
    // A quad with one dark corner is tinted too: white all over only where all four are.
    ASSERT_TRUE(hge->Gfx_BeginScene());
    hge->Gfx_Clear(0xFF000000);
    const hgeQuad white = Quad(0, 0, 16, 16, 0xFFFFFFFF);
    hgeQuad corner = Quad(16, 0, 32, 16, 0xFFFFFFFF);
    corner.v[2].col = 0xFF000000;
    hge->Gfx_RenderQuad(&white);
    hge->Gfx_RenderQuad(&corner);
    hge->Gfx_EndScene();
    const auto px = ReadScene();
    EXPECT_EQ(At(px, 8, 8), 0xFFFFFFFFu);
    EXPECT_NE(At(px, 24, 8), 0xFFFFFFFFu);
}

TEST_F(HgeWindowTest, EveryQuadOfABatchLargerThanTheBufferIsDrawnOnce) {
    const int count = 70000;  // more than one vertex buffer holds
    ASSERT_TRUE(hge->Gfx_BeginScene());
    hge->Gfx_Clear(0xFF000000);
    for (int i = 0; i < count; ++i) {
        const float x = float(i % width), y = float((i / width) % height);
        const hgeQuad q = Quad(x, y, x + 1, y + 1, 0xFF010101, 0, BLEND_COLORMUL | BLEND_ALPHAADD);
        hge->Gfx_RenderQuad(&q);
    }
    hge->Gfx_EndScene();
    long total = 0;
    for (DWORD p : ReadScene()) total += long(p & 0xFF);
    EXPECT_EQ(total, count);
}

TEST_F(HgeWindowTest, TransformScalesAndIsResetByTheNextScene) {
    for (int pass = 0; pass < 2; ++pass) {
        ASSERT_TRUE(hge->Gfx_BeginScene());
        hge->Gfx_Clear(0xFF000000);
        if (pass == 0) hge->Gfx_SetTransform(0, 0, 0, 0, 0, 2.0f, 3.0f);
        const hgeQuad q = Quad(0, 0, 8, 8, 0xFFFFFFFF);
        hge->Gfx_RenderQuad(&q);
        hge->Gfx_EndScene();
        const auto px = ReadScene();
        if (pass == 0) {
            EXPECT_EQ(At(px, 15, 23), 0xFFFFFFFFu);
            EXPECT_EQ(At(px, 16, 10), 0xFF000000u);
            EXPECT_EQ(At(px, 10, 24), 0xFF000000u);
        } else {
            EXPECT_EQ(At(px, 7, 7), 0xFFFFFFFFu);
            EXPECT_EQ(At(px, 8, 7), 0xFF000000u);
            EXPECT_EQ(At(px, 7, 8), 0xFF000000u);
        }
    }
}

// Calls that leave the scene's framebuffer for a moment must bring back its transform.
TEST_F(HgeWindowTest, TransformOutlivesCallsThatRebindTheScene) {
    HTARGET stale = hge->Target_Create(8, 8, false, 0);
    hge->Target_Free(stale);
    const std::string snapshot = ::testing::TempDir() + "transform-snapshot.bmp";
    const struct {
        const char* name;
        std::function<void()> call;
    } rows[] = {
        {"a scene on a stale target", [&] { EXPECT_FALSE(hge->Gfx_BeginScene(stale)); }},
        {"a read-back", [&] { ReadScene(); }},
        {"a snapshot", [&] { hge->System_Snapshot(snapshot.c_str()); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(hge->Gfx_BeginScene());
        hge->Gfx_Clear(0xFF000000);
        hge->Gfx_SetTransform(0, 0, 0, 0, 0, 2.0f, 3.0f);
        row.call();
        const hgeQuad q = Quad(0, 0, 8, 8, 0xFFFFFFFF);
        hge->Gfx_RenderQuad(&q);
        hge->Gfx_EndScene();
        const auto px = ReadScene();
        EXPECT_EQ(At(px, 15, 23), 0xFFFFFFFFu);
        EXPECT_EQ(At(px, 16, 10), 0xFF000000u);
    }
    std::remove(snapshot.c_str());
}

TEST_F(HgeWindowTest, StaleTextureHandleDrawsNothing) {
    HTEXTURE tex = SolidTexture(hge, 2, 2, 0xFFFF0000);
    hge->Texture_Free(tex);
    ASSERT_TRUE(hge->Gfx_BeginScene());
    hge->Gfx_Clear(0xFF000000);
    const hgeQuad q = Quad(0, 0, 16, 16, 0xFFFFFFFF, tex);
    hge->Gfx_RenderQuad(&q);
    const hgeQuad ok = Quad(16, 0, 32, 16, 0xFFFFFFFF);
    hge->Gfx_RenderQuad(&ok);
    hge->Gfx_EndScene();
    const auto px = ReadScene();
    EXPECT_EQ(At(px, 8, 8), 0xFF000000u);
    EXPECT_EQ(At(px, 24, 8), 0xFFFFFFFFu);
}

// A texture freed while it is the texture of the batch being gathered: the quads queued
// before draw, a quad given afterwards draws nothing, wherever the free came from.
TEST_F(HgeWindowTest, QuadOfATextureFreedMidBatchDrawsNothing) {
    for (bool otherThread : {false, true}) {
        SCOPED_TRACE(otherThread ? "freed on another thread" : "freed on the main thread");
        HTEXTURE tex = SolidTexture(hge, 2, 2, 0xFFFF0000);
        ASSERT_TRUE(hge->Gfx_BeginScene());
        hge->Gfx_Clear(0xFF000000);
        const hgeQuad before = Quad(0, 0, 16, 16, 0xFFFFFFFF, tex);
        hge->Gfx_RenderQuad(&before);
        if (otherThread)
            std::thread([&] { hge->Texture_Free(tex); }).join();
        else
            hge->Texture_Free(tex);
        const hgeQuad after = Quad(16, 0, 32, 16, 0xFFFFFFFF, tex);
        hge->Gfx_RenderQuad(&after);
        hge->Gfx_EndScene();
        const auto px = ReadScene();
        EXPECT_EQ(At(px, 8, 8), 0xFFFF0000u);
        EXPECT_EQ(At(px, 24, 8), 0xFF000000u);
    }
}

TEST_F(HgeWindowTest, TargetPictureTakenAsTextureOutlivesTheTarget) {
    const int tw = 16, th = 8;
    HTARGET target = hge->Target_Create(tw, th, false, 0);
    ASSERT_NE(target, 0u);

    // Drawn while the screen scene is open: the screen scene carries on afterwards.
    ASSERT_TRUE(hge->Gfx_BeginScene());
    hge->Gfx_Clear(0xFF000000);
    const hgeQuad left = Quad(0, 0, 8, 8, 0xFF0000FF);
    hge->Gfx_RenderQuad(&left);
    ASSERT_TRUE(hge->Gfx_BeginScene(target));
    hge->Gfx_Clear(0);
    const hgeQuad top = Quad(0, 0, 16, 4, 0xFFFF0000);
    const hgeQuad bottom = Quad(0, 4, 16, 8, 0xFF00FF00);
    hge->Gfx_RenderQuad(&top);
    hge->Gfx_RenderQuad(&bottom);
    hge->Gfx_EndScene();
    const hgeQuad right = Quad(8, 0, 16, 8, 0xFFFFFF00);
    hge->Gfx_RenderQuad(&right);
    hge->Gfx_EndScene();
    auto screen = ReadScene();
    EXPECT_EQ(At(screen, 4, 4), 0xFF0000FFu);
    EXPECT_EQ(At(screen, 12, 4), 0xFFFFFF00u);

    const auto picture = ReadScene(target, tw, th);
    EXPECT_EQ(At(picture, 3, 0, tw), 0xFFFF0000u);  // top row first
    EXPECT_EQ(At(picture, 3, 7, tw), 0xFF00FF00u);

    HTEXTURE tex = hge->Target_TakeTexture(target);
    ASSERT_NE(tex, 0u);
    hge->Target_Free(target);
    EXPECT_EQ(hge->Texture_GetWidth(tex, true), tw);
    EXPECT_EQ(hge->Texture_GetHeight(tex, false), th);

    DWORD* p = hge->Texture_Lock(tex, true);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p[0], 0xFFFF0000u);
    EXPECT_EQ(p[7 * tw + 15], 0xFF00FF00u);
    hge->Texture_Unlock(tex);

    ASSERT_TRUE(hge->Gfx_BeginScene());
    hge->Gfx_Clear(0xFF000000);
    const hgeQuad drawn = Quad(0, 0, float(tw), float(th), 0xFFFFFFFF, tex);
    hge->Gfx_RenderQuad(&drawn);
    hge->Gfx_EndScene();
    screen = ReadScene();
    EXPECT_EQ(At(screen, 5, 1), 0xFFFF0000u);
    EXPECT_EQ(At(screen, 5, 6), 0xFF00FF00u);
    hge->Texture_Free(tex);
}

// A taken picture's texels come from what was drawn, whether the first lock reads or
// writes a part of them.
TEST_F(HgeWindowTest, TakenPictureLocksWithTheDrawnTexels) {
    for (bool firstLockWrites : {false, true}) {
        SCOPED_TRACE(firstLockWrites ? "first lock writes" : "first lock reads");
        HTARGET target = hge->Target_Create(8, 4, false, 0);
        ASSERT_TRUE(hge->Gfx_BeginScene(target));
        hge->Gfx_Clear(0);
        const hgeQuad left = Quad(0, 0, 4, 4, 0xFFFF0000);
        const hgeQuad right = Quad(4, 0, 8, 4, 0xFF0000FF);
        hge->Gfx_RenderQuad(&left);
        hge->Gfx_RenderQuad(&right);
        hge->Gfx_EndScene();
        HTEXTURE tex = hge->Target_TakeTexture(target);
        hge->Target_Free(target);
        ASSERT_NE(tex, 0u);
        if (firstLockWrites) {
            DWORD* p = hge->Texture_Lock(tex, false, 6, 2, 1, 1);
            ASSERT_NE(p, nullptr);
            EXPECT_EQ(p[0], 0xFF0000FFu);
            p[0] = 0xFF00FF00u;
            hge->Texture_Unlock(tex);
        }
        const DWORD* p = hge->Texture_Lock(tex, true);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p[1 * 8 + 1], 0xFFFF0000u);
        EXPECT_EQ(p[3 * 8 + 7], 0xFF0000FFu);
        EXPECT_EQ(p[2 * 8 + 6], firstLockWrites ? 0xFF00FF00u : 0xFF0000FFu);
        hge->Texture_Unlock(tex);

        ASSERT_TRUE(hge->Gfx_BeginScene());
        hge->Gfx_Clear(0xFF000000);
        const hgeQuad drawn = Quad(0, 0, 8, 4, 0xFFFFFFFF, tex);
        hge->Gfx_RenderQuad(&drawn);
        hge->Gfx_EndScene();
        const auto screen = ReadScene();
        EXPECT_EQ(At(screen, 1, 1), 0xFFFF0000u);
        EXPECT_EQ(At(screen, 7, 3), 0xFF0000FFu);
        EXPECT_EQ(At(screen, 6, 2), firstLockWrites ? 0xFF00FF00u : 0xFF0000FFu);
        hge->Texture_Free(tex);
    }
}

TEST_F(HgeWindowTest, TargetCallsRefuseBadSizesAndStaleHandles) {
    EXPECT_EQ(hge->Target_Create(0, 8, false, 0), 0u);
    EXPECT_EQ(hge->Target_Create(8, -1, false, 0), 0u);
    HTARGET target = hge->Target_Create(8, 8, false, 0);
    hge->Target_Free(target);
    EXPECT_FALSE(hge->Gfx_BeginScene(target));
    EXPECT_EQ(hge->Target_TakeTexture(target), 0u);
    hge->Target_Free(target);
    // A texture handle is not a target handle and the other way round.
    HTEXTURE tex = hge->Texture_Create(4, 4);
    EXPECT_FALSE(hge->Gfx_BeginScene(tex));
    HTARGET other = hge->Target_Create(4, 4, false, 0);
    EXPECT_EQ(hge->Texture_GetWidth(other, true), 0);
}

TEST_F(HgeWindowTest, OnlyOneScreenSceneAtATime) {
    ASSERT_TRUE(hge->Gfx_BeginScene());
    EXPECT_FALSE(hge->Gfx_BeginScene());
    hge->Gfx_EndScene();
    EXPECT_TRUE(hge->Gfx_BeginScene());
    hge->Gfx_EndScene();
    hge->Gfx_EndScene();  // nothing open: harmless
}

}  // namespace
}  // namespace hgetest
