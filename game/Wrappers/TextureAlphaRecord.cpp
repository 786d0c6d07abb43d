#include "game/Wrappers/TextureAlphaRecord.h"

#include <cstdint>
#include <mutex>

#include "engine/Renderer/Texture.h"
#include "engine/Resources/Resource.h"
#include "engine/System/EngineError.h"
#include "game/Wrappers/AlphaPicture.h"
#include "game/Wrappers/TextureLock.h"

namespace GameCore {

namespace {

struct Entry {
    std::string image;
    int count = 0;
    std::weak_ptr<EngineCore::Resource> texture;
};

struct Record {
    std::mutex mutex;
    std::map<std::string, Entry> entries;
};

Record& TheRecord()
{
    // Never destroyed: a wrapper collected while the process exits still finds it.
    static Record* const record = new Record;
    return *record;
}

// Writes the red of each pixel's palette entry as the alpha of the texel below it.
void WriteAlpha(EngineCore::Texture& texture, const std::string& name, const char* source)
{
    const std::shared_ptr<FreeImageLibEx::Picture> picture = LoadAlphaPicture(name, source);
    const AlphaPictureView image = ViewAlphaPicture(*picture, name, source);
    const unsigned width = texture.GetWidth();
    const unsigned height = texture.GetHeight();
    if (static_cast<int64_t>(width) != image.width || static_cast<int64_t>(height) != image.height)
        EngineCore::ThrowEngineErrorF(source, 330, "Texture (%s) and TextureAlpha (%s) size is wrong.",
                                      texture.GetName(), name.c_str());
    TextureLock lock(texture, 0, 0, width, height, false);
    if (!lock.Pixels())
        EngineCore::ThrowEngineErrorF(source, 300, "Texture (%s) lock error.", texture.GetName());
    auto* texels = reinterpret_cast<unsigned char*>(lock.Pixels());
    for (unsigned row = 0; row < height; ++row) {
        for (unsigned column = 0; column < width; ++column) {
            unsigned char alpha = 0;
            if (!image.AlphaAt(*picture, static_cast<int>(column), static_cast<int>(row), alpha))
                EngineCore::ThrowEngineError(source, 345, "Internal error.");
            // Texels are B, G, R, A in memory: only the fourth byte changes.
            texels[(static_cast<size_t>(row) * width + column) * 4 + 3] = alpha;
        }
    }
}

}  // namespace

TextureAlphaUse TakeTextureAlpha(EngineCore::Texture& texture, const std::shared_ptr<EngineCore::Resource>& resource,
                                 const std::string& image, const char* source)
{
    const std::string textureName = texture.GetName();
    Record& record = TheRecord();
    std::lock_guard<std::mutex> guard(record.mutex);
    const auto known = record.entries.find(textureName);
    if (known != record.entries.end() && known->second.image == image && known->second.texture.lock() == resource)
        return TextureAlphaUse{false, ++known->second.count};
    WriteAlpha(texture, image, source);
    record.entries[textureName] = Entry{image, 1, resource};
    return TextureAlphaUse{true, 1};
}

int GiveBackTextureAlpha(const std::string& textureName)
{
    Record& record = TheRecord();
    std::lock_guard<std::mutex> guard(record.mutex);
    const auto known = record.entries.find(textureName);
    if (known == record.entries.end())
        return -1;
    const int count = --known->second.count;
    if (count <= 0)
        record.entries.erase(known);
    return count;
}

std::map<std::string, std::string> TextureAlphaImages()
{
    Record& record = TheRecord();
    std::lock_guard<std::mutex> guard(record.mutex);
    std::map<std::string, std::string> images;
    for (const auto& entry : record.entries)
        images[entry.first] = entry.second.image;
    return images;
}

}  // namespace GameCore
