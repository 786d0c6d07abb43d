#include "game/Renderer/TextObject.h"

#include <algorithm>
#include <atomic>
#include <string>
#include <utility>

#include "engine/Renderer/Font.h"
#include "engine/System/EngineError.h"
#include "game/Renderer/CharacterSprites.h"

namespace GameCore {

namespace {

const char* const kSource = "Renderer\\TextObject.cpp";

std::atomic<unsigned> currentTextObjectIndex{0};

EngineCore::Sprite* AsSprite(const std::shared_ptr<EngineCore::Resource>& resource)
{
    return static_cast<EngineCore::Sprite*>(resource.get());
}

}  // namespace

TextObject::TextObject()
{
    SetName("Internal.TextObject." + std::to_string(currentTextObjectIndex++));
}

TextObject::~TextObject()
{
    HideDroppedSprites(_characters, {});
}

void TextObject::Init()
{
    Sprite::Init();
}

void TextObject::Release()
{
    Sprite::Release();
}

void TextObject::Render() {}

void TextObject::SetPriority(float priority)
{
    Sprite::SetPriority(priority);
    SetOnCharacters(_characters, &EngineCore::Sprite::SetPriority, priority);
}

void TextObject::SetColor(uint32_t argb)
{
    Sprite::SetColor(argb);
    SetOnCharacters(_characters, &EngineCore::Sprite::SetColor, argb);
}

void TextObject::SetVisible(bool visible)
{
    Sprite::SetVisible(visible);
    SetOnCharacters(_characters, &EngineCore::Sprite::SetVisible, visible);
}

void TextObject::SetBlendMode(BlendMode mode)
{
    Sprite::SetBlendMode(mode);
    SetOnCharacters(_characters, &EngineCore::Sprite::SetBlendMode, mode);
}

void TextObject::SetPosition(float x, float y)
{
    const float dx = x - GetPositionX();
    const float dy = y - GetPositionY();
    Sprite::SetPosition(x, y);
    for (const auto& c : _characters) {
        if (!c)
            continue;
        EngineCore::Sprite* sprite = AsSprite(c);
        sprite->SetPosition(sprite->GetPositionX() + dx, sprite->GetPositionY() + dy);
    }
}

void TextObject::SetText(const char16_t* text)
{
    _wideText = text ? text : u"";
    OnDataChanged();
}

void TextObject::SetText(const char* text)
{
    _text = text ? text : "";
    OnDataChanged();
}

void TextObject::SetFont(const std::shared_ptr<EngineCore::Resource>& font)
{
    _font.Hold(font);
    OnDataChanged();
}

size_t TextObject::GetCharacterCount() const
{
    return static_cast<size_t>(
        std::count_if(_characters.begin(), _characters.end(), [](const auto& c) { return c != nullptr; }));
}

float TextObject::GetCharWidthW(char c) const
{
    return GlyphWidth(_font.Get(), c);
}

float TextObject::GetTextWidth(const char* text) const
{
    float width = 0.0f;
    for (const char* p = text; p && *p; ++p)
        width += GetCharWidthW(*p);
    return width;
}

void TextObject::OnDataChanged()
{
    CharacterSpriteList previous;
    previous.swap(_characters);
    if (_text.empty() || !_font) {
        HideDroppedSprites(previous, _characters);
        return;
    }

    const CharacterLook look = LookOf(*this);
    const float y = GetPositionY();
    const EngineCore::Font::Snapshot glyphs = _font->GetSnapshot();
    const std::shared_ptr<EngineCore::Resource>& texture = glyphs.GetTexture();
    EngineCore::Font::CharInfo info;
    const float fontHeight = glyphs.GetHeight();

    _characters.reserve(_text.size());
    const HideDroppedOnExit hideDropped(previous, _characters);
    CharacterSpriteFetch fetch(_naming, GetName(), previous);

    float penX = GetPositionX();
    for (size_t i = 0; i < _text.size(); ++i) {
        const char c = _text[i];
        if (c == ' ') {
            _characters.emplace_back();
            penX += _spaceWidth;
            continue;
        }
        std::shared_ptr<EngineCore::Resource> holder;
        EngineCore::Sprite* sprite = fetch.Fetch(i, kSource, 157, holder);
        _characters.push_back(std::move(holder));
        ApplyLook(*sprite, look);
        if (!glyphs.GetCharacterInfo(c, info))
            ThrowMissingGlyph(fetch.Name(i), kSource, 164, *_font, c, _text);
        ShowGlyph(*sprite, texture, info, fontHeight);
        sprite->SetPosition(penX + static_cast<float>(info.width / 2), y);
        penX += _characterSpace + static_cast<float>(info.width);
    }
}

}  // namespace GameCore
