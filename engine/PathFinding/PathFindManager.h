#pragma once
#include <functional>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "engine/System/SlotArray.h"

namespace EngineCore {

class PathFindManagerTask;

// The queue of path searches. Update runs queued tasks in ascending id order on the
// calling thread until its time budget is spent; a task leaves the queue once it ran,
// whether it found a path, found none or failed. Scripts of two game states may search
// at once (the loader thread and the main thread), so every operation holds the
// manager's lock; a task's callback runs under it and may add or remove tasks.
class PathFindManager {
public:
    // Seconds on some steady origin; only differences are used.
    typedef std::function<float()> Clock;

    PathFindManager();
    ~PathFindManager();
    PathFindManager(const PathFindManager&) = delete;
    PathFindManager& operator=(const PathFindManager&) = delete;

    // Stores the task in the lowest free slot; its id. The same task may be added twice.
    int AddTask(const std::shared_ptr<PathFindManagerTask>& task);
    bool RemoveTask(int id);
    bool IsExist(int id) const;
    bool GetTask(int id, std::shared_ptr<PathFindManagerTask>& task) const;
    // The slot count, empty slots included (1 at first).
    int GetNumTask() const;

    // Seconds one Update may spend; 0 or less means 60 s. One search is never cut short,
    // and the first pending task always runs.
    float GetMaxUpdateTime() const;
    void SetMaxUpdateTime(float seconds);

    // Runs the tasks queued when it starts; tasks added meanwhile wait for the next call.
    // An error of a search leaves this call after its task has left the queue.
    void Update();

    // The clock that times tasks; an empty function restores the system timer.
    void SetClock(const Clock& clock);

protected:
    // Runs the next pending task; the seconds it took.
    float ResolveNextTask();

private:
    float Now() const;

    mutable std::recursive_mutex _lock;
    int _liveCount = 0;
    float _maxUpdateTime = 0.0f;
    SlotArray<std::shared_ptr<PathFindManagerTask>> _tasks;
    // The tasks this Update runs, as (id, task): a slot emptied and refilled meanwhile
    // holds a task that waits for the next Update.
    std::vector<std::pair<int, std::shared_ptr<PathFindManagerTask>>> _pending;
    Clock _clock;
};

}  // namespace EngineCore
