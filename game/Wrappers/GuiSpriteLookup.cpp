#include "game/Wrappers/GuiSpriteLookup.h"

#include "engine/Renderer/Sprite.h"
#include "engine/Resources/Resource.h"
#include "engine/Resources/ResourceManager.h"
#include "engine/System/EngineError.h"

namespace GameCore {

std::shared_ptr<EngineCore::Resource> FindGuiSprite(const std::string& name)
{
    std::shared_ptr<EngineCore::Resource> resource;
    if (!EngineCore::ResourceManager::Instance().GetResource(name, EngineCore::Resource::RT_SPRITE, resource))
        return nullptr;
    // A name taken by another kind of resource is never used as a sprite.
    if (!dynamic_cast<EngineCore::Sprite*>(resource.get()))
        return nullptr;
    return resource;
}

std::shared_ptr<EngineCore::Resource> RequireGuiSprite(const std::string& name, const char* source, int line)
{
    std::shared_ptr<EngineCore::Resource> sprite = FindGuiSprite(name);
    if (!sprite)
        EngineCore::ThrowEngineErrorF(source, line, "Resource (%s) not found.", name.c_str());
    return sprite;
}

}  // namespace GameCore
