#pragma once
#include "engine/PathFinding/PathFindManager.h"

namespace EngineCore {

// The process-wide holder of the path-finding queue.
class PathFindingSystem {
public:
    static PathFindingSystem& Instance();

    PathFindManager& GetPathFindManager() { return _manager; }
    const PathFindManager& GetPathFindManager() const { return _manager; }

    PathFindingSystem(const PathFindingSystem&) = delete;
    PathFindingSystem& operator=(const PathFindingSystem&) = delete;

private:
    PathFindingSystem() = default;
    PathFindManager _manager;
};

}  // namespace EngineCore
