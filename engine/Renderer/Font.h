#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/Resources/Resource.h"

namespace EngineCore {

// A bitmap font: a texture, the characters it covers (8-bit or wide) and one glyph
// record per character, glyph i belonging to the character at position i. The
// character-to-glyph tables and the line height are rebuilt lazily on the first
// lookup after a change; that rebuild mutates from const lookups, so one font must
// not be looked up from two threads at once.
class Font : public Resource {
public:
    struct CharInfo {
        uint16_t index = 0;  // the glyph's own position in the table
        uint16_t x = 0;      // rectangle in the texture, in texels
        uint16_t y = 0;
        uint16_t width = 0;  // also the advance
        uint16_t height = 0;
        int16_t offset = 0;  // vertical offset in pixels; positive moves down
    };

    Font();
    ~Font() override;

    bool IsValid() const override;

    virtual void SetAscii(const char* text);
    virtual void SetUnicode(const char16_t* text);
    virtual void SetTexture(const std::shared_ptr<Resource>& texture);

    const std::string& GetAscii() const { return _ascii; }
    const std::u16string& GetUnicode() const { return _unicodeChars; }
    bool IsUnicodeCharset() const { return _unicode; }
    const std::shared_ptr<Resource>& GetTexture() const { return _texture; }

    // False for a character the font does not cover, a glyph index past the table, or
    // a lookup of the other width than the font's character set.
    bool GetCharacterInfo(char c, CharInfo& out) const;
    bool GetCharacterInfo(char16_t c, CharInfo& out) const;
    // The largest glyph height + |offset| as the last rebuild left it: 0 until the
    // first lookup after a change.
    float GetHeight() const { return _height; }

protected:
    void Init() override;
    // Drops the texture.
    void Release() override;

    // The glyph table becomes `count` zeroed records.
    void Reserve(unsigned count);
    // False when `index` is not below the table size.
    bool SetInfo(uint16_t index, uint16_t x, uint16_t y, uint16_t width, uint16_t height, int16_t offset);
    bool GetInfo(uint16_t index, CharInfo& out) const;
    void UpdateData() const;

private:
    bool _unicode = false;
    mutable bool _dirty = true;
    std::shared_ptr<Resource> _texture;
    mutable float _height = 0.0f;
    std::string _ascii;
    std::u16string _unicodeChars;
    std::vector<CharInfo> _glyphs;
    mutable std::map<char, uint16_t> _charToGlyph;
    mutable std::map<char16_t, uint16_t> _wcharToGlyph;
};

}  // namespace EngineCore
