#include "demo/tools/DemoFont.h"

#include <cstdint>
#include <map>

#include "demo/tools/DemoImages.h"

namespace DemoData {

namespace {

const int kColumns = 5;
const int kRows = 7;
const int kScale = 3;
const uint32_t kSeparator = 0xFFFF00FFu;
const uint32_t kInk = 0xFFFFFFFFu;

// 5 x 7 shapes, row by row; lower case letters borrow the capitals' shapes.
const std::map<char, const char*>& Shapes()
{
    static const std::map<char, const char*> shapes = {
        {' ', "..................................."},
        {'A', ".###.#...##...#######...##...##...#"},
        {'B', "####.#...##...#####.#...##...#####."},
        {'C', ".###.#...##....#....#....#...#.###."},
        {'D', "####.#...##...##...##...##...#####."},
        {'E', "######....#....####.#....#....#####"},
        {'F', "######....#....####.#....#....#...."},
        {'G', ".###.#...##....#.####...##...#.####"},
        {'H', "#...##...##...#######...##...##...#"},
        {'I', ".###...#....#....#....#....#...###."},
        {'J', "..###...#....#....#....#.#..#..##.."},
        {'K', "#...##..#.#.#..##...#.#..#..#.#...#"},
        {'L', "#....#....#....#....#....#....#####"},
        {'M', "#...###.###.#.##.#.##...##...##...#"},
        {'N', "#...##...###..##.#.##..###...##...#"},
        {'O', ".###.#...##...##...##...##...#.###."},
        {'P', "####.#...##...#####.#....#....#...."},
        {'Q', ".###.#...##...##...##.#.##..#..##.#"},
        {'R', "####.#...##...#####.#.#..#..#.#...#"},
        {'S', ".#####....#.....###.....#....#####."},
        {'T', "#####..#....#....#....#....#....#.."},
        {'U', "#...##...##...##...##...##...#.###."},
        {'V', "#...##...##...##...##...#.#.#...#.."},
        {'W', "#...##...##...##.#.##.#.##.#.#.#.#."},
        {'X', "#...##...#.#.#...#...#.#.#...##...#"},
        {'Y', "#...##...#.#.#...#....#....#....#.."},
        {'Z', "#####....#...#...#...#...#....#####"},
        {'0', ".###.#...##..###.#.###..##...#.###."},
        {'1', "..#...##....#....#....#....#...###."},
        {'2', ".###.#...#....#...#...#...#...#####"},
        {'3', "#####...#...#.....#.....##...#.###."},
        {'4', "...#...##..#.#.#..#.#####...#....#."},
        {'5', "######....####.....#....##...#.###."},
        {'6', "..##..#...#....####.#...##...#.###."},
        {'7', "#####....#...#...#...#....#....#..."},
        {'8', ".###.#...##...#.###.#...##...#.###."},
        {'9', ".###.#...##...#.####....#...#..##.."},
        {'.', "..........................##...##.."},
        {',', ".....................##....#...#..."},
        {'!', "..#....#....#....#....#.........#.."},
        {'?', ".###.#...#....#...#...#.........#.."},
        {'\'', "..#....#...#......................."},
        {'-', "...............#####..............."},
        {':', "......##...##.........##...##......"},
    };
    return shapes;
}

const char* ShapeOf(char c)
{
    const char key = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    return Shapes().at(key);
}

bool Inked(const char* shape, int column, int row)
{
    return shape[row * kColumns + column] == '#';
}

void U16(std::vector<unsigned char>& out, uint16_t v)
{
    out.push_back(static_cast<unsigned char>(v & 0xFF));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

}  // namespace

DemoFont MakeDemoFont()
{
    DemoFont font;
    font.characters = " ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789.,!?'-:";
    const int cell = kColumns * kScale + 1;
    const int width = static_cast<int>(font.characters.size()) * cell + 1;
    const int height = kRows * kScale;

    const std::string magic("kT.charset.bin", 15);
    font.charset.assign(magic.begin(), magic.end());
    for (size_t i = 0; i < font.characters.size(); ++i) {
        U16(font.charset, static_cast<uint16_t>(i));
        U16(font.charset, static_cast<uint16_t>(static_cast<int>(i) * cell + 1));
        U16(font.charset, 0);
        U16(font.charset, static_cast<uint16_t>(kColumns * kScale));
        U16(font.charset, static_cast<uint16_t>(height));
        U16(font.charset, 0);
    }

    const std::string characters = font.characters;
    font.png = PaintPng(width, height, [characters, cell](int x, int y) -> uint32_t {
        if (x % cell == 0)
            return kSeparator;
        const size_t glyph = static_cast<size_t>(x / cell);
        if (glyph >= characters.size())
            return kSeparator;
        const int column = (x % cell - 1) / kScale;
        const int row = y / kScale;
        return Inked(ShapeOf(characters[glyph]), column, row) ? kInk : 0u;
    });

    font.script = "-- Written by the demo's data tool with the glyph picture.\nDemoFont = { characters = \"";
    for (const char c : font.characters) {
        if (c == '"' || c == '\\')
            font.script.push_back('\\');
        font.script.push_back(c);
    }
    font.script += "\" }\n";
    return font;
}

}  // namespace DemoData
