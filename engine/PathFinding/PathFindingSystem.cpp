#include "engine/PathFinding/PathFindingSystem.h"

namespace EngineCore {

PathFindingSystem& PathFindingSystem::Instance()
{
    static PathFindingSystem instance;
    return instance;
}

}  // namespace EngineCore
