#include "game/Renderer/TextObject.h"

#include <atomic>
#include <string>

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
    for (const auto& c : _characters)
        if (c)
            AsSprite(c)->SetPriority(priority);
}

void TextObject::SetColor(uint32_t argb)
{
    Sprite::SetColor(argb);
    for (const auto& c : _characters)
        if (c)
            AsSprite(c)->SetColor(argb);
}

void TextObject::SetVisible(bool visible)
{
    Sprite::SetVisible(visible);
    for (const auto& c : _characters)
        if (c)
            AsSprite(c)->SetVisible(visible);
}

void TextObject::SetBlendMode(BlendMode mode)
{
    Sprite::SetBlendMode(mode);
    for (const auto& c : _characters)
        if (c)
            AsSprite(c)->SetBlendMode(mode);
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
    _font = nullptr;
    _fontResource = font;
    _font = dynamic_cast<EngineCore::Font*>(font.get());
    OnDataChanged();
}

float TextObject::GetCharWidthW(char c) const
{
    EngineCore::Font::CharInfo info;
    if (!_font || !_font->GetCharacterInfo(c, info))
        return 0.0f;
    return static_cast<float>(info.width);
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
    std::vector<std::shared_ptr<EngineCore::Resource>> previous;
    previous.swap(_characters);
    if (_text.empty() || !_font) {
        HideDroppedSprites(previous, _characters);
        return;
    }

    size_t count = 0;
    for (const char c : _text)
        if (c != ' ')
            ++count;

    const uint32_t color = GetColor();
    const bool visible = IsVisible();
    const float priority = GetPriority();
    const float y = GetPositionY();
    const BlendMode blend = GetBlendMode();
    const std::shared_ptr<EngineCore::Resource> texture = _font->GetTexture();
    // One lookup first: the font's height is rebuilt by lookups, and a font whose
    // characters were just set would otherwise be taken as 0 high for this layout.
    EngineCore::Font::CharInfo info;
    _font->GetCharacterInfo(_text[0], info);
    const float fontHeight = _font->GetHeight();

    _characters.reserve(count);
    struct HideOnExit {
        std::vector<std::shared_ptr<EngineCore::Resource>>& previous;
        std::vector<std::shared_ptr<EngineCore::Resource>>& kept;
        ~HideOnExit() { HideDroppedSprites(previous, kept); }
    } hideDropped{previous, _characters};

    float penX = GetPositionX();
    for (size_t i = 0; i < _text.size(); ++i) {
        const char c = _text[i];
        if (c == ' ') {
            penX += _spaceWidth;
            continue;
        }
        const std::string name = std::string(GetName()) + ".character." + std::to_string(i);
        std::shared_ptr<EngineCore::Resource> holder;
        EngineCore::Sprite* sprite = FetchCharacterSprite(name, kSource, 157, holder);
        _characters.push_back(holder);
        sprite->SetColor(color);
        sprite->SetVisible(visible);
        sprite->SetPriority(priority);
        sprite->SetBlendMode(blend);
        if (!_font->GetCharacterInfo(c, info))
            EngineCore::ThrowEngineErrorF(kSource, 164, "Resource (%s) creating error.", name.c_str());
        sprite->SetTexture(texture);
        sprite->SetTextureRect(info.x, info.y, info.width, info.height);
        sprite->SetHotSpot(static_cast<float>(info.width / 2),
                           static_cast<float>(GlyphHotSpotY(info.height, fontHeight, info.offset)));
        sprite->SetPosition(penX + static_cast<float>(info.width / 2), y);
        penX += _characterSpace + static_cast<float>(info.width);
    }
}

}  // namespace GameCore
