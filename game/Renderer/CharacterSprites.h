#pragma once
// What text objects and text rectangles share about their character sprites.
#include <memory>
#include <string>
#include <vector>

namespace EngineCore {
class Resource;
class Sprite;
}  // namespace EngineCore

namespace GameCore {

// The sprite of that name from the resource manager (made through the factory the
// first time); throws "Resource (%s) creating error." from `source` when there is
// none or the name is held by something that is not a sprite.
EngineCore::Sprite* FetchCharacterSprite(const std::string& name, const char* source, int line,
                                         std::shared_ptr<EngineCore::Resource>& holder);

// Hides every sprite of `dropped` that `kept` no longer holds: the manager frees a
// dropped sprite only in one of its next updates, and it must not show until then.
void HideDroppedSprites(const std::vector<std::shared_ptr<EngineCore::Resource>>& dropped,
                        const std::vector<std::shared_ptr<EngineCore::Resource>>& kept);

// The hot spot's y that centres a glyph on the middle of a line of the font's height:
// the integer half of the glyph's height, less half the font height rounded (halves
// up), less the glyph's offset. Signed: with a short glyph in a tall font it is negative.
int GlyphHotSpotY(unsigned height, float fontHeight, int offset);

}  // namespace GameCore
