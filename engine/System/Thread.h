#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

namespace EngineCore {

// One worker thread. States: no thread -> running -> finished; CloseThread and the
// destructor return it to "no thread". A running thread is joined, never killed:
// its owner makes sure the function ends (the loader watches the quit flag).
// A Thread that never started reports busy and its Wait fails at once; the game
// core's shutdown relies on that.
class Thread {
public:
    Thread();
    ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    void Start(const std::function<void(void*)>& function, void* data);
    void CloseThread();
    bool Wait();
    bool IsBusy() const;

protected:
    static uint32_t ThreadStarter(Thread* thread);

private:
    void* _data = nullptr;
    uint32_t _id = 0;
    std::thread _handle;
    bool _hasThread = false;
    std::atomic<bool> _finished{false};
    std::function<void(void*)> _function;
};

}  // namespace EngineCore
