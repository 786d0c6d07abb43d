#pragma once
#include <memory>

#include "engine/PathFinding/PathFinder.h"

namespace EngineCore {

// A* with a heuristic of 0 for every node; the search ends when the goal is taken from
// the queue, so the path found is a least-cost one.
class AStarPathFinder : public PathFinder {
public:
    AStarPathFinder();
    ~AStarPathFinder() override;

    void ApplyGraph(const std::shared_ptr<PathGraph>& graph) override;
    bool FindPath(const std::shared_ptr<PathNode>& start, const std::shared_ptr<PathNode>& goal,
                  const std::shared_ptr<PathFinderResult>& result) override;

private:
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace EngineCore
