#pragma once
// Where the game picture lands in the window, and how window pixels map back:
// game x = window x / hscale + hoffset, game y = window y / vscale + voffset.

namespace hgeplatform {

struct DisplayMapping {
    float hscale = 1.0f;
    float vscale = 1.0f;
    float hoffset = 0.0f;
    float voffset = 0.0f;
    // The picture's rectangle in window coordinates (top left origin).
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    float GameX(float windowX) const { return windowX / hscale + hoffset; }
    float GameY(float windowY) const { return windowY / vscale + voffset; }
    float WindowX(float gameX) const { return (gameX - hoffset) * hscale; }
    float WindowY(float gameY) const { return (gameY - voffset) * vscale; }
};

// Windowed: the window is the game's size, scale 1. Full screen with stretch: the picture
// fills the window. Full screen without stretch: uniform scale, centred between bars.
// Degenerate sizes give scale 1 and no offset, never a zero scale.
DisplayMapping ComputeDisplayMapping(bool windowed, bool stretch, int gameWidth, int gameHeight,
                                     int windowWidth, int windowHeight);

}  // namespace hgeplatform
