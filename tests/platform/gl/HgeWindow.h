#pragma once
// A small window of the platform layer for drawing tests, and pixel helpers.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/hge/hge.h"

namespace hgetest {

class HgeWindowTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 64;
    static constexpr int kHeight = 48;

    void SetUp() override {
        hge = hgeCreate(HGE_VERSION);
        ASSERT_NE(hge, nullptr);
        hge->System_SetState(HGE_WINDOWED, true);
        hge->System_SetState(HGE_SCREENWIDTH, width);
        hge->System_SetState(HGE_SCREENHEIGHT, height);
        hge->System_SetState(HGE_TITLE, "test");
        ASSERT_TRUE(hge->System_Initiate());
    }

    void TearDown() override {
        if (hge) {
            hge->System_Shutdown();
            hge->Release();
        }
    }

    std::vector<DWORD> ReadScene(HTARGET target = 0, int w = 0, int h = 0) {
        std::vector<DWORD> pixels(size_t(w ? w : width) * size_t(h ? h : height));
        EXPECT_TRUE(hge->Test_ReadPixels(target, pixels.data()));
        return pixels;
    }

    DWORD At(const std::vector<DWORD>& pixels, int x, int y, int w = 0) const {
        return pixels[size_t(y) * size_t(w ? w : width) + size_t(x)];
    }

    // A pixel-aligned quad covering [x0, x1) x [y0, y1) with one colour.
    static hgeQuad Quad(float x0, float y0, float x1, float y1, DWORD color, HTEXTURE tex = 0,
                        int blend = BLEND_DEFAULT) {
        hgeQuad q{};
        const float xs[4] = {x0, x1, x1, x0};
        const float ys[4] = {y0, y0, y1, y1};
        const float us[4] = {0, 1, 1, 0};
        const float vs[4] = {0, 0, 1, 1};
        for (int i = 0; i < 4; ++i) {
            q.v[i].x = xs[i];
            q.v[i].y = ys[i];
            q.v[i].z = 0.5f;
            q.v[i].col = color;
            q.v[i].tx = us[i];
            q.v[i].ty = vs[i];
        }
        q.tex = tex;
        q.blend = blend;
        return q;
    }

    HGE* hge = nullptr;
    int width = kWidth;
    int height = kHeight;
};

// Per-channel closeness of two ARGB colours.
inline ::testing::AssertionResult Near(DWORD actual, DWORD expected, int tolerance = 1) {
    for (int shift = 0; shift < 32; shift += 8) {
        const int a = int((actual >> shift) & 0xFF), e = int((expected >> shift) & 0xFF);
        if (std::abs(a - e) > tolerance) {
            char text[64];
            std::snprintf(text, sizeof(text), "0x%08X vs expected 0x%08X", actual, expected);
            return ::testing::AssertionFailure() << text;
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace hgetest
