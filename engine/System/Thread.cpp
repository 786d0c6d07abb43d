#include "engine/System/Thread.h"

namespace EngineCore {

namespace {
std::atomic<uint32_t> nextThreadId{1};
}

Thread::Thread() = default;

Thread::~Thread()
{
    CloseThread();
    _function = nullptr;
}

void Thread::Start(const std::function<void(void*)>& function, void* data)
{
    CloseThread();
    _data = data;
    _function = function;
    _finished = false;
    _id = nextThreadId++;
    _hasThread = true;
    _handle = std::thread([this] { ThreadStarter(this); });
}

uint32_t Thread::ThreadStarter(Thread* thread)
{
    if (thread->_function)
        thread->_function(thread->_data);
    thread->_finished = true;
    return 0;
}

void Thread::CloseThread()
{
    if (!_hasThread)
        return;
    if (_handle.joinable())
        _handle.join();
    _hasThread = false;
    _id = 0;
}

bool Thread::Wait()
{
    if (!_hasThread)
        return false;
    if (_handle.joinable())
        _handle.join();
    return true;
}

bool Thread::IsBusy() const
{
    if (!_hasThread)
        return true;
    return !_finished.load();
}

}  // namespace EngineCore
