#include "engine/Renderer/Font.h"

#include <algorithm>
#include <cstdlib>

namespace EngineCore {

Font::Font()
{
    SetType(RT_FONT);
}

Font::~Font() = default;

bool Font::IsValid() const
{
    return true;
}

void Font::Init() {}

void Font::Release()
{
    _texture.reset();
}

void Font::SetAscii(const char* text)
{
    _unicode = false;
    _dirty = true;
    _ascii = text ? text : "";
}

void Font::SetUnicode(const char16_t* text)
{
    _unicode = true;
    _dirty = true;
    _unicodeChars = text ? text : u"";
}

void Font::SetTexture(const std::shared_ptr<Resource>& texture)
{
    _texture = texture;
}

void Font::Reserve(unsigned count)
{
    _glyphs.assign(count, CharInfo());
    _dirty = true;
}

bool Font::SetInfo(uint16_t index, uint16_t x, uint16_t y, uint16_t width, uint16_t height, int16_t offset)
{
    if (index >= _glyphs.size())
        return false;
    CharInfo& info = _glyphs[index];
    info.index = index;
    info.x = x;
    info.y = y;
    info.width = width;
    info.height = height;
    info.offset = offset;
    _dirty = true;
    return true;
}

bool Font::GetInfo(uint16_t index, CharInfo& out) const
{
    if (index >= _glyphs.size())
        return false;
    out = _glyphs[index];
    return true;
}

namespace {

// Positions past 65535 cannot be named by a 16-bit glyph index; they would wrap onto
// early glyphs, so they are left out of the map.
template <typename Text, typename Map>
float Rebuild(const Text& text, Map& map, const std::vector<Font::CharInfo>& glyphs)
{
    float height = 0.0f;
    map.clear();
    const size_t count = std::min<size_t>(text.size(), 0x10000);
    for (size_t i = 0; i < count; ++i) {
        map[text[i]] = static_cast<uint16_t>(i);
        if (i < glyphs.size()) {
            const Font::CharInfo& g = glyphs[i];
            height = std::max(height, static_cast<float>(g.height + std::abs(static_cast<int>(g.offset))));
        }
    }
    return height;
}

template <typename Map, typename Char>
bool Find(const Map& map, Char c, const std::vector<Font::CharInfo>& glyphs, Font::CharInfo& out)
{
    const auto found = map.find(c);
    if (found == map.end() || found->second >= glyphs.size())
        return false;
    out = glyphs[found->second];
    return true;
}

}  // namespace

void Font::UpdateData() const
{
    if (!_dirty)
        return;
    _height = _unicode ? Rebuild(_unicodeChars, _wcharToGlyph, _glyphs) : Rebuild(_ascii, _charToGlyph, _glyphs);
    _dirty = false;
}

bool Font::GetCharacterInfo(char c, CharInfo& out) const
{
    if (_unicode)
        return false;
    UpdateData();
    return Find(_charToGlyph, c, _glyphs, out);
}

bool Font::GetCharacterInfo(char16_t c, CharInfo& out) const
{
    if (!_unicode)
        return false;
    UpdateData();
    return Find(_wcharToGlyph, c, _glyphs, out);
}

}  // namespace EngineCore
