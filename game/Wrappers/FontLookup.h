#pragma once
// How the text script classes take a font by name.
#include <memory>
#include <string>

namespace EngineCore {
class Resource;
}

namespace GameCore {

// The font resource of that name (made and loaded by the back-end the first time);
// throws "Resource (%s) not found." from `source` when there is none or the name is
// held by something that is not a font.
std::shared_ptr<EngineCore::Resource> FindFont(const std::string& name, const char* source, int line);

}  // namespace GameCore
