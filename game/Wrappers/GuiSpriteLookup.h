#pragma once
#include <memory>
#include <string>

namespace EngineCore {
class Resource;
}

namespace GameCore {

// The sprite resource of that name (made through the factory when missing), or
// null when none can be had or the name holds something that is not a sprite.
std::shared_ptr<EngineCore::Resource> FindGuiSprite(const std::string& name);
// The same, failing with "Resource (<name>) not found." naming source and line.
std::shared_ptr<EngineCore::Resource> RequireGuiSprite(const std::string& name, const char* source, int line);

}  // namespace GameCore
