#pragma once
#include <mutex>

namespace EngineCore {

// Recursive: the GUI lock is taken again by the thread that holds it.
class Mutex {
public:
    Mutex() = default;
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;

    void Lock() { _mutex.lock(); }
    void Unlock() { _mutex.unlock(); }

private:
    std::recursive_mutex _mutex;
};

}  // namespace EngineCore
