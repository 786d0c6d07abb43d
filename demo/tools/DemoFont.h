#pragma once
// The demo's bitmap font, drawn by code: a glyph picture, its character-set file and a
// script naming the characters in picture order. The picture also reads as an image
// font of other 2D runtimes: every glyph cell is preceded by a one-pixel column of the
// separator colour, which is the colour of the top-left pixel.
#include <string>
#include <vector>

namespace DemoData {

struct DemoFont {
    std::string characters;                // glyph i belongs to characters[i]
    std::vector<unsigned char> png;        // the glyph picture
    std::vector<unsigned char> charset;    // "kT.charset.bin": one record per glyph
    std::string script;                    // Lua: DemoFont = { characters = ... }
};

DemoFont MakeDemoFont();

}  // namespace DemoData
