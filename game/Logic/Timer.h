#pragma once
#include <functional>

namespace GameCore {

class TimerStorage;

// A countdown that runs its action once, on the update in which it runs out.
class Timer {
public:
    // A copy is a detached timer: only the original frees the storage slot.
    Timer(const Timer& other);
    Timer& operator=(const Timer& other);
    ~Timer();

    void SetupTime(float seconds);
    void SetupAction(const std::function<void(void*)>& action, void* user);
    void Stop();
    void Pause();
    void Resume();
    bool IsStoped() const;
    bool IsPaused() const;
    void Update(float dt);

protected:
    int GetStorageIndex() const;
    void SetStorageIndex(int index);
    void SetTimerStorage(TimerStorage* storage);

private:
    friend class TimerStorage;
    Timer();

    void* _user = nullptr;
    bool _paused = false;
    float _timeLeft = 0.0f;
    int _storageIndex = -1;
    TimerStorage* _storage = nullptr;
    std::function<void(void*)> _action;
};

}  // namespace GameCore
