#pragma once
#include <cstddef>
#include <memory>
#include <vector>

namespace EngineCore {

class PathGraph;
class PathNode;
class PathFinderResult;

// Searches a graph for a least-cost path. ApplyGraph takes a snapshot of the graph's
// nodes, edges and costs; later changes to the graph are seen only after the next
// ApplyGraph.
class PathFinder {
public:
    PathFinder() = default;
    virtual ~PathFinder();
    PathFinder(const PathFinder&) = delete;
    PathFinder& operator=(const PathFinder&) = delete;

    virtual void ApplyGraph(const std::shared_ptr<PathGraph>& graph);

    // True with the path from start to goal in `result` (start == goal gives that one
    // node); false, leaving `result` untouched, when there is no graph, a node is not in
    // it, or the goal cannot be reached. A negative cost met on the way throws the
    // engine error text.
    virtual bool FindPath(const std::shared_ptr<PathNode>& start, const std::shared_ptr<PathNode>& goal,
                          const std::shared_ptr<PathFinderResult>& result) = 0;

    const std::shared_ptr<PathGraph>& GetGraph() const { return _graph; }

protected:
    static void Clear(PathFinderResult& result);
    static void Reserve(PathFinderResult& result, size_t count);
    static void AddNodeToPath(PathFinderResult& result, const std::shared_ptr<PathNode>& node);
    // `result` becomes `path`, its earlier content dropped.
    static void SetPath(PathFinderResult& result, const std::vector<std::shared_ptr<PathNode>>& path);

private:
    std::shared_ptr<PathGraph> _graph;
};

}  // namespace EngineCore
