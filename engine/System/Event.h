#pragma once
#include <condition_variable>
#include <mutex>

namespace EngineCore {

// Auto-reset event, created unsignalled: one successful Wait consumes the signal.
class Event {
public:
    Event() = default;
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Reset();
    void Signal();
    void Wait();
    bool Wait(int milliseconds);

private:
    std::mutex _mutex;
    std::condition_variable _condition;
    bool _signalled = false;
};

}  // namespace EngineCore
