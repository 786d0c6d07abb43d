#include "engine/PathFinding/PathFindManager.h"

#include "engine/PathFinding/AStarPathFinder.h"
#include "engine/PathFinding/DijkstraPathFinder.h"
#include "engine/PathFinding/PathFindManagerTask.h"
#include "engine/PathFinding/PathFinderResult.h"
#include "engine/PathFinding/PathNode.h"
#include "engine/System/SystemTimer.h"

namespace EngineCore {

namespace {

const float kDefaultBudget = 60.0f;

std::unique_ptr<PathFinder> MakeFinder(PathFindManagerTask::PathFinderAlgorithmType type)
{
    if (type == PathFindManagerTask::AStar)
        return std::unique_ptr<PathFinder>(new AStarPathFinder);
    if (type == PathFindManagerTask::Dijkstra)
        return std::unique_ptr<PathFinder>(new DijkstraPathFinder);
    return nullptr;
}

}  // namespace

PathFindManager::PathFindManager() = default;

PathFindManager::~PathFindManager() = default;

int PathFindManager::AddTask(const std::shared_ptr<PathFindManagerTask>& task)
{
    std::lock_guard<std::recursive_mutex> hold(_lock);
    const int id = _tasks.Add(task);
    if (id >= 0)
        ++_liveCount;
    return id;
}

bool PathFindManager::RemoveTask(int id)
{
    std::lock_guard<std::recursive_mutex> hold(_lock);
    if (!_tasks.Remove(id))
        return false;
    --_liveCount;
    return true;
}

bool PathFindManager::IsExist(int id) const
{
    std::lock_guard<std::recursive_mutex> hold(_lock);
    return _tasks.IsValid(id);
}

bool PathFindManager::GetTask(int id, std::shared_ptr<PathFindManagerTask>& task) const
{
    std::lock_guard<std::recursive_mutex> hold(_lock);
    return _tasks.Get(id, task);
}

int PathFindManager::GetNumTask() const
{
    std::lock_guard<std::recursive_mutex> hold(_lock);
    return _tasks.GetCount();
}

float PathFindManager::GetMaxUpdateTime() const
{
    std::lock_guard<std::recursive_mutex> hold(_lock);
    return _maxUpdateTime;
}

void PathFindManager::SetMaxUpdateTime(float seconds)
{
    std::lock_guard<std::recursive_mutex> hold(_lock);
    _maxUpdateTime = seconds;
}

void PathFindManager::SetClock(const Clock& clock)
{
    std::lock_guard<std::recursive_mutex> hold(_lock);
    _clock = clock;
}

float PathFindManager::Now() const
{
    return _clock ? _clock() : SystemTimer::Instance().GetTime();
}

void PathFindManager::Update()
{
    std::lock_guard<std::recursive_mutex> hold(_lock);
    if (_liveCount <= 0)
        return;
    float budget = _maxUpdateTime > 0.0f ? _maxUpdateTime : kDefaultBudget;

    // Highest id first, so that taking from the back yields ascending ids.
    _pending.clear();
    for (int id = _tasks.GetCount() - 1; id >= 0; --id) {
        if (_tasks.IsValid(id))
            _pending.emplace_back(id, _tasks.At(id));
    }
    while (budget > 0.0f && _liveCount > 0 && !_pending.empty())
        budget -= ResolveNextTask();
}

float PathFindManager::ResolveNextTask()
{
    std::lock_guard<std::recursive_mutex> hold(_lock);
    if (_pending.empty())
        return 0.0f;
    const float startTime = Now();
    const int id = _pending.back().first;
    const std::shared_ptr<PathFindManagerTask> task = std::move(_pending.back().second);
    _pending.pop_back();
    std::shared_ptr<PathFindManagerTask> current;
    if (!_tasks.Get(id, current) || current != task)
        return Now() - startTime;

    // Whatever happens below, this task leaves the queue: one that failed would otherwise
    // fail again in every later Update. A callback may have removed it already, and may
    // even have queued another task in the freed slot, which must stay.
    struct Dequeue {
        PathFindManager& manager;
        int id;
        const std::shared_ptr<PathFindManagerTask>& task;
        ~Dequeue()
        {
            std::shared_ptr<PathFindManagerTask> queued;
            if (manager._tasks.Get(id, queued) && queued == task)
                manager.RemoveTask(id);
        }
    } dequeue{*this, id, task};

    std::shared_ptr<PathNode> start;
    std::shared_ptr<PathNode> goal;
    std::shared_ptr<PathFinderResult> result;
    task->GetPathFinderData(start, goal, result);

    bool found = false;
    std::unique_ptr<PathFinder> finder = MakeFinder(task->GetAlgorithmType());
    if (finder) {
        finder->ApplyGraph(task->GetPathGraph());
        found = finder->FindPath(start, goal, result);
    }
    finder.reset();
    if (task->GetCallback())
        task->GetCallback()(found, result);
    return Now() - startTime;
}

}  // namespace EngineCore
