#include "engine/Resources/Resource.h"

namespace EngineCore {

Resource::~Resource() = default;
void Resource::Init() {}
void Resource::Release() {}

}  // namespace EngineCore
