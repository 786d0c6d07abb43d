#include "engine/PathFinding/PathFindManagerTask.h"

namespace EngineCore {

PathFindManagerTask::~PathFindManagerTask() = default;

void PathFindManagerTask::SetPathFinderData(const std::shared_ptr<PathNode>& start,
                                            const std::shared_ptr<PathNode>& goal,
                                            const std::shared_ptr<PathFinderResult>& result)
{
    _start = start;
    _goal = goal;
    _result = result;
    _hasPathData = true;
}

bool PathFindManagerTask::GetPathFinderData(std::shared_ptr<PathNode>& start, std::shared_ptr<PathNode>& goal,
                                            std::shared_ptr<PathFinderResult>& result) const
{
    if (!_hasPathData)
        return false;
    start = _start;
    goal = _goal;
    result = _result;
    return true;
}

}  // namespace EngineCore
