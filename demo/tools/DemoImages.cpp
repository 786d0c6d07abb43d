#include "demo/tools/DemoImages.h"

#include <FreeImage.h>

#include <algorithm>
#include <cmath>

namespace DemoData {

namespace {

uint32_t Argb(int a, int r, int g, int b)
{
    auto clamp = [](int v) { return static_cast<uint32_t>(std::min(255, std::max(0, v))); };
    return clamp(a) << 24 | clamp(r) << 16 | clamp(g) << 8 | clamp(b);
}

int Mix(int from, int to, double t) { return static_cast<int>(std::lround(from + (to - from) * t)); }

// A disc of radius r around the picture's centre, lit from the top left, with a soft edge.
Painter Ball(int size, int r, int g, int b)
{
    return [=](int x, int y) {
        const double c = (size - 1) / 2.0;
        const double dx = x - c, dy = y - c;
        const double d = std::sqrt(dx * dx + dy * dy) / (size / 2.0);
        if (d >= 1.0)
            return Argb(0, 0, 0, 0);
        const double edge = std::min(1.0, (1.0 - d) * size / 3.0);
        const double lx = x - c * 0.6, ly = y - c * 0.6;
        const double light = std::max(0.0, 1.0 - std::sqrt(lx * lx + ly * ly) / size);
        return Argb(static_cast<int>(255 * edge), Mix(r / 2, 255, light * light), Mix(g / 2, 255, light * light),
                    Mix(b / 2, 255, light * light));
    };
}

// An arrow pointer in a size x size cell, its tip at the top left; `glow` 0..3 lights
// the outline, so four cells side by side make a pulsing pointer.
uint32_t Arrow(int x, int y, int size, int glow)
{
    const int limit = size * 3 / 4;
    const bool inside = x <= y && x + y / 2 < limit && y < limit + 2;
    const bool outline = inside && (x == 0 || x == y || x + y / 2 >= limit - 2 || y >= limit);
    if (!inside)
        return Argb(0, 0, 0, 0);
    if (outline)
        return Argb(255, 255, 200 + 18 * glow, 60 + 60 * glow);
    return Argb(255, 30, 30, 40);
}

// A rounded panel with a bevel, in the given colour.
Painter Panel(int width, int height, int r, int g, int b)
{
    return [=](int x, int y) {
        const int edge = std::min(std::min(x, width - 1 - x), std::min(y, height - 1 - y));
        if (edge < 0)
            return Argb(0, 0, 0, 0);
        const bool corner = (x < 6 || x >= width - 6) && (y < 6 || y >= height - 6) &&
                            std::hypot(x < 6 ? 6 - x : x - (width - 7), y < 6 ? 6 - y : y - (height - 7)) > 6;
        if (corner)
            return Argb(0, 0, 0, 0);
        const int light = edge < 3 ? 70 : (y < height / 2 ? 20 : 0);
        return Argb(255, r + light, g + light, b + light);
    };
}

// A hero's sheet: frames of 32 x 48 side by side, a round head over a body whose
// legs are `spread[frame]` pixels apart at the feet. True where the hero is.
bool HeroShape(int x, int y, const std::vector<int>& spread)
{
    const int frame = x / 32;
    const double cx = x % 32 - 15.5;
    if (y < 14)
        return cx * cx + (y - 7.5) * (y - 7.5) < 42;
    if (y < 32)
        return std::abs(cx) < 7 - (y - 14) / 9.0;
    const double reach = spread[frame % spread.size()] * (y - 32) / 16.0;
    return std::abs(std::abs(cx) - 2.5 - reach / 2.0) < 2.0;
}

// The demo's walk of four frames and the benchmark's run of eight.
const std::vector<int> kWalk = {0, 5, 10, 5};
const std::vector<int> kRun = {0, 3, 6, 9, 10, 7, 4, 1};

bool HeroCovers(int x, int y) { return HeroShape(x, y, kWalk); }

// Colours only: the outline comes from a separate alpha image unless `alpha` is set.
uint32_t HeroPaint(int x, int y, const std::vector<int>& spread, bool alpha)
{
    if (!HeroShape(x, y, spread))
        return Argb(alpha ? 0 : 255, 0, 0, 0);
    if (y < 14)
        return Argb(255, 240, 200, 160);
    return y < 32 ? Argb(255, 200, 60, 60) : Argb(255, 60, 60, 120);
}

uint32_t HeroColour(int x, int y) { return HeroPaint(x, y, kWalk, false); }

Painter HeroShadow()
{
    return [](int x, int y) {
        const double dx = (x - 15.5) / 16.0, dy = (y - 5.5) / 6.0;
        return dx * dx + dy * dy < 1.0 ? Argb(90, 0, 0, 0) : Argb(0, 0, 0, 0);
    };
}

// A five-pointed star filling a size x size picture, gold with a darker rim, its points
// up; outside it every texel is fully transparent, so its shape is what a hit test sees.
Painter Star(int size)
{
    return [=](int x, int y) {
        const double pi = 3.14159265358979;
        const double c = (size - 1) / 2.0;
        const double dx = x - c, dy = y - c;
        const double r = std::sqrt(dx * dx + dy * dy) / (size / 2.0);
        // The outline's radius at this angle: 1 at the points, 0.45 between them.
        double a = std::atan2(dx, -dy);
        if (a < 0)
            a += 2 * pi;
        const double sector = std::fmod(a, 2 * pi / 5) / (2 * pi / 5);
        const double t = std::abs(sector - 0.5) * 2;  // 1 at a point, 0 between two
        const double outline = 0.45 + 0.55 * t * t;
        if (r >= outline)
            return Argb(0, 0, 0, 0);
        const bool rim = r > outline - 0.08;
        const int shade = static_cast<int>(60 * (1 - r));
        return rim ? Argb(255, 190, 120, 20) : Argb(255, 230 + shade / 3, 190 + shade / 2, 50 + shade);
    };
}

}  // namespace

std::vector<unsigned char> PaintGreyPng(int width, int height, const std::function<int(int x, int y)>& level)
{
    std::vector<unsigned char> out;
    FIBITMAP* bitmap = FreeImage_Allocate(width, height, 8);
    if (!bitmap)
        return out;
    RGBQUAD* palette = FreeImage_GetPalette(bitmap);
    for (int i = 0; i < 256; ++i)
        palette[i] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
    for (int y = 0; y < height; ++y) {
        BYTE* row = FreeImage_GetScanLine(bitmap, height - 1 - y);
        for (int x = 0; x < width; ++x)
            row[x] = static_cast<BYTE>(std::min(255, std::max(0, level(x, y))));
    }
    FIMEMORY* memory = FreeImage_OpenMemory();
    if (memory && FreeImage_SaveToMemory(FIF_PNG, bitmap, memory, 0)) {
        BYTE* data = nullptr;
        DWORD size = 0;
        if (FreeImage_AcquireMemory(memory, &data, &size))
            out.assign(data, data + size);
    }
    if (memory)
        FreeImage_CloseMemory(memory);
    FreeImage_Unload(bitmap);
    return out;
}

std::vector<unsigned char> PaintPng(int width, int height, const Painter& painter)
{
    std::vector<unsigned char> out;
    FIBITMAP* bitmap = FreeImage_Allocate(width, height, 32);
    if (!bitmap)
        return out;
    for (int y = 0; y < height; ++y) {
        // FreeImage keeps the bottom row first.
        BYTE* row = FreeImage_GetScanLine(bitmap, height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const uint32_t c = painter(x, y);
            row[x * 4 + FI_RGBA_BLUE] = static_cast<BYTE>(c);
            row[x * 4 + FI_RGBA_GREEN] = static_cast<BYTE>(c >> 8);
            row[x * 4 + FI_RGBA_RED] = static_cast<BYTE>(c >> 16);
            row[x * 4 + FI_RGBA_ALPHA] = static_cast<BYTE>(c >> 24);
        }
    }
    FIMEMORY* memory = FreeImage_OpenMemory();
    if (memory && FreeImage_SaveToMemory(FIF_PNG, bitmap, memory, 0)) {
        BYTE* data = nullptr;
        DWORD size = 0;
        if (FreeImage_AcquireMemory(memory, &data, &size))
            out.assign(data, data + size);
    }
    if (memory)
        FreeImage_CloseMemory(memory);
    FreeImage_Unload(bitmap);
    return out;
}

std::vector<Picture> LoosePictures()
{
    return {
        // Night-blue to violet, with a faint horizon line.
        {"Textures/MenuBackground.png", PaintPng(1024, 768,
                                                 [](int x, int y) {
                                                     const double t = y / 767.0;
                                                     const int glow = std::abs(y - 560) < 2 ? 40 : 0;
                                                     return Argb(255, Mix(16, 90, t) + glow, Mix(20, 30, t) + glow,
                                                                 Mix(60, 110, t) + glow + (x % 64 == 0 ? 6 : 0));
                                                 })},
        // A green field of 64-pixel tiles.
        {"Textures/GameBackground.png", PaintPng(1024, 768,
                                                 [](int x, int y) {
                                                     const bool light = ((x / 64) + (y / 64)) % 2 == 0;
                                                     return light ? Argb(255, 40, 110, 60) : Argb(255, 30, 90, 50);
                                                 })},
        // A gold-framed banner with three stripes.
        {"Textures/Title.png", PaintPng(512, 128,
                                        [](int x, int y) {
                                            if (x < 6 || y < 6 || x >= 506 || y >= 122)
                                                return Argb(255, 230, 180, 40);
                                            const int band = (y - 6) * 3 / 116;
                                            const int shade = 120 + band * 40;
                                            return Argb(220, shade / 3, shade / 2, shade);
                                        })},
        // A white spark that fades out from its centre; particles tint it.
        {"Textures/Spark.png", PaintPng(16, 16,
                                        [](int x, int y) {
                                            const double dx = x - 7.5, dy = y - 7.5;
                                            const double d = std::sqrt(dx * dx + dy * dy) / 8.0;
                                            return Argb(static_cast<int>(255 * std::max(0.0, 1.0 - d)), 255, 255, 255);
                                        })},
    };
}

std::vector<Picture> LoadingPackPictures()
{
    return {
        {"Loading/LoadingScreen.png", PaintPng(1024, 768,
                                               [](int x, int y) {
                                                   const bool frame = x < 8 || y < 8 || x >= 1016 || y >= 760;
                                                   return frame ? Argb(255, 200, 200, 210) : Argb(255, 12, 12, 24);
                                               })},
        {"Loading/LoadingBar.png", PaintPng(16, 16, [](int, int y) { return Argb(255, 250, Mix(220, 120, y / 15.0), 40); })},
    };
}

// The bunnymark's second picture, of the first one's size.
static std::vector<unsigned char> BunnyTwo() { return PaintPng(32, 32, Ball(32, 250, 200, 90)); }

std::vector<Picture> BenchPictures()
{
    return {
        {"HeroRun.png", PaintPng(256, 48, [](int x, int y) { return HeroPaint(x, y, kRun, true); })},
        {"HeroShadow.png", PaintPng(32, 12, HeroShadow())},
        {"BunnyTwo.png", BunnyTwo()},
    };
}

std::vector<Picture> SpritePackPictures()
{
    return {
        {"Textures/Ball.png", PaintPng(64, 64, Ball(64, 230, 60, 50))},
        {"Textures/Bunny.png", PaintPng(32, 32, Ball(32, 240, 240, 250))},
        {"Textures/BunnyTwo.png", BunnyTwo()},
        {"Textures/Walker.png", PaintPng(48, 48, Ball(48, 60, 140, 240))},
        // The walking hero: colours in the sheet, its outline in the alpha image.
        {"Textures/Hero.png", PaintPng(128, 48, HeroColour)},
        {"Textures/HeroAlpha.png", PaintGreyPng(128, 48, [](int x, int y) { return HeroCovers(x, y) ? 255 : 0; })},
        {"Textures/HeroShadow.png", PaintPng(32, 12, HeroShadow())},
        // The character benchmark's run of eight frames.
        {"Textures/HeroRun.png", PaintPng(256, 48, [](int x, int y) { return HeroPaint(x, y, kRun, false); })},
        {"Textures/HeroRunAlpha.png",
         PaintGreyPng(256, 48, [](int x, int y) { return HeroShape(x, y, kRun) ? 255 : 0; })},
        // Grey bricks, one wall cell wide and eight high.
        {"Textures/Wall.png", PaintPng(64, 512,
                                       [](int x, int y) {
                                           const int row = y / 16;
                                           const bool mortar = y % 16 == 0 || (x + (row % 2) * 16) % 32 == 0;
                                           return mortar ? Argb(255, 70, 70, 75) : Argb(255, 150, 140, 135);
                                       })},
        // Menu controls: two buttons, a name field and the block that stands for a letter.
        {"Textures/PlayButton.png", PaintPng(192, 64, Panel(192, 64, 40, 140, 70))},
        {"Textures/QuitButton.png", PaintPng(192, 64, Panel(192, 64, 150, 50, 50))},
        {"Textures/NameField.png", PaintPng(320, 48, Panel(320, 48, 20, 24, 40))},
        {"Textures/Letter.png", PaintPng(12, 24, [](int, int y) { return Argb(255, 230, 220, Mix(120, 200, y / 23.0)); })},
        // A star that answers clicks on its points but not between them.
        {"Textures/Star.png", PaintPng(128, 128, Star(128))},
        // The pointer: four 32 x 32 cells of one animation.
        {"Textures/Cursor.png", PaintPng(128, 32, [](int x, int y) { return Arrow(x % 32, y, 32, x / 32); })},
    };
}

}  // namespace DemoData
