#pragma once
// What text objects and text rectangles share about their character sprites.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/Renderer/Font.h"
#include "engine/Renderer/Sprite.h"

namespace EngineCore {
class Resource;
}  // namespace EngineCore

namespace GameCore {

typedef std::vector<std::shared_ptr<EngineCore::Resource>> CharacterSpriteList;

// The sprite of that name from the resource manager (made through the factory the
// first time); throws "Resource (%s) creating error." from `source` when there is
// none or the name is held by something that is not a sprite.
EngineCore::Sprite* FetchCharacterSprite(const std::string& name, const char* source, int line,
                                         std::shared_ptr<EngineCore::Resource>& holder);

// What a text's last layout named its character sprites under.
struct CharacterNaming {
    // "<text's name>.character." (the first prefixLength characters), then the index of
    // the name built last: one buffer for every name a layout builds.
    std::string name;
    size_t prefixLength = 0;
    // The manager's entry-change count when the last layout began.
    uint64_t entryChanges = 0;
};

// The character sprites of one layout of a text, named "<text's name>.character.<index>".
// `previous[i]` is what the text's last layout fetched for index i (null for none). A
// sprite held there is taken again without asking the manager, which gives the same:
// the manager changes what a name gives only by replacing or removing its entry, which
// moves its entry-change count, or by freeing an entry that nobody else holds, which a
// held sprite is not. So while the count and the text's name are what they were when the
// last layout began, each sprite it held is still its name's answer. If either moved,
// every index is asked for by name.
class CharacterSpriteFetch {
public:
    // Brings `naming` up to this layout; both must outlive the fetch.
    CharacterSpriteFetch(CharacterNaming& naming, const char* ownName, const CharacterSpriteList& previous);
    CharacterSpriteFetch(const CharacterSpriteFetch&) = delete;
    CharacterSpriteFetch& operator=(const CharacterSpriteFetch&) = delete;

    // As FetchCharacterSprite of the index's name.
    EngineCore::Sprite* Fetch(size_t index, const char* source, int line,
                              std::shared_ptr<EngineCore::Resource>& holder);
    // Valid until the next Name or Fetch.
    const std::string& Name(size_t index);

private:
    CharacterNaming& _naming;
    const CharacterSpriteList& _previous;
    bool _reuse;
};

// Logs that `font` has no glyph for `c` of `text` (naming the font, the character and
// the text), then throws "Resource (<characterName>) creating error." from `source`.
[[noreturn]] void ThrowMissingGlyph(const std::string& characterName, const char* source, int line,
                                    const EngineCore::Font& font, char c, const std::string& text);

// Hides every sprite of `dropped` that `kept` no longer holds: the manager frees a
// dropped sprite only in one of its next updates, and it must not show until then.
void HideDroppedSprites(const CharacterSpriteList& dropped, const CharacterSpriteList& kept);

// Hides what `dropped` held and `kept` does not when it goes, so that a layout that
// stops half-way (a character without a glyph throws) still hides what it let go of.
class HideDroppedOnExit {
public:
    HideDroppedOnExit(const CharacterSpriteList& dropped, const CharacterSpriteList& kept)
        : _dropped(dropped), _kept(kept)
    {
    }
    ~HideDroppedOnExit() { HideDroppedSprites(_dropped, _kept); }
    HideDroppedOnExit(const HideDroppedOnExit&) = delete;
    HideDroppedOnExit& operator=(const HideDroppedOnExit&) = delete;

private:
    const CharacterSpriteList& _dropped;
    const CharacterSpriteList& _kept;
};

// Passes one setting of the owning text on to every character sprite held.
template <typename Parameter, typename Value>
void SetOnCharacters(const CharacterSpriteList& characters, void (EngineCore::Sprite::*set)(Parameter),
                     Value value)
{
    for (const auto& c : characters)
        if (c)
            (static_cast<EngineCore::Sprite*>(c.get())->*set)(value);
}

// What a text hands on to each character it lays out, taken once per layout.
struct CharacterLook {
    uint32_t color;
    bool visible;
    float priority;
    EngineCore::Sprite::BlendMode blend;
};

CharacterLook LookOf(const EngineCore::Sprite& text);
void ApplyLook(EngineCore::Sprite& character, const CharacterLook& look);

// Shows glyph `info` of a font of `fontHeight` from `texture` on `character`, its hot
// spot centred horizontally and on the middle of the line vertically.
void ShowGlyph(EngineCore::Sprite& character, const std::shared_ptr<EngineCore::Resource>& texture,
               const EngineCore::Font::CharInfo& info, float fontHeight);

// The glyph width of `c`; 0 without a glyph or without a font.
float GlyphWidth(const EngineCore::Font* font, char c);

// The hot spot's y that centres a glyph on the middle of a line of the font's height:
// the integer half of the glyph's height, less half the font height rounded (halves
// up), less the glyph's offset. Signed: with a short glyph in a tall font it is negative.
int GlyphHotSpotY(unsigned height, float fontHeight, int offset);

}  // namespace GameCore
