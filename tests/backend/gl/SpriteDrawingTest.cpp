#include <cmath>
#include <thread>

#include "backend/Base/HGESprite.h"
#include "tests/backend/gl/BackendWindow.h"

using namespace BackendTest;
using EngineCore::Resource;
using EngineCore::ResourceManager;
using EngineCore::Sprite;

namespace {

const Resource::ResourceType kSpriteType = Resource::RT_SPRITE;
const Resource::ResourceType kTextureType = Resource::RT_TEXTURE;

struct Probe {
    int x, y;
    uint32_t rgb;
};

// Magnified pictures are filtered, so probes of scaled cases keep a texel away from
// the edges between the quarters.
struct DrawCase {
    const char* name;
    std::function<void(Sprite&, const std::shared_ptr<Resource>&)> setup;
    std::vector<Probe> probes;
    bool withBackground = false;
    int tolerance = 0;
};

const float kQuarterTurn = 1.57079632679f;

std::shared_ptr<Sprite> MakeSprite(const std::string& name)
{
    std::shared_ptr<Resource> res;
    EXPECT_TRUE(ResourceManager::Instance().GetResource(name.c_str(), kSpriteType, res));
    return std::dynamic_pointer_cast<Sprite>(res);
}

// The usual order: texture, then the whole picture as rectangle.
void Textured(Sprite& s, const std::shared_ptr<Resource>& tex)
{
    ASSERT_TRUE(s.SetTexture(tex));
    s.SetTextureRect(0, 0, 8, 8);
    s.SetPosition(10, 10);
    s.SetVisible(true);
}

}  // namespace

