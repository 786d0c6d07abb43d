#include "engine/Renderer/Font.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace EngineCore {

namespace {

// The glyph position of each 8-bit character by its byte value, -1 where the set lacks
// it: every character of a layout is looked up here, so it is an index, not a search.
struct ByteGlyphs {
    ByteGlyphs() { positions.fill(-1); }
    int32_t& operator[](char c) { return positions[static_cast<unsigned char>(c)]; }

    std::array<int32_t, 256> positions;
};

}  // namespace

struct Font::Table {
    bool unicode = false;
    float height = 0.0f;
    std::shared_ptr<Resource> texture;
    std::vector<CharInfo> glyphs;
    ByteGlyphs charToGlyph;
    std::map<char16_t, uint16_t> wcharToGlyph;
};

namespace {

// Positions past 65535 cannot be named by a 16-bit glyph index; they would wrap onto
// early glyphs, so they are left out of the map.
template <typename Text, typename Map>
float MapCharacters(const Text& text, Map& map, const std::vector<Font::CharInfo>& glyphs)
{
    float height = 0.0f;
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

bool Find(const std::map<char16_t, uint16_t>& map, char16_t c, const std::vector<Font::CharInfo>& glyphs,
          Font::CharInfo& out)
{
    const auto found = map.find(c);
    if (found == map.end() || found->second >= glyphs.size())
        return false;
    out = glyphs[found->second];
    return true;
}

bool Find(const ByteGlyphs& map, char c, const std::vector<Font::CharInfo>& glyphs, Font::CharInfo& out)
{
    const int32_t position = map.positions[static_cast<unsigned char>(c)];
    if (position < 0 || static_cast<size_t>(position) >= glyphs.size())
        return false;
    out = glyphs[static_cast<size_t>(position)];
    return true;
}

}  // namespace

Font::Font() : _published(std::make_shared<const Table>())
{
    SetType(RT_FONT);
}

Font::~Font() = default;

bool Font::IsValid() const
{
    return true;
}

void Font::Init() {}

void Font::PublishLocked() const
{
    auto table = std::make_shared<Table>();
    table->unicode = _unicode;
    table->texture = _texture;
    table->glyphs = _glyphs;
    table->height = _unicode ? MapCharacters(_unicodeChars, table->wcharToGlyph, _glyphs)
                             : MapCharacters(_ascii, table->charToGlyph, _glyphs);
    std::atomic_store(&_published, std::shared_ptr<const Table>(std::move(table)));
    _stale.store(false, std::memory_order_release);
}

std::shared_ptr<const Font::Table> Font::Published() const
{
    if (_stale.load(std::memory_order_acquire)) {
        std::lock_guard<std::mutex> lock(_setupLock);
        if (_stale.load(std::memory_order_relaxed))
            PublishLocked();
    }
    return std::atomic_load(&_published);
}

void Font::Release()
{
    std::lock_guard<std::mutex> lock(_setupLock);
    _texture.reset();
    PublishLocked();
}

void Font::SetAscii(const char* text)
{
    std::lock_guard<std::mutex> lock(_setupLock);
    _unicode = false;
    _ascii = text ? text : "";
    PublishLocked();
}

void Font::SetUnicode(const char16_t* text)
{
    std::lock_guard<std::mutex> lock(_setupLock);
    _unicode = true;
    _unicodeChars = text ? text : u"";
    PublishLocked();
}

void Font::SetTexture(const std::shared_ptr<Resource>& texture)
{
    std::lock_guard<std::mutex> lock(_setupLock);
    _texture = texture;
    PublishLocked();
}

std::string Font::GetAscii() const
{
    std::lock_guard<std::mutex> lock(_setupLock);
    return _ascii;
}

std::u16string Font::GetUnicode() const
{
    std::lock_guard<std::mutex> lock(_setupLock);
    return _unicodeChars;
}

bool Font::IsUnicodeCharset() const { return Published()->unicode; }

std::shared_ptr<Resource> Font::GetTexture() const { return Published()->texture; }

float Font::GetHeight() const { return Published()->height; }

Font::Snapshot Font::GetSnapshot() const { return Snapshot(Published()); }

bool Font::Snapshot::GetCharacterInfo(char c, CharInfo& out) const
{
    return !_table->unicode && Find(_table->charToGlyph, c, _table->glyphs, out);
}

float Font::Snapshot::GetHeight() const { return _table->height; }

const std::shared_ptr<Resource>& Font::Snapshot::GetTexture() const { return _table->texture; }

void Font::Reserve(unsigned count)
{
    std::lock_guard<std::mutex> lock(_setupLock);
    _glyphs.assign(count, CharInfo());
    _stale.store(true, std::memory_order_release);
}

bool Font::SetInfo(uint16_t index, uint16_t x, uint16_t y, uint16_t width, uint16_t height, int16_t offset)
{
    std::lock_guard<std::mutex> lock(_setupLock);
    if (index >= _glyphs.size())
        return false;
    CharInfo& info = _glyphs[index];
    info.index = index;
    info.x = x;
    info.y = y;
    info.width = width;
    info.height = height;
    info.offset = offset;
    _stale.store(true, std::memory_order_release);
    return true;
}

bool Font::GetInfo(uint16_t index, CharInfo& out) const
{
    std::lock_guard<std::mutex> lock(_setupLock);
    if (index >= _glyphs.size())
        return false;
    out = _glyphs[index];
    return true;
}

bool Font::GetCharacterInfo(char c, CharInfo& out) const
{
    return GetSnapshot().GetCharacterInfo(c, out);
}

bool Font::GetCharacterInfo(char16_t c, CharInfo& out) const
{
    const std::shared_ptr<const Table> table = Published();
    return table->unicode && Find(table->wcharToGlyph, c, table->glyphs, out);
}

}  // namespace EngineCore
