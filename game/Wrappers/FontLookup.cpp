#include "game/Wrappers/FontLookup.h"

#include "engine/Renderer/Font.h"
#include "engine/Resources/ResourceManager.h"
#include "engine/System/EngineError.h"

namespace GameCore {

std::shared_ptr<EngineCore::Resource> FindFont(const std::string& name, const char* source, int line)
{
    std::shared_ptr<EngineCore::Resource> font;
    if (!EngineCore::ResourceManager::Instance().GetResource(name, EngineCore::Resource::RT_FONT, font) ||
        !dynamic_cast<EngineCore::Font*>(font.get()))
        EngineCore::ThrowEngineErrorF(source, line, "Resource (%s) not found.", name.c_str());
    return font;
}

}  // namespace GameCore
