#include "engine/PathFinding/PathFinder.h"

#include "engine/PathFinding/PathFinderResult.h"
#include "engine/PathFinding/PathGraph.h"

namespace EngineCore {

PathFinder::~PathFinder() = default;

void PathFinder::ApplyGraph(const std::shared_ptr<PathGraph>& graph)
{
    _graph = graph;
}

void PathFinder::Clear(PathFinderResult& result)
{
    result.Clear();
}

void PathFinder::Reserve(PathFinderResult& result, size_t count)
{
    result.Reserve(count);
}

void PathFinder::AddNodeToPath(PathFinderResult& result, const std::shared_ptr<PathNode>& node)
{
    result.AddNodeToPath(node);
}

void PathFinder::SetPath(PathFinderResult& result, const std::vector<std::shared_ptr<PathNode>>& path)
{
    Clear(result);
    Reserve(result, path.size());
    for (const std::shared_ptr<PathNode>& node : path)
        AddNodeToPath(result, node);
}

}  // namespace EngineCore
