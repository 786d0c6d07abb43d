#include "game/Logic/Timer.h"

#include "game/Logic/TimerStorage.h"

namespace GameCore {

Timer::Timer() = default;

Timer::Timer(const Timer& other)
    : _user(other._user), _paused(other._paused), _timeLeft(other._timeLeft), _action(other._action)
{
}

Timer& Timer::operator=(const Timer& other)
{
    _user = other._user;
    _paused = other._paused;
    _timeLeft = other._timeLeft;
    _action = other._action;
    return *this;
}

Timer::~Timer()
{
    if (_storage)
        _storage->Remove(_storageIndex);
}

void Timer::SetupTime(float seconds) { _timeLeft = seconds; }

void Timer::SetupAction(const std::function<void(void*)>& action, void* user)
{
    _action = action;
    _user = user;
}

void Timer::Stop() { _timeLeft = 0.0f; }
void Timer::Pause() { _paused = true; }
void Timer::Resume() { _paused = false; }
bool Timer::IsStoped() const { return _timeLeft <= 0.0f; }
bool Timer::IsPaused() const { return _paused; }

void Timer::Update(float dt)
{
    if (_paused || _timeLeft <= 0.0f)
        return;
    _timeLeft -= dt;
    if (_timeLeft > 0.0f)
        return;
    _timeLeft = 0.0f;
    if (!_action)
        return;
    // The action may drop the last reference to this timer (a script run ends with a
    // full garbage collection), so it runs from copies and nothing touches the timer after.
    const std::function<void(void*)> action = _action;
    void* const user = _user;
    action(user);
}

int Timer::GetStorageIndex() const { return _storageIndex; }
void Timer::SetStorageIndex(int index) { _storageIndex = index; }
void Timer::SetTimerStorage(TimerStorage* storage) { _storage = storage; }

}  // namespace GameCore
