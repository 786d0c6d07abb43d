#pragma once
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/Renderer/Font.h"
#include "engine/Renderer/Sprite.h"
#include "engine/Resources/HeldResource.h"
#include "game/Renderer/CharacterSprites.h"

namespace GameCore {

// A block of 8-bit text in a rectangle: words wrap at the rectangle's width (a word is
// never split), lines stack downwards, each line aligns left, centred or right and the
// block top, centred or bottom. Every character other than a space or a line feed is
// drawn by its own sprite of the resource manager, named
// "<own name>.character.<drawing index>". Like the one-line text object it draws
// nothing itself and passes colour, visibility, priority, blend mode and position on
// to its characters; rotation and scales are ignored altogether. Every setter of
// layout data lays the text out again at once. A sprite let go of is hidden at once.
class TextRect : public EngineCore::Sprite {
public:
    // Any other number is stored as given; the layout then leaves the line where it is.
    typedef int StringAlignment;     // 0 left, 1 centred, 2 right
    typedef int VerticalAlignment;   // 0 top, 1 centred, 2 bottom

    struct Rect {
        int32_t left = 0;
        int32_t top = 0;
        int32_t right = 0;
        int32_t bottom = 0;
    };

    TextRect();
    ~TextRect() override;
    TextRect(const TextRect&) = delete;
    TextRect& operator=(const TextRect&) = delete;

    void SetPriority(float priority) override;
    void SetColor(uint32_t argb) override;
    void SetVisible(bool visible) override;
    void SetBlendMode(BlendMode mode) override;
    void Render() override;
    void SetVerticalScale(float scale) override;
    void SetHorizontalScale(float scale) override;
    void SetRotation(float rotation) override;
    void SetPosition(float x, float y) override;
    // A resource that is not a font counts as no font.
    virtual void SetFont(const std::shared_ptr<EngineCore::Resource>& font);

    StringAlignment GetAlignment() const { return _alignment; }
    void SetAlignment(StringAlignment alignment);
    // Falls back to 0 for good once a layout finds no room for the block.
    VerticalAlignment GetVerAlignment() const { return _verAlignment; }
    void SetVerAlignment(VerticalAlignment alignment);
    // The width (right - left) wraps; the bottom is the height the vertical
    // alignment works in; the top is not used.
    void SetRect(const Rect& rect);
    const Rect& GetRect() const { return _rect; }
    void SetSpaceWidth(float width);
    void SetCharOffset(float offset);
    void SetLineOffset(float offset);
    const std::shared_ptr<EngineCore::Resource>& GetFont() const { return _font.Shared(); }
    void SetText(const char* text);
    // Stored and returned only: the layout draws the 8-bit text.
    void SetText(const char16_t* text);
    const char* GetAsciiText() const { return _text.c_str(); }
    const std::u16string& GetUnicodeText() const { return _wideText; }

    // The glyph width of `c`; 0 without a glyph or without a font.
    float GetCharWidthW(char c) const;
    // Glyph widths, the space width for spaces, and the character offset between
    // neighbours.
    float GetTextWidth(const char* text) const;
    // Lines of the last layout; 0 when the last layout had no text or no font.
    int GetNumLines() const { return _lineCount; }
    // Left and right describe the last line; top is the first line's y; bottom is the
    // rectangle's bottom for a centred or bottom-aligned block, the block's end for a
    // top-aligned one, 0 for other alignments.
    bool GetDrawTextRect(Rect& out) const;
    // Number of character sprites held.
    size_t GetCharacterCount() const { return _characters.size(); }

    typedef std::list<std::pair<std::string, uint16_t>> WordList;
    // The word split and the line building the layout uses.
    void GetWordsFromText(const char* text, WordList& words) const;
    void GetLinesFromWords(const WordList& words, std::list<std::string>& lines) const;

protected:
    // Moves a sprite by (dx, dy); a null sprite is ignored.
    void UpdateSpritePosition(EngineCore::Sprite* sprite, float dx, float dy);

private:
    void OnDataChanged();
    void LayOut(const std::list<std::string>& lines, const EngineCore::Font::Snapshot& glyphs,
                CharacterSpriteFetch& fetch);

    Rect _rect;
    float _spaceWidth = 10.0f;
    float _charOffset = -4.0f;
    float _lineOffset = -4.0f;
    int _lineCount = 0;
    Rect _drawTextRect;
    std::string _text;
    std::u16string _wideText;
    StringAlignment _alignment = 0;
    VerticalAlignment _verAlignment = 0;
    EngineCore::HeldResource<EngineCore::Font> _font;
    // By drawing index, as they are named.
    CharacterSpriteList _characters;
    CharacterNaming _naming;
};

}  // namespace GameCore
