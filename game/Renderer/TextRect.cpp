#include "game/Renderer/TextRect.h"

#include <cmath>
#include <string>
#include <utility>

#include "engine/Renderer/Font.h"
#include "engine/System/EngineError.h"
#include "game/Renderer/CharacterSprites.h"

namespace GameCore {

namespace {

const char* const kSource = "Renderer\\TextRect.cpp";

EngineCore::Sprite* AsSprite(const std::shared_ptr<EngineCore::Resource>& resource)
{
    return static_cast<EngineCore::Sprite*>(resource.get());
}

// Word and space widths are kept as unsigned 16-bit numbers: truncated toward zero and
// wrapped modulo 65536, so a negative width (a character offset larger than the space
// width) becomes a large one the same way every time. No finite value is undefined.
uint16_t ToWidth16(float value)
{
    if (!std::isfinite(value))
        return 0;
    double wrapped = std::fmod(std::trunc(static_cast<double>(value)), 65536.0);
    if (wrapped < 0)
        wrapped += 65536.0;
    return static_cast<uint16_t>(wrapped);
}

// Truncation toward zero into an int; values beyond int are clamped, NaN gives 0.
int ToInt(double value)
{
    if (!(value == value))
        return 0;
    if (value >= 2147483647.0)
        return INT32_MAX;
    if (value <= -2147483648.0)
        return INT32_MIN;
    return static_cast<int>(value);
}

// The rectangle's width modulo 2^32, as the difference of two 32-bit values: a script
// may set any sides, and the difference of far-apart ones is no int.
uint32_t WidthOf(const TextRect::Rect& rect)
{
    return static_cast<uint32_t>(rect.right) - static_cast<uint32_t>(rect.left);
}

}  // namespace

TextRect::TextRect() = default;

TextRect::~TextRect()
{
    HideDroppedSprites(_characters, {});
}

void TextRect::Render() {}

void TextRect::SetVerticalScale(float) {}

void TextRect::SetHorizontalScale(float) {}

void TextRect::SetRotation(float) {}

void TextRect::SetPriority(float priority)
{
    Sprite::SetPriority(priority);
    SetOnCharacters(_characters, &EngineCore::Sprite::SetPriority, priority);
}

void TextRect::SetColor(uint32_t argb)
{
    Sprite::SetColor(argb);
    SetOnCharacters(_characters, &EngineCore::Sprite::SetColor, argb);
}

void TextRect::SetVisible(bool visible)
{
    Sprite::SetVisible(visible);
    SetOnCharacters(_characters, &EngineCore::Sprite::SetVisible, visible);
}

void TextRect::SetBlendMode(BlendMode mode)
{
    Sprite::SetBlendMode(mode);
    SetOnCharacters(_characters, &EngineCore::Sprite::SetBlendMode, mode);
}

void TextRect::UpdateSpritePosition(EngineCore::Sprite* sprite, float dx, float dy)
{
    if (sprite)
        sprite->SetPosition(sprite->GetPositionX() + dx, sprite->GetPositionY() + dy);
}

void TextRect::SetPosition(float x, float y)
{
    const float dx = static_cast<float>(static_cast<double>(x) - GetPositionX());
    const float dy = static_cast<float>(static_cast<double>(y) - GetPositionY());
    for (const auto& c : _characters)
        UpdateSpritePosition(AsSprite(c), dx, dy);
    Sprite::SetPosition(x, y);
}

void TextRect::SetFont(const std::shared_ptr<EngineCore::Resource>& font)
{
    _font.Hold(font);
    OnDataChanged();
}

void TextRect::SetAlignment(StringAlignment alignment)
{
    _alignment = alignment;
    OnDataChanged();
}

void TextRect::SetVerAlignment(VerticalAlignment alignment)
{
    _verAlignment = alignment;
    OnDataChanged();
}

void TextRect::SetRect(const Rect& rect)
{
    _rect = rect;
    OnDataChanged();
}

void TextRect::SetSpaceWidth(float width)
{
    _spaceWidth = width;
    OnDataChanged();
}

void TextRect::SetCharOffset(float offset)
{
    _charOffset = offset;
    OnDataChanged();
}

void TextRect::SetLineOffset(float offset)
{
    _lineOffset = offset;
    OnDataChanged();
}

void TextRect::SetText(const char* text)
{
    _text = text ? text : "";
    OnDataChanged();
}

void TextRect::SetText(const char16_t* text)
{
    _wideText = text ? text : u"";
    OnDataChanged();
}

bool TextRect::GetDrawTextRect(Rect& out) const
{
    out = _drawTextRect;
    return true;
}

float TextRect::GetCharWidthW(char c) const
{
    return GlyphWidth(_font.Get(), c);
}

float TextRect::GetTextWidth(const char* text) const
{
    float width = 0.0f;
    for (size_t i = 0; text && text[i]; ++i) {
        width += text[i] == ' ' ? _spaceWidth : GetCharWidthW(text[i]);
        if (i > 0)
            width += _charOffset;
    }
    return width;
}

void TextRect::GetWordsFromText(const char* text, WordList& words) const
{
    const std::string all = text ? text : "";
    size_t start = 0;
    auto flushWord = [&](size_t end) {
        if (end > start) {
            const std::string word = all.substr(start, end - start);
            words.emplace_back(word, ToWidth16(GetTextWidth(word.c_str())));
        }
        start = end + 1;
    };
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i] == '\n') {
            flushWord(i);
            words.emplace_back("\n", 0);
        } else if (all[i] == ' ') {
            flushWord(i);
            words.emplace_back(" ", ToWidth16(_charOffset + _spaceWidth));
        }
    }
    flushWord(all.size());
}

