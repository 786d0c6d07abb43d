#include "engine/System/Event.h"

#include <chrono>

namespace EngineCore {

void Event::Reset()
{
    std::lock_guard<std::mutex> lock(_mutex);
    _signalled = false;
}

void Event::Signal()
{
    {
        std::lock_guard<std::mutex> lock(_mutex);
        _signalled = true;
    }
    _condition.notify_one();
}

void Event::Wait()
{
    std::unique_lock<std::mutex> lock(_mutex);
    _condition.wait(lock, [this] { return _signalled; });
    _signalled = false;
}

bool Event::Wait(int milliseconds)
{
    std::unique_lock<std::mutex> lock(_mutex);
    if (!_condition.wait_for(lock, std::chrono::milliseconds(milliseconds < 0 ? 0 : milliseconds),
                             [this] { return _signalled; }))
        return false;
    _signalled = false;
    return true;
}

}  // namespace EngineCore
