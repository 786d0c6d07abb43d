#pragma once
// The class-wide record of the alpha images written into textures, shared by every
// script class that writes one (Sprite, CharacterAnimation): whichever wrote an image,
// another asking for the same image in the same texture writes nothing again. A texture
// is known by its resource name; its entry also keeps the texture object written, so
// that a texture freed and loaded again under that name, which lost the alpha, is
// written again. An entry lives while it has at least one use. Safe from any thread.
#include <map>
#include <memory>
#include <string>

namespace EngineCore {
class Resource;
class Texture;
}  // namespace EngineCore

namespace GameCore {

struct TextureAlphaUse {
    // False when the image was there already and only the use was counted.
    bool written = false;
    int count = 0;
};

// Takes one use of `image` in `texture` (the object of `resource`): when the record
// holds that image for that very texture object, the use is only counted; otherwise
// the image is read and its alpha written into the texture, and the entry starts over
// at one use. Throws, naming `source`, when the image cannot be read, its size is not
// the texture's or the texture cannot be locked; the record is then left as it was,
// with the texels written so far changed.
TextureAlphaUse TakeTextureAlpha(EngineCore::Texture& texture, const std::shared_ptr<EngineCore::Resource>& resource,
                                 const std::string& image, const char* source);

// Gives back one use of the texture of that name; the entry goes with its last use.
// Returns the uses left, or -1 when the record has no entry for that name.
int GiveBackTextureAlpha(const std::string& textureName);

// Texture name to the name of the image it holds.
std::map<std::string, std::string> TextureAlphaImages();

}  // namespace GameCore
