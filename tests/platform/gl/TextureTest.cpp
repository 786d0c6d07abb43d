// Texture loading, locking and threads, read back from the scene.
#include <FreeImage.h>

#include <algorithm>
#include <future>
#include <thread>

#include "tests/platform/gl/HgeWindow.h"

namespace hgetest {
namespace {

// A PNG file in memory of the given ARGB texels (top row first).
std::vector<uint8_t> EncodePng(const std::vector<DWORD>& texels, int w, int h) {
    FIBITMAP* bmp = FreeImage_Allocate(w, h, 32);
    for (int y = 0; y < h; ++y)
        std::copy(texels.begin() + y * w, texels.begin() + (y + 1) * w,
                  reinterpret_cast<DWORD*>(FreeImage_GetScanLine(bmp, h - 1 - y)));
    FIMEMORY* mem = FreeImage_OpenMemory();
    FreeImage_SaveToMemory(FIF_PNG, bmp, mem, 0);
    BYTE* data = nullptr;
    DWORD size = 0;
    FreeImage_AcquireMemory(mem, &data, &size);
    std::vector<uint8_t> out(data, data + size);
    FreeImage_CloseMemory(mem);
    FreeImage_Unload(bmp);
    return out;
}

class TextureTest : public HgeWindowTest {
protected:
    // Draws `tex` 1:1 at the origin over black and reads the scene.
    std::vector<DWORD> Show(HTEXTURE tex, int w, int h) {
        EXPECT_TRUE(hge->Gfx_BeginScene());
        hge->Gfx_Clear(0xFF000000);
        const hgeQuad q = Quad(0, 0, float(w), float(h), 0xFFFFFFFF, tex);
        hge->Gfx_RenderQuad(&q);
        hge->Gfx_EndScene();
        return ReadScene();
    }
};

TEST_F(TextureTest, LockHandsOutRowsAsWideAsTheTextureAtTheOffset) {
    const int w = 8, h = 4;
    HTEXTURE tex = hge->Texture_Create(w, h);
    ASSERT_NE(tex, 0u);
    EXPECT_EQ(hge->Texture_GetWidth(tex, true), w);
    EXPECT_EQ(hge->Texture_GetWidth(tex, false), w);  // no padding
    EXPECT_EQ(hge->Texture_GetHeight(tex, false), h);

    DWORD* all = hge->Texture_Lock(tex, true);
    ASSERT_NE(all, nullptr);
    EXPECT_TRUE(std::all_of(all, all + w * h, [](DWORD t) { return t == 0; }));  // transparent black
    hge->Texture_Unlock(tex);

    DWORD* p = hge->Texture_Lock(tex, false, 2, 1, 3, 2);
    ASSERT_NE(p, nullptr);
    p[0] = 0xFFFF0000;      // (2, 1)
    p[2] = 0xFF00FF00;      // (4, 1)
    p[w + 1] = 0xFF0000FF;  // (3, 2)
    // Bytes in memory are B, G, R, A.
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(p);
    EXPECT_EQ(bytes[2], 0xFF);
    EXPECT_EQ(bytes[0], 0x00);
    hge->Texture_Unlock(tex);

    const auto px = Show(tex, w, h);
    EXPECT_EQ(At(px, 2, 1), 0xFFFF0000u);
    EXPECT_EQ(At(px, 4, 1), 0xFF00FF00u);
    EXPECT_EQ(At(px, 3, 2), 0xFF0000FFu);
    EXPECT_EQ(At(px, 3, 1), 0xFF000000u);

    all = hge->Texture_Lock(tex, true);
    EXPECT_EQ(all[1 * w + 2], 0xFFFF0000u);
    hge->Texture_Unlock(tex);
}

TEST_F(TextureTest, LockRefusesRegionsOutsideTheTexture) {
    HTEXTURE tex = hge->Texture_Create(8, 4);
    struct Case {
        int x, y, w, h;
        bool ok;
    } cases[] = {
        {0, 0, 0, 0, true}, {7, 3, 1, 1, true}, {7, 3, 0, 0, true}, {8, 0, 0, 0, false},
        {0, 4, 0, 0, false}, {-1, 0, 1, 1, false}, {4, 0, 5, 1, false}, {0, 2, 1, 3, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.x << "," << c.y << " " << c.w << "x" << c.h);
        EXPECT_EQ(hge->Texture_Lock(tex, true, c.x, c.y, c.w, c.h) != nullptr, c.ok);
        hge->Texture_Unlock(tex);
    }
}

TEST_F(TextureTest, WritesWhileQueuedQuadsUseTheTextureKeepTheirOrder) {
    HTEXTURE tex = hge->Texture_Create(4, 4);
    DWORD* p = hge->Texture_Lock(tex, false);
    std::fill(p, p + 16, 0xFFFF0000u);
    hge->Texture_Unlock(tex);

    ASSERT_TRUE(hge->Gfx_BeginScene());
    hge->Gfx_Clear(0xFF000000);
    const hgeQuad before = Quad(0, 0, 4, 4, 0xFFFFFFFF, tex);
    hge->Gfx_RenderQuad(&before);
    // A lock, even a second one before any unlock, inside the scene.
    p = hge->Texture_Lock(tex, false);
    ASSERT_EQ(hge->Texture_Lock(tex, false), p);
    std::fill(p, p + 16, 0xFF00FF00u);
    hge->Texture_Unlock(tex);
    const hgeQuad after = Quad(8, 0, 12, 4, 0xFFFFFFFF, tex);
    hge->Gfx_RenderQuad(&after);
    hge->Gfx_EndScene();
    const auto px = ReadScene();
    EXPECT_EQ(At(px, 2, 2), 0xFFFF0000u);
    EXPECT_EQ(At(px, 10, 2), 0xFF00FF00u);
}

TEST_F(TextureTest, LoadDecodesImagesAndRefusesOtherData) {
    const int w = 3, h = 2;
    const std::vector<DWORD> texels = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0x80FFFFFF, 0xFF102030, 0x00000000};
    const std::vector<uint8_t> png = EncodePng(texels, w, h);
    HTEXTURE tex = hge->Texture_Load(png.data(), DWORD(png.size()), false);
    ASSERT_NE(tex, 0u);
    EXPECT_EQ(hge->Texture_GetWidth(tex, true), w);
    EXPECT_EQ(hge->Texture_GetHeight(tex, true), h);
    const DWORD* p = hge->Texture_Lock(tex, true);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(std::vector<DWORD>(p, p + w * h), texels);
    hge->Texture_Unlock(tex);

