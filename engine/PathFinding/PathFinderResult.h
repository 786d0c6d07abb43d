#pragma once
#include <cstddef>
#include <memory>
#include <vector>

namespace EngineCore {

class PathNode;

// The nodes of a path in walking order, start first and goal last; empty when no path
// was found.
class PathFinderResult {
public:
    PathFinderResult() = default;
    virtual ~PathFinderResult();

    const std::vector<std::shared_ptr<PathNode>>& GetPathNodes() const { return _nodes; }
    void Clear() { _nodes.clear(); }
    bool IsEmpty() const { return _nodes.empty(); }

protected:
    friend class PathFinder;
    void Reserve(size_t count) { _nodes.reserve(count); }
    void AddNodeToPath(const std::shared_ptr<PathNode>& node) { _nodes.push_back(node); }

private:
    std::vector<std::shared_ptr<PathNode>> _nodes;
};

}  // namespace EngineCore
