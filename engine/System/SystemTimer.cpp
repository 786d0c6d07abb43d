#include "engine/System/SystemTimer.h"

#include <time.h>

namespace EngineCore {

namespace {
int64_t MonotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}
}  // namespace

SystemTimer SystemTimer::_singleton;

SystemTimer::SystemTimer() : _originNs(MonotonicNs()) {}

SystemTimer& SystemTimer::Instance()
{
    return _singleton;
}

float SystemTimer::GetTime() const
{
    const int64_t elapsed = MonotonicNs() - _originNs;
    return static_cast<float>(static_cast<long double>(elapsed) / 1.0e9L);
}

}  // namespace EngineCore