    const std::vector<uint8_t> junk(100, 0x5A);
    EXPECT_EQ(hge->Texture_Load(junk.data(), DWORD(junk.size()), false), 0u);
    EXPECT_EQ(hge->Texture_Load(png.data(), 20, false), 0u);  // cut short
    EXPECT_EQ(hge->Texture_Load(nullptr, 10, false), 0u);
    EXPECT_EQ(hge->Texture_Create(0, 4), 0u);
}

TEST_F(TextureTest, TexturesMadeOnAnotherThreadDrawOnTheMainThread) {
    const std::vector<DWORD> texels(4 * 4, 0xFF00FF00u);
    const std::vector<uint8_t> png = EncodePng(texels, 4, 4);
    HTEXTURE drawnEarlier = hge->Texture_Create(4, 4);
    Show(drawnEarlier, 4, 4);  // now has a GL copy
    HTEXTURE doomed = hge->Texture_Create(4, 4);
    Show(doomed, 4, 4);

    HTEXTURE created = 0, loaded = 0;
    std::thread loader([&] {
        created = hge->Texture_Create(4, 4);
        DWORD* p = hge->Texture_Lock(created, false);
        std::fill(p, p + 16, 0xFFFF0000u);
        hge->Texture_Unlock(created);
        loaded = hge->Texture_Load(png.data(), DWORD(png.size()), false);
        p = hge->Texture_Lock(drawnEarlier, false, 1, 1, 2, 2);
        p[0] = 0xFF0000FFu;
        hge->Texture_Unlock(drawnEarlier);
        hge->Texture_Free(doomed);
    });
    loader.join();
    ASSERT_NE(created, 0u);
    ASSERT_NE(loaded, 0u);
    EXPECT_EQ(At(Show(created, 4, 4), 1, 1), 0xFFFF0000u);
    EXPECT_EQ(At(Show(loaded, 4, 4), 1, 1), 0xFF00FF00u);
    const auto px = Show(drawnEarlier, 4, 4);
    EXPECT_EQ(At(px, 1, 1), 0xFF0000FFu);
    EXPECT_EQ(At(px, 2, 2), 0xFF000000u);  // untouched: transparent over black
    EXPECT_EQ(hge->Texture_GetWidth(doomed, true), 0);
}

// The loader thread writes a texture while the main thread keeps drawing it: a draw in
// between must not take the half-written texels and lose the edit.
TEST_F(TextureTest, AnEditOnAnotherThreadShowsOnceUnlockedWhateverIsDrawnMeanwhile) {
    const struct {
        const char* name;
        bool drawnBeforeTheLock;
    } rows[] = {
        {"with a GL copy", true},
        {"without a GL copy yet", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        HTEXTURE tex = hge->Texture_Create(4, 4);
        DWORD* p = hge->Texture_Lock(tex, false);
        ASSERT_NE(p, nullptr);
        std::fill(p, p + 16, 0xFFFF0000u);
        hge->Texture_Unlock(tex);
        if (row.drawnBeforeTheLock) {
            EXPECT_EQ(At(Show(tex, 4, 4), 1, 1), 0xFFFF0000u);
        }

        std::promise<void> locked, drawn;
        std::shared_future<void> drawnDone = drawn.get_future().share();
        std::thread writer([&] {
            DWORD* texels = hge->Texture_Lock(tex, false);
            locked.set_value();
            drawnDone.wait();
            std::fill(texels, texels + 16, 0xFF00FF00u);
            hge->Texture_Unlock(tex);
        });
        locked.get_future().wait();
        const auto between = Show(tex, 4, 4);
        if (row.drawnBeforeTheLock) {
            EXPECT_EQ(At(between, 1, 1), 0xFFFF0000u);  // the GL copy keeps what it had
        }
        drawn.set_value();
        writer.join();
        for (int frame = 0; frame < 2; ++frame) {
            EXPECT_EQ(At(Show(tex, 4, 4), 1, 1), 0xFF00FF00u) << "frame " << frame;
        }
        hge->Texture_Free(tex);
    }
}

TEST_F(TextureTest, StaleHandlesAreHarmless) {
    HTEXTURE tex = hge->Texture_Create(4, 4);
    hge->Texture_Free(tex);
    hge->Texture_Free(tex);
    EXPECT_EQ(hge->Texture_Lock(tex, false), nullptr);
    hge->Texture_Unlock(tex);
    EXPECT_EQ(hge->Texture_GetWidth(tex, true), 0);
    EXPECT_EQ(hge->Texture_GetHeight(tex, false), 0);
    // The slot is reused; the old handle does not reach the new texture.
    HTEXTURE next = hge->Texture_Create(2, 2);
    EXPECT_NE(next, tex);
    EXPECT_EQ(hge->Texture_GetWidth(tex, true), 0);
    EXPECT_EQ(hge->Texture_GetWidth(next, true), 2);
    EXPECT_EQ(hge->Texture_Lock(0, true), nullptr);
}

}  // namespace
}  // namespace hgetest