TEST(SpriteDrawing, AttributesGiveTheExpectedPixels)
{
    BackendWindow window;
    window.OpenWithQuarters("quarters.png");

    std::shared_ptr<Resource> tex;
    ASSERT_TRUE(ResourceManager::Instance().GetResource("quarters.png", kTextureType, tex));

    const uint32_t R = Rgb(kRed), G = Rgb(kGreen), B = Rgb(kBlue), W = Rgb(kWhite), K = 0;
    std::vector<DrawCase> cases = {
        {"plain", Textured,
         {{10, 10, R}, {14, 10, G}, {10, 14, B}, {17, 17, W}, {9, 10, K}, {18, 10, K}, {10, 18, K}}},
        {"hot spot",
         [](Sprite& s, const std::shared_ptr<Resource>& t) {
             Textured(s, t);
             s.SetHotSpot(4, 4);
         },
         {{6, 6, R}, {10, 6, G}, {6, 10, B}, {13, 13, W}, {5, 6, K}, {14, 14, K}}},
        {"scale 2",
         [](Sprite& s, const std::shared_ptr<Resource>& t) {
             Textured(s, t);
             s.SetHorizontalScale(2);
             s.SetVerticalScale(2);
         },
         {{12, 12, R}, {16, 16, R}, {20, 12, G}, {12, 20, B}, {22, 22, W}, {24, 24, W}, {26, 26, K}}},
        {"vertical scale 0 takes the horizontal one",
         [](Sprite& s, const std::shared_ptr<Resource>& t) {
             Textured(s, t);
             s.SetHorizontalScale(2);
             s.SetVerticalScale(0);
         },
         {{12, 12, R}, {16, 16, R}, {20, 12, G}, {12, 20, B}, {22, 22, W}, {24, 24, W}, {26, 26, K}}},
        {"scale about the hot spot",
         [](Sprite& s, const std::shared_ptr<Resource>& t) {
             Textured(s, t);
             s.SetHotSpot(4, 4);
             s.SetPosition(20, 20);
             s.SetHorizontalScale(2);
             s.SetVerticalScale(2);
         },
         {{14, 14, R}, {18, 18, R}, {22, 22, W}, {26, 26, W}, {28, 28, K}, {11, 11, K}}},
        {"quarter turn clockwise on screen",
         [](Sprite& s, const std::shared_ptr<Resource>& t) {
             Textured(s, t);
             s.SetPosition(20, 20);
             s.SetRotation(kQuarterTurn);
         },
         {{19, 20, R}, {19, 27, G}, {12, 20, B}, {12, 27, W}, {20, 20, K}, {11, 20, K}}},
        {"colour multiplies",
         [](Sprite& s, const std::shared_ptr<Resource>& t) {
             Textured(s, t);
             s.SetColor(0xFF808080u);
         },
         {{10, 10, 0x800000}, {17, 17, 0x808080}},
         false,
         1},
        {"colour adds with blend 3",
         [](Sprite& s, const std::shared_ptr<Resource>& t) {
             Textured(s, t);
             s.SetBlendMode(3);
             s.SetColor(0xFF204060u);
         },
         {{10, 10, 0xFF4060}, {10, 14, 0x2040FF}, {17, 17, W}},
         false,
         1},
        {"additive blending over a grey background",
         [](Sprite& s, const std::shared_ptr<Resource>& t) {
             Textured(s, t);
             s.SetBlendMode(0);
         },
         {{10, 10, 0xFF4040}, {10, 14, 0x4040FF}, {30, 30, 0x404040}},
         true,
         1},
        {"alpha blending over a grey background",
         Textured,
         {{10, 10, R}, {10, 14, B}, {30, 30, 0x404040}},
         true,
         1},
        {"flip horizontal",
         [](Sprite& s, const std::shared_ptr<Resource>& t) {
             Textured(s, t);
             s.SetFlipHorizontal(true);
         },
         {{10, 10, G}, {14, 10, R}, {10, 14, W}, {17, 17, B}}},
        {"flip vertical",
         [](Sprite& s, const std::shared_ptr<Resource>& t) {
             Textured(s, t);
             s.SetFlipVertical(true);
         },
         {{10, 10, B}, {14, 10, W}, {10, 14, R}, {17, 17, G}}},
        {"flip both, then unflip horizontal",
         [](Sprite& s, const std::shared_ptr<Resource>& t) {
             Textured(s, t);
             s.SetFlipHorizontal(true);
             s.SetFlipVertical(true);
             s.SetFlipHorizontal(false);
         },
         {{10, 10, B}, {14, 10, W}, {10, 14, R}, {17, 17, G}}},
        {"flips keep the hot spot",
         [](Sprite& s, const std::shared_ptr<Resource>& t) {
             Textured(s, t);
             s.SetHotSpot(2, 0);
             s.SetFlipHorizontal(true);
         },
         {{8, 10, G}, {12, 10, R}, {15, 10, R}, {7, 10, K}, {16, 10, K}}},
        {"texture rectangle sets the drawn size",
         [](Sprite& s, const std::shared_ptr<Resource>& t) {
             Textured(s, t);
             s.SetTextureRect(4, 0, 4, 4);
         },
         {{10, 10, G}, {13, 13, G}, {14, 10, K}, {10, 14, K}}},
        {"rectangle before texture",
         [](Sprite& s, const std::shared_ptr<Resource>& t) {
             s.SetTextureRect(4, 0, 4, 4);
             ASSERT_TRUE(s.SetTexture(t));
             s.SetPosition(10, 10);
             s.SetVisible(true);
         },
         {{10, 10, G}, {13, 13, G}, {14, 10, K}, {10, 14, K}}},
        {"flip before rectangle",
         [](Sprite& s, const std::shared_ptr<Resource>& t) {
             Textured(s, t);
             s.SetFlipHorizontal(true);
             s.SetTextureRect(0, 0, 8, 4);
         },
         {{10, 10, G}, {17, 10, R}, {10, 13, G}, {10, 14, K}}},
        {"invisible",
         [](Sprite& s, const std::shared_ptr<Resource>& t) {
             Textured(s, t);
             s.SetVisible(false);
         },
         {{10, 10, K}, {17, 17, K}}},
    };

    std::shared_ptr<Sprite> background = MakeSprite("background");
    ASSERT_TRUE(background->SetTexture(tex));
    background->SetTextureRect(4, 4, 4, 4);  // the white quarter
    background->SetHorizontalScale(16);
    background->SetVerticalScale(16);
    background->SetColor(0xFF404040u);
    background->SetVisible(true);

    std::vector<std::shared_ptr<Sprite>> sprites;
    for (size_t i = 0; i < cases.size(); ++i) {
        sprites.push_back(MakeSprite("case" + std::to_string(i)));
        cases[i].setup(*sprites.back(), tex);
    }

    // Frame i draws case i - 1; the update of frame i + 1 reads it back.
    window.onRender = [&]() {
        const size_t i = static_cast<size_t>(window.frame - 1);
        if (i >= cases.size())
            return;
        if (cases[i].withBackground)
            background->Render();
        sprites[i]->Render();
    };
    window.onUpdate = [&](int frame) {
        if (frame < 2)
            return;
        const DrawCase& c = cases[static_cast<size_t>(frame - 2)];
        const std::vector<uint32_t> screen = window.ReadScreen();
        for (const Probe& p : c.probes) {
            const uint32_t got = Rgb(screen[static_cast<size_t>(p.y * BackendWindow::kWidth + p.x)]);
            EXPECT_LE(ColourDistance(got, p.rgb), c.tolerance)
                << c.name << " at (" << p.x << "," << p.y << "): got " << std::hex << got
                << " want " << p.rgb;
        }
    };
    window.RunFrames(static_cast<int>(cases.size()) + 1);
    EXPECT_EQ(window.frame, static_cast<int>(cases.size()) + 1);
}

TEST(SpriteDrawing, ResourcesMadeOnAnotherThreadDrawOnTheNextFrame)
{
    BackendWindow window;
    window.OpenWithQuarters("quarters.png");

    std::shared_ptr<Resource> tex;
    std::shared_ptr<Sprite> sprite;
    window.onUpdate = [&](int frame) {
        if (frame == 2) {
            // As the loader thread does while a game state is entered.
            std::thread loader([&]() {
                ASSERT_TRUE(ResourceManager::Instance().GetResource("quarters.png", kTextureType, tex));
                sprite = MakeSprite("loaded");
                Textured(*sprite, tex);
            });
            loader.join();
        } else if (frame == 3) {
            const std::vector<uint32_t> screen = window.ReadScreen();
            EXPECT_EQ(Rgb(screen[10 * BackendWindow::kWidth + 10]), Rgb(kRed));
            EXPECT_EQ(Rgb(screen[17 * BackendWindow::kWidth + 17]), Rgb(kWhite));
            EXPECT_EQ(Rgb(screen[10 * BackendWindow::kWidth + 14]), Rgb(kGreen));
        }
    };
    window.onRender = [&]() {
        if (sprite)
            sprite->Render();
    };
    window.RunFrames(3);
    ASSERT_TRUE(sprite);
}
