#include "game/Logic/TimerStorage.h"

#include "game/Logic/Timer.h"

namespace GameCore {

TimerStorage::TimerStorage() : _slots(new SlotStorage<Timer>) {}

TimerStorage::~TimerStorage() { Clear(); }

std::shared_ptr<Timer> TimerStorage::CreateTimer()
{
    std::shared_ptr<Timer> timer(new Timer);
    const int index = _slots->GetFirstFreeSlot();
    _slots->File(index, timer.get());
    timer->SetTimerStorage(this);
    timer->SetStorageIndex(index);
    return timer;
}

void TimerStorage::Update(float dt)
{
    // An action may create or destroy timers: each slot is looked up again before use,
    // and timers filed beyond the first count wait for the next frame.
    const int count = _slots->GetCapacity();
    for (int i = 0; i < count; ++i) {
        if (Timer* timer = _slots->At(i))
            timer->Update(dt);
    }
}

void TimerStorage::Clear()
{
    for (int i = 0; i < _slots->GetCapacity(); ++i) {
        if (Timer* timer = _slots->At(i))
            timer->SetTimerStorage(nullptr);
    }
    _slots->Clear();
}

bool TimerStorage::Remove(int index) { return _slots->Remove(index); }

}  // namespace GameCore
