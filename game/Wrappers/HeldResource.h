#pragma once
// The script objects name the engine's holder in their own namespace.
#include "engine/Resources/HeldResource.h"

namespace GameCore {

using EngineCore::HeldResource;

}  // namespace GameCore
