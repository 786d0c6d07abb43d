#include <gtest/gtest.h>

#include "platform/hge/QuadRenderer.h"

using hgeplatform::QuadRenderer;

// Only the software rasteriser gains from small draws; a GPU gets each batch in one call.
TEST(QuadSplit, SmallDrawsOnlyOnTheSoftwareRasteriser)
{
    struct Case {
        const char* renderer;
        int quadsPerDraw;
    } cases[] = {
        {"llvmpipe (LLVM 15.0.6, 256 bits)", QuadRenderer::kQuadsPerDraw},
        {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", QuadRenderer::kMaxQuads},
        {"AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49, 6.1.0)", QuadRenderer::kMaxQuads},
        {"NVIDIA GeForce GTX 1060/PCIe/SSE2", QuadRenderer::kMaxQuads},
        {"", QuadRenderer::kMaxQuads},
        {nullptr, QuadRenderer::kMaxQuads},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.renderer ? c.renderer : "(none)");
        EXPECT_EQ(c.quadsPerDraw, QuadRenderer::QuadsPerDrawFor(c.renderer));
    }
}
