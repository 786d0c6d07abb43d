#pragma once
#include <memory>
#include <string>
#include <vector>

#include "engine/Renderer/Sprite.h"
#include "engine/Resources/HeldResource.h"
#include "game/Renderer/CharacterSprites.h"

namespace EngineCore {
class Font;
}

namespace GameCore {

// One line of text drawn with a bitmap font as one sprite per character that is not
// a space, each showing its glyph's rectangle of the font texture, side by side from
// the object's position. The object draws nothing itself; colour, visibility,
// priority, blend mode and position set on it are passed to its character sprites.
// The character sprites are resources of the manager named
// "<own name>.character.<position in the text, spaces counted>"; the object itself is
// named "Internal.TextObject.<n>" from a process-wide counter but is not filed there.
// A sprite the object lets go of is hidden at once, so that no stale glyph shows while
// the manager has yet to free it.
class TextObject : public EngineCore::Sprite {
public:
    TextObject();
    ~TextObject() override;
    TextObject(const TextObject&) = delete;
    TextObject& operator=(const TextObject&) = delete;

    void SetPriority(float priority) override;
    void SetColor(uint32_t argb) override;
    void SetVisible(bool visible) override;
    void SetBlendMode(BlendMode mode) override;
    void Render() override;
    // Moves every character sprite by the change of position.
    void SetPosition(float x, float y) override;

    // The wide text is stored and returned only: the layout draws the 8-bit text.
    virtual void SetText(const char16_t* text);
    virtual void SetText(const char* text);
    // A resource that is not a font counts as no font.
    virtual void SetFont(const std::shared_ptr<EngineCore::Resource>& font);

    // Apply from the next layout.
    void SetSpaceWidth(float width) { _spaceWidth = width; }
    void SetCharacterSpace(float space) { _characterSpace = space; }

    const char* GetAsciiText() const { return _text.c_str(); }
    const std::u16string& GetUnicodeText() const { return _wideText; }
    const std::shared_ptr<EngineCore::Resource>& GetFont() const { return _font.Shared(); }
    // Number of character sprites held (one per non-space character once laid out).
    size_t GetCharacterCount() const;

    // The glyph width of `c`; 0 without a glyph or without a font.
    float GetCharWidthW(char c) const;
    // The sum of the glyph widths of `text`, spaces included as the font's own space
    // glyph; neither the space width nor the character space counts.
    float GetTextWidth(const char* text) const;

protected:
    void Init() override;
    void Release() override;
    // Lays the text out; throws "Resource (%s) creating error." for a character that
    // has no sprite or no glyph, keeping the characters set up so far.
    virtual void OnDataChanged();

private:
    float _spaceWidth = 5.0f;
    float _characterSpace = 2.0f;
    std::string _text;
    std::u16string _wideText;
    EngineCore::HeldResource<EngineCore::Font> _font;
    // By position in the text, as they are named: null for a space.
    CharacterSpriteList _characters;
    CharacterNaming _naming;
};

}  // namespace GameCore
