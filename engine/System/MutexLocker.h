#pragma once
#include "engine/System/Mutex.h"

namespace EngineCore {

class MutexLocker {
public:
    explicit MutexLocker(Mutex& mutex) : _mutex(&mutex) { _mutex->Lock(); }
    ~MutexLocker() { _mutex->Unlock(); }
    MutexLocker(const MutexLocker&) = delete;
    MutexLocker& operator=(const MutexLocker&) = delete;

private:
    Mutex* _mutex;
};

}  // namespace EngineCore
