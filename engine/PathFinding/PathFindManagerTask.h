#pragma once
#include <functional>
#include <memory>

namespace EngineCore {

class PathFinderResult;
class PathGraph;
class PathNode;

// One queued search: a graph, start and goal, where to write the path, which finder to
// use and whom to tell. The priority is kept for callers; the queue runs tasks in id order.
class PathFindManagerTask {
public:
    typedef int PathFinderAlgorithmType;
    static const PathFinderAlgorithmType AStar = 0;
    static const PathFinderAlgorithmType Dijkstra = 1;

    typedef std::function<void(bool found, const std::shared_ptr<PathFinderResult>& result)> Callback;

    PathFindManagerTask() = default;
    virtual ~PathFindManagerTask();

    int GetPriority() const { return _priority; }
    void SetPriority(int priority) { _priority = priority; }
    PathFinderAlgorithmType GetAlgorithmType() const { return _algorithm; }
    void SetAlgorithmType(PathFinderAlgorithmType type) { _algorithm = type; }
    const Callback& GetCallback() const { return _callback; }
    void SetCallback(const Callback& callback) { _callback = callback; }
    const std::shared_ptr<PathGraph>& GetPathGraph() const { return _graph; }
    void SetPathGraph(const std::shared_ptr<PathGraph>& graph) { _graph = graph; }

    void SetPathFinderData(const std::shared_ptr<PathNode>& start, const std::shared_ptr<PathNode>& goal,
                           const std::shared_ptr<PathFinderResult>& result);
    // False when no path data was set.
    bool GetPathFinderData(std::shared_ptr<PathNode>& start, std::shared_ptr<PathNode>& goal,
                           std::shared_ptr<PathFinderResult>& result) const;

private:
    int _priority = 0;
    bool _hasPathData = false;
    std::shared_ptr<PathNode> _goal;
    std::shared_ptr<PathNode> _start;
    std::shared_ptr<PathGraph> _graph;
    Callback _callback;
    std::shared_ptr<PathFinderResult> _result;
    PathFinderAlgorithmType _algorithm = AStar;
};

}  // namespace EngineCore
