#pragma once
#include <memory>

#include "game/Logic/SlotStorage.h"

namespace GameCore {

class Timer;

// The timers of one game state. The storage does not own them: each timer lives
// as long as the shared pointers CreateTimer handed out, and frees its slot then.
class TimerStorage {
public:
    TimerStorage();
    ~TimerStorage();
    TimerStorage(const TimerStorage&) = delete;
    TimerStorage& operator=(const TimerStorage&) = delete;

    std::shared_ptr<Timer> CreateTimer();
    void Update(float dt);
    void Clear();

protected:
    friend class Timer;
    bool Remove(int index);

private:
    std::unique_ptr<SlotStorage<Timer>> _slots;
};

}  // namespace GameCore
