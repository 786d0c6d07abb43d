#pragma once
// Alpha images: 8-bit palettised pictures read through the virtual file system, whose
// pixels give alpha through the red of their palette entries. The Sprite and
// CharacterAnimation script classes write them into textures.

#include <memory>
#include <string>

#include "game/FreeImageLibEx/Picture.h"

namespace GameCore {

// Reads and decodes the image `name`; images of fewer than 8 bits are widened to 8
// (a failed widening is caught by ViewAlphaPicture). Throws "Resource (%s) creating
// error." when the file is missing or undecodable, "Resource (%s) content error." when
// it gives no size.
std::shared_ptr<FreeImageLibEx::Picture> LoadAlphaPicture(const std::string& name, const char* source);

// The pixels of a decoded alpha image; bits hold the bottom row first.
struct AlphaPictureView {
    int width = 0;
    int height = 0;
    unsigned pitch = 0;
    const unsigned char* bits = nullptr;
    // Alpha of the pixel at (x, y), y counted from the top; false for an index past
    // the palette.
    bool AlphaAt(const FreeImageLibEx::Picture& picture, int x, int y, unsigned char& alpha) const
    {
        const unsigned char index = bits[static_cast<size_t>(height - 1 - y) * pitch + static_cast<size_t>(x)];
        unsigned char green = 0;
        unsigned char blue = 0;
        return picture.GetColor(index, alpha, green, blue);
    }
};

// Size, row length and pixels of an 8-bit picture; throws "Resource (%s) content
// error." for anything else.
AlphaPictureView ViewAlphaPicture(const FreeImageLibEx::Picture& picture, const std::string& name,
                                  const char* source);

}  // namespace GameCore
