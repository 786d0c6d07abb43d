#include "engine/PathFinding/PathEdge.h"

namespace EngineCore {

PathEdge::~PathEdge() = default;

bool PathEdge::Create(const std::shared_ptr<PathNode>& first, const std::shared_ptr<PathNode>& second,
                      const std::shared_ptr<PathEdgeCost>& cost, EdgeType type)
{
    _first = first;
    _second = second;
    _cost = cost;
    _type = type;
    return true;
}

}  // namespace EngineCore