void TextRect::GetLinesFromWords(const WordList& words, std::list<std::string>& lines) const
{
    const uint32_t wrapWidth = WidthOf(_rect);
    std::string line;
    // Unsigned, as the comparison: a long text of wrapped-negative widths wraps too,
    // instead of overflowing.
    uint32_t width = 0;
    for (const auto& entry : words) {
        if (entry.first == "\n") {
            lines.push_back(line);
            line.clear();
            width = 0;
        } else if (width != 0 && width + entry.second > wrapWidth) {
            lines.push_back(line);
            line = entry.first;
            width = entry.second;
        } else {
            line += entry.first;
            width += entry.second;
        }
    }
    if (!line.empty())
        lines.push_back(line);
}

void TextRect::OnDataChanged()
{
    _drawTextRect = Rect();
    std::vector<std::shared_ptr<EngineCore::Resource>> previous;
    previous.swap(_characters);
    const HideDroppedOnExit hideDropped(previous, _characters);

    if (_text.empty() || !_font) {
        _lineCount = 0;
        return;
    }
    WordList words;
    GetWordsFromText(_text.c_str(), words);
    std::list<std::string> lines;
    GetLinesFromWords(words, lines);
    CharacterSpriteFetch fetch(_naming, GetName(), previous);
    LayOut(lines, _font->GetSnapshot(), fetch);
}

void TextRect::LayOut(const std::list<std::string>& lines, const EngineCore::Font::Snapshot& glyphs,
                      CharacterSpriteFetch& fetch)
{
    size_t count = 0;
    for (const char c : _text)
        if (c != ' ' && c != '\n')
            ++count;
    _characters.reserve(count);

    const CharacterLook look = LookOf(*this);
    const float x = GetPositionX();
    const float y = GetPositionY();
    const std::shared_ptr<EngineCore::Resource>& texture = glyphs.GetTexture();
    const float fontHeight = glyphs.GetHeight();

    const int lineCount = static_cast<int>(lines.size());
    _lineCount = lineCount;
    _drawTextRect.top = ToInt(y);
    const float lineStep = fontHeight + _lineOffset;
    const int64_t blockHeight =
        int64_t(lineCount - 1) * ToInt(_lineOffset) + int64_t(lineCount) * ToInt(fontHeight);

    float penY = y;
    if (_verAlignment == 1 || _verAlignment == 2) {
        const int64_t free = _rect.bottom - blockHeight;
        if (free > 0) {
            penY = _verAlignment == 1 ? y + static_cast<float>(free) * 0.5f : y + static_cast<float>(free);
            _drawTextRect.bottom = _rect.bottom;
        } else {
            _verAlignment = 0;
        }
    }
    if (_verAlignment == 0)
        _drawTextRect.bottom = ToInt(static_cast<double>(ToInt(y) + blockHeight));

    const int rectWidth = static_cast<int>(WidthOf(_rect));
    EngineCore::Font::CharInfo info;
    for (const std::string& line : lines) {
        float penX = x;
        if (_alignment >= 0 && _alignment <= 2) {
            const float lineWidth = GetTextWidth(line.c_str());
            if (_alignment == 1)
                penX = x + static_cast<float>(rectWidth / 2) - lineWidth / 2;
            else if (_alignment == 2)
                penX = x + static_cast<float>(rectWidth) - lineWidth;
            _drawTextRect.left = ToInt(penX);
            _drawTextRect.right = ToInt(penX + lineWidth);
        }
        for (size_t p = 0; p < line.size(); ++p) {
            const char c = line[p];
            if (c == ' ') {
                // A space that opens a line is not drawn and does not move the pen.
                if (p > 0)
                    penX += _charOffset + _spaceWidth;
                continue;
            }
            const size_t index = _characters.size();
            std::shared_ptr<EngineCore::Resource> holder;
            EngineCore::Sprite* sprite = fetch.Fetch(index, kSource, 301, holder);
            _characters.push_back(std::move(holder));
            ApplyLook(*sprite, look);
            if (!glyphs.GetCharacterInfo(c, info))
                ThrowMissingGlyph(fetch.Name(index), kSource, 308, *_font, c, _text);
            ShowGlyph(*sprite, texture, info, fontHeight);
            const int half = info.width / 2;
            sprite->SetPosition(static_cast<float>(ToInt(penX + static_cast<float>(half) + 0.5f)),
                                static_cast<float>(ToInt(penY + 0.5f)));
            penX += static_cast<float>(info.width) + _charOffset;
        }
        penY += lineStep;
    }
}

}  // namespace GameCore
