#include "game/Renderer/CharacterSprites.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "engine/Renderer/Sprite.h"
#include "engine/Resources/Resource.h"
#include "engine/Resources/ResourceManager.h"
#include "engine/System/EngineError.h"
#include "engine/System/SystemLogger.h"

namespace GameCore {

EngineCore::Sprite* FetchCharacterSprite(const std::string& name, const char* source, int line,
                                         std::shared_ptr<EngineCore::Resource>& holder)
{
    std::shared_ptr<EngineCore::Resource> resource;
    EngineCore::Sprite* sprite = nullptr;
    if (EngineCore::ResourceManager::Instance().GetResource(name, EngineCore::Resource::RT_SPRITE, resource))
        sprite = dynamic_cast<EngineCore::Sprite*>(resource.get());
    if (!sprite)
        EngineCore::ThrowEngineErrorF(source, line, "Resource (%s) creating error.", name.c_str());
    holder = resource;
    return sprite;
}

CharacterSpriteFetch::CharacterSpriteFetch(CharacterNaming& naming, const char* ownName,
                                           const CharacterSpriteList& previous)
    : _naming(naming), _previous(previous)
{
    static const char kInfix[] = ".character.";
    const size_t ownLength = std::strlen(ownName);
    const bool sameName = naming.prefixLength == ownLength + sizeof(kInfix) - 1 &&
                          naming.name.compare(0, ownLength, ownName) == 0;
    const uint64_t entryChanges = EngineCore::ResourceManager::Instance().GetEntryChangeCount();
    _reuse = sameName && entryChanges == naming.entryChanges;
    if (!sameName) {
        naming.name.assign(ownName, ownLength).append(kInfix);
        naming.prefixLength = naming.name.size();
    }
    naming.entryChanges = entryChanges;
}

EngineCore::Sprite* CharacterSpriteFetch::Fetch(size_t index, const char* source, int line,
                                                std::shared_ptr<EngineCore::Resource>& holder)
{
    if (_reuse && index < _previous.size() && _previous[index]) {
        holder = _previous[index];
        // Fetched as a sprite by the last layout.
        return static_cast<EngineCore::Sprite*>(holder.get());
    }
    return FetchCharacterSprite(Name(index), source, line, holder);
}

const std::string& CharacterSpriteFetch::Name(size_t index)
{
    char digits[24];
    const char* end = std::to_chars(digits, digits + sizeof(digits), index).ptr;
    _naming.name.resize(_naming.prefixLength);
    _naming.name.append(digits, static_cast<size_t>(end - digits));
    return _naming.name;
}

void ThrowMissingGlyph(const std::string& characterName, const char* source, int line,
                       const EngineCore::Font& font, char c, const std::string& text)
{
    const unsigned code = static_cast<unsigned char>(c);
    const std::string shown = code >= 0x20 && code < 0x7F ? "'" + std::string(1, c) + "' " : std::string();
    std::string why = "Font (" + std::string(font.GetName() ? font.GetName() : "") + ") has no glyph for the character " +
                      shown + "(code " + std::to_string(code) + ") of the text \"" + text + "\"";
    why += font.GetAscii().empty() ? ": the font has no characters (no SetAscii yet)." : ": SetAscii does not list it.";
    EngineCore::SystemLogger::Instance().Log(why.c_str());
    EngineCore::ThrowEngineErrorF(source, line, "Resource (%s) creating error.", characterName.c_str());
}

void HideDroppedSprites(const CharacterSpriteList& dropped, const CharacterSpriteList& kept)
{
    // A text lists its sprites by name index, so what a layout keeps mostly stays at its
    // index: only the others are searched for among everything kept.
    const auto keptInPlace = [&](size_t i) { return !dropped[i] || (i < kept.size() && kept[i] == dropped[i]); };
    size_t first = 0;
    while (first < dropped.size() && keptInPlace(first))
        ++first;
    if (first == dropped.size())
        return;

    std::vector<const EngineCore::Resource*> held;
    held.reserve(kept.size());
    for (const auto& resource : kept)
        held.push_back(resource.get());
    std::sort(held.begin(), held.end());
    for (size_t i = first; i < dropped.size(); ++i) {
        if (keptInPlace(i) || std::binary_search(held.begin(), held.end(), dropped[i].get()))
            continue;
        if (auto* sprite = dynamic_cast<EngineCore::Sprite*>(dropped[i].get()))
            sprite->SetVisible(false);
    }
}

CharacterLook LookOf(const EngineCore::Sprite& text)
{
    return CharacterLook{text.GetColor(), text.IsVisible(), text.GetPriority(), text.GetBlendMode()};
}

void ApplyLook(EngineCore::Sprite& character, const CharacterLook& look)
{
    character.SetColor(look.color);
    character.SetVisible(look.visible);
    character.SetPriority(look.priority);
    character.SetBlendMode(look.blend);
}

void ShowGlyph(EngineCore::Sprite& character, const std::shared_ptr<EngineCore::Resource>& texture,
               const EngineCore::Font::CharInfo& info, float fontHeight)
{
    character.SetTexture(texture);
    character.SetTextureRect(info.x, info.y, info.width, info.height);
    character.SetHotSpot(static_cast<float>(info.width / 2),
                         static_cast<float>(GlyphHotSpotY(info.height, fontHeight, info.offset)));
}

float GlyphWidth(const EngineCore::Font* font, char c)
{
    EngineCore::Font::CharInfo info;
    if (!font || !font->GetCharacterInfo(c, info))
        return 0.0f;
    return static_cast<float>(info.width);
}

int GlyphHotSpotY(unsigned height, float fontHeight, int offset)
{
    const int halfFont = static_cast<int>(fontHeight * 0.5f + 0.5f);
    return static_cast<int>(height / 2) - halfFont - offset;
}

}  // namespace GameCore
