#pragma once
#include <memory>

#include "engine/PathFinding/PathFinder.h"

namespace EngineCore {

// Dijkstra's search; it ends when the goal is taken from the queue, so the path found is
// a least-cost one.
class DijkstraPathFinder : public PathFinder {
public:
    DijkstraPathFinder();
    ~DijkstraPathFinder() override;

    void ApplyGraph(const std::shared_ptr<PathGraph>& graph) override;
    bool FindPath(const std::shared_ptr<PathNode>& start, const std::shared_ptr<PathNode>& goal,
                  const std::shared_ptr<PathFinderResult>& result) override;

private:
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace EngineCore
