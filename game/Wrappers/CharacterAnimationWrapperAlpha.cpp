// The alpha images of character-animation frames: an 8-bit picture whose palette's
// red component becomes the alpha of each texel of the frame's texture.
#include <cstdint>

#include <FreeImage.h>

#include "engine/FileSystem/CachedFile.h"
#include "engine/FileSystem/FileSystem.h"
#include "engine/Renderer/Texture.h"
#include "engine/System/EngineError.h"
#include "game/Wrappers/CharacterAnimationWrapper.h"

namespace GameCore {

namespace {
const char* const kSource = "Wrappers\\CharacterAnimationWrapper.cpp";

// The decoded image, unloaded on every way out.
class Bitmap {
public:
    explicit Bitmap(FIBITMAP* dib) : _dib(dib) {}
    ~Bitmap()
    {
        if (_dib)
            FreeImage_Unload(_dib);
    }
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    FIBITMAP* Get() const { return _dib; }
    void Reset(FIBITMAP* dib)
    {
        if (_dib)
            FreeImage_Unload(_dib);
        _dib = dib;
    }

private:
    FIBITMAP* _dib;
};

FIBITMAP* Decode(const EngineCore::CachedFile& file)
{
    if (file.GetSize() <= 0 || !file.GetData())
        return nullptr;
    FIMEMORY* memory =
        FreeImage_OpenMemory(const_cast<BYTE*>(static_cast<const BYTE*>(file.GetData())), static_cast<DWORD>(file.GetSize()));
    if (!memory)
        return nullptr;
    FIBITMAP* dib = nullptr;
    const FREE_IMAGE_FORMAT format = FreeImage_GetFileTypeFromMemory(memory, 0);
    if (format != FIF_UNKNOWN && FreeImage_FIFSupportsReading(format))
        dib = FreeImage_LoadFromMemory(format, memory, 0);
    FreeImage_CloseMemory(memory);
    return dib;
}

// Unlocks the texture on every way out once it is locked.
class TextureLock {
public:
    explicit TextureLock(EngineCore::Texture& texture) : _texture(texture) {}
    ~TextureLock()
    {
        if (_locked)
            _texture.Unlock();
    }
    TextureLock(const TextureLock&) = delete;
    TextureLock& operator=(const TextureLock&) = delete;

    uint32_t* Lock()
    {
        uint32_t* pixels = nullptr;
        _locked = _texture.Lock(0, 0, _texture.GetWidth(), _texture.GetHeight(), false, pixels);
        return _locked ? pixels : nullptr;
    }

private:
    EngineCore::Texture& _texture;
    bool _locked = false;
};
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
    Bitmap image(Decode(*file));
    if (!image.Get())
        EngineCore::ThrowEngineErrorF(kSource, 470, "Resource (%s) creating error.", alphaName.c_str());
    if (FreeImage_GetBPP(image.Get()) < 8)
        image.Reset(FreeImage_ConvertTo8Bits(image.Get()));
    if (!image.Get() || FreeImage_GetBPP(image.Get()) != 8 || !FreeImage_GetBits(image.Get()))
        EngineCore::ThrowEngineErrorF(kSource, 485, "Resource (%s) content error.", alphaName.c_str());

    const unsigned width = FreeImage_GetWidth(image.Get());
    const unsigned height = FreeImage_GetHeight(image.Get());
    if (target->GetWidth() != width || target->GetHeight() != height)
        EngineCore::ThrowEngineErrorF(kSource, 493, "Texture (%s) and TextureAlpha (%s) size is wrong.",
                                      textureName.c_str(), alphaName.c_str());

    const RGBQUAD* palette = FreeImage_GetPalette(image.Get());
    const unsigned colours = FreeImage_GetColorsUsed(image.Get());
    TextureLock lock(*target);
    uint32_t* pixels = lock.Lock();
    if (!pixels)
        EngineCore::ThrowEngineErrorF(kSource, 501, "Texture (%s) lock error.", textureName.c_str());
    // Scan lines are stored bottom-up: texture row 0 is the image's last line.
    for (unsigned row = 0; row < height; ++row) {
        const BYTE* line = FreeImage_GetScanLine(image.Get(), static_cast<int>(height - 1 - row));
        uint32_t* texels = pixels + static_cast<size_t>(row) * width;
        for (unsigned x = 0; x < width; ++x) {
            const unsigned index = line[x];
            if (!palette || index >= colours)
                EngineCore::ThrowEngineError(kSource, 517, "Internal error.");
            texels[x] = (texels[x] & 0x00FFFFFFu) | (static_cast<uint32_t>(palette[index].rgbRed) << 24);
        }
    }
    _textureAlphaStorageMap[textureName] = alphaName;
}

}  // namespace GameCore
