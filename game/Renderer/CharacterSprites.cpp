#include "game/Renderer/CharacterSprites.h"

#include <algorithm>

#include "engine/Renderer/Sprite.h"
#include "engine/Resources/Resource.h"
#include "engine/Resources/ResourceManager.h"
#include "engine/System/EngineError.h"

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

void HideDroppedSprites(const std::vector<std::shared_ptr<EngineCore::Resource>>& dropped,
                        const std::vector<std::shared_ptr<EngineCore::Resource>>& kept)
{
    std::vector<const EngineCore::Resource*> held;
    held.reserve(kept.size());
    for (const auto& resource : kept)
        held.push_back(resource.get());
    std::sort(held.begin(), held.end());
    for (const auto& resource : dropped) {
        if (!resource || std::binary_search(held.begin(), held.end(), resource.get()))
            continue;
        if (auto* sprite = dynamic_cast<EngineCore::Sprite*>(resource.get()))
            sprite->SetVisible(false);
    }
}

int GlyphHotSpotY(unsigned height, float fontHeight, int offset)
{
    const int halfFont = static_cast<int>(fontHeight * 0.5f + 0.5f);
    return static_cast<int>(height / 2) - halfFont - offset;
}

}  // namespace GameCore
