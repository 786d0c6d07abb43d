#include <string>
#include <vector>

#include "engine/Renderer/Font.h"
#include "game/Renderer/TextObject.h"
#include "game/Renderer/TextRect.h"
#include "tests/backend/gl/BackendWindow.h"

using namespace BackendTest;
using EngineCore::Resource;
using EngineCore::ResourceManager;

namespace {

struct Probe {
    int x, y;
    uint32_t rgb;
};

// 16 x 8 glyph picture: 'a' is the red block at x 0-3, 'b' the green block at x 4-9.
std::vector<uint32_t> GlyphPicture()
{
    std::vector<uint32_t> px(16 * 8, 0u);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x)
            px[static_cast<size_t>(y * 16 + x)] = x < 4 ? kRed : kGreen;
    return px;
}

std::string CharsetFile()
{
    std::string bytes("kT.charset.bin", 15);
    const uint16_t records[2][6] = {{0, 0, 0, 4, 8, 0}, {1, 4, 0, 6, 8, 0}};
    for (const auto& record : records)
        for (const uint16_t field : record) {
            bytes.push_back(static_cast<char>(field & 0xFF));
            bytes.push_back(static_cast<char>(field >> 8));
        }
    return bytes;
}

class TextDrawing : public testing::Test {
protected:
    void SetUp() override
    {
        window.AddPng("glyphs.png", 16, 8, GlyphPicture());
        window.dataFolder.WriteFile("glyphs.bin", CharsetFile());
        window.Index();
        window.Open();
        std::shared_ptr<Resource> texture;
        ASSERT_TRUE(ResourceManager::Instance().GetResource("glyphs.png", Resource::RT_TEXTURE, texture));
        ASSERT_TRUE(ResourceManager::Instance().GetResource("glyphs.bin", Resource::RT_FONT, font));
        auto* f = dynamic_cast<EngineCore::Font*>(font.get());
        ASSERT_TRUE(f);
        f->SetAscii("ab");
        f->SetTexture(texture);
        window.onRender = [] { EngineCore::RenderSystem::Instance().Update(0.0f); };
    }

    // Runs `steps` in turn, one a frame, each checked on the frame after it was drawn.
    void Check(const std::vector<std::pair<std::function<void()>, std::vector<Probe>>>& steps)
    {
        window.onUpdate = [&](int frame) {
            if (frame >= 2) {
                const std::vector<uint32_t> screen = window.ReadScreen();
                for (const Probe& p : steps[static_cast<size_t>(frame - 2)].second) {
                    const uint32_t got = Rgb(screen[static_cast<size_t>(p.y * BackendWindow::kWidth + p.x)]);
                    EXPECT_EQ(p.rgb, got) << "step " << frame - 2 << " at (" << p.x << "," << p.y << ")";
                }
            }
            if (frame - 1 < static_cast<int>(steps.size()))
                steps[static_cast<size_t>(frame - 1)].first();
        };
        window.RunFrames(static_cast<int>(steps.size()) + 1);
    }

    BackendWindow window;
    std::shared_ptr<Resource> font;
};

const uint32_t R = Rgb(kRed), G = Rgb(kGreen), K = 0;

}  // namespace

TEST_F(TextDrawing, WrappedRectangleDrawsItsGlyphsInPlace)
{
    auto rect = std::make_shared<GameCore::TextRect>();
    ASSERT_TRUE(ResourceManager::Instance().AddResource("Internal.TextRect.gl", rect));
    GameCore::TextRect::Rect area;
    area.right = 20;
    area.bottom = 40;
    Check({
        {[&] {
             rect->SetPosition(2, 3);
             rect->SetCharOffset(0);
             rect->SetSpaceWidth(3);
             rect->SetLineOffset(2);
             rect->SetRect(area);
             rect->SetFont(font);
             rect->SetVisible(true);
             // "ab " (13) + "ab" would be 23 > 20: lines "ab ", "ab ", "ba", 10 apart.
             rect->SetText("ab ab ba");
         },
         {{2, 3, R}, {5, 10, R}, {6, 3, G}, {11, 10, G}, {12, 3, K}, {1, 3, K}, {2, 2, K}, {2, 11, K},
          {2, 13, R}, {11, 20, G}, {2, 23, G}, {7, 30, G}, {8, 23, R}, {11, 30, R}, {12, 23, K}, {2, 33, K}}},
        {[&] {
             // Centred lines: "ab " measures 13 with its trailing space, so it starts
             // at 2 + 10 - 6.5 and its glyphs land on 6 and 10; "ba" (10) starts at 7.
             // The block (3 x 8 + 2 x 2 = 28) centred in 40 starts 6 lower.
             rect->SetAlignment(1);
             rect->SetVerAlignment(1);
         },
         {{6, 9, R}, {9, 16, R}, {10, 9, G}, {15, 9, G}, {16, 9, K}, {5, 9, K}, {6, 8, K},
          {7, 29, G}, {12, 29, G}, {13, 29, R}, {16, 36, R}, {17, 29, K}, {6, 29, K}}},
        {[&] {
             // A shorter text: the glyphs it no longer needs vanish in the same frame.
             rect->SetAlignment(0);
             rect->SetVerAlignment(0);
             rect->SetText("b");
         },
         {{2, 3, G}, {7, 10, G}, {8, 3, K}, {2, 13, K}, {2, 23, K}, {8, 23, K}}},
    });
}

TEST_F(TextDrawing, TextObjectDrawsOneLine)
{
    GameCore::TextObject text;
    Check({
        {[&] {
             text.SetPosition(10, 20);
             text.SetFont(font);
             text.SetText("ab a");
             text.SetVisible(true);
         },
         // Character space 2, space width 5: a at 10, b at 16, a at 16 + 6 + 2 + 5 = 29.
         {{10, 20, R}, {13, 27, R}, {14, 20, K}, {16, 20, G}, {21, 27, G}, {22, 20, K}, {29, 20, R},
          {32, 27, R}, {33, 20, K}, {10, 19, K}, {10, 28, K}}},
        {[&] { text.SetColor(0xFF00FF00u); },
         // The vertex colour multiplies: red glyphs go black, green stay.
         {{10, 20, K}, {16, 20, G}}},
    });
}
