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

// Half a glyph, the way every layout centres one: the integer halvings of the unsigned
// width and height, less half the font height rounded, less the glyph's offset, all in
// signed arithmetic.
int GlyphHotSpotY(unsigned height, float fontHeight, int offset);

}  // namespace GameCore
