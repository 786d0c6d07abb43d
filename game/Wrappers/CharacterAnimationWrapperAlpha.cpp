// The alpha images of character-animation frames: an 8-bit picture whose palette's
// red component becomes the alpha of each texel of the frame's texture.
#include <cstdint>

#include "engine/FileSystem/CachedFile.h"
#include "engine/FileSystem/FileSystem.h"
#include "engine/Renderer/Texture.h"
#include "engine/System/EngineError.h"
#include "game/FreeImageLibEx/Picture.h"
#include "game/Wrappers/CharacterAnimationWrapper.h"
#include "game/Wrappers/TextureLock.h"

namespace GameCore {

namespace {
const char* const kSource = "Wrappers\\CharacterAnimationWrapper.cpp";
}  // namespace

// The caller holds the record's lock.
void CharacterAnimationWrapper::ApplyAlpha(const std::shared_ptr<EngineCore::Resource>& texture,
                                           const char* alphaFileName)
{
    const std::string alphaName = alphaFileName ? alphaFileName : "";
    const std::string textureName = texture ? texture->GetName() : "";
    {
        const auto found = _textureAlphaStorageMap.find(textureName);
        if (texture && found != _textureAlphaStorageMap.end() && found->second == alphaName)
            return;
    }
    if (!texture)
        EngineCore::ThrowEngineError(kSource, 452, "Internal error.");
    // A name that holds some other kind of resource cannot take an alpha channel.
    EngineCore::Texture* target = dynamic_cast<EngineCore::Texture*>(texture.get());
    if (!target)
        EngineCore::ThrowEngineError(kSource, 452, "Internal error.");

    std::shared_ptr<EngineCore::CachedFile> file;
    if (!EngineCore::FileSystem::Instance().GetFile(alphaName, file) || !file)
        EngineCore::ThrowEngineErrorF(kSource, 460, "Resource (%s) creating error.", alphaName.c_str());
    // The picture refuses an image whose header asks for more than it would ever decode.
    FreeImageLibEx::Picture image;
    if (file->GetSize() <= 0 || !file->GetData() ||
        !image.Load(const_cast<unsigned char*>(static_cast<const unsigned char*>(file->GetData())),
                    static_cast<unsigned long>(file->GetSize()), FIF_UNKNOWN))
        EngineCore::ThrowEngineErrorF(kSource, 470, "Resource (%s) creating error.", alphaName.c_str());
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    if (image.GetInfo(width, height, bitsPerPixel) && bitsPerPixel < 8 && image.ConvertTo8())
        image.GetInfo(width, height, bitsPerPixel);
    unsigned pitch = 0;
    unsigned char* bits = nullptr;
    if (bitsPerPixel != 8 || !image.GetPitch(pitch) || !image.GetBits(bits) || !bits || width <= 0 || height <= 0 ||
        pitch < static_cast<unsigned>(width))
        EngineCore::ThrowEngineErrorF(kSource, 485, "Resource (%s) content error.", alphaName.c_str());

    if (static_cast<int64_t>(target->GetWidth()) != width || static_cast<int64_t>(target->GetHeight()) != height)
        EngineCore::ThrowEngineErrorF(kSource, 493, "Texture (%s) and TextureAlpha (%s) size is wrong.",
                                      textureName.c_str(), alphaName.c_str());

    TextureLock lock(*target, 0, 0, target->GetWidth(), target->GetHeight(), false);
    uint32_t* pixels = lock.Pixels();
    if (!pixels)
        EngineCore::ThrowEngineErrorF(kSource, 501, "Texture (%s) lock error.", textureName.c_str());
    // Scan lines are stored bottom-up: texture row 0 is the image's last line.
    for (int row = 0; row < height; ++row) {
        const unsigned char* line = bits + static_cast<size_t>(height - 1 - row) * pitch;
        uint32_t* texels = pixels + static_cast<size_t>(row) * static_cast<size_t>(width);
        for (int x = 0; x < width; ++x) {
            unsigned char red = 0;
            unsigned char green = 0;
            unsigned char blue = 0;
            if (!image.GetColor(line[x], red, green, blue))
                EngineCore::ThrowEngineError(kSource, 517, "Internal error.");
            texels[x] = (texels[x] & 0x00FFFFFFu) | (static_cast<uint32_t>(red) << 24);
        }
    }
    _textureAlphaStorageMap[textureName] = alphaName;
}

}  // namespace GameCore
