#pragma once
#include <cstdint>

namespace EngineCore {

// Seconds as float, measured from when the engine library was loaded: a float
// keeps sub-millisecond steps for days from that origin, where a boot-time
// origin would lose them after a day of uptime.
class SystemTimer {
public:
    static SystemTimer& Instance();
    float GetTime() const;

    SystemTimer(const SystemTimer&) = delete;
    SystemTimer& operator=(const SystemTimer&) = delete;

private:
    SystemTimer();
    int64_t _originNs;
    static SystemTimer _singleton;
};

}  // namespace EngineCore
