// Log, random numbers, frame timer and the fixed-delta test hook.
#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/hge/Engine.h"

namespace hgeplatform {

// While the display opens, the lines logged on the opening thread are kept so
// that a failure can tell its cause outside the log too.
thread_local std::string* g_openingLines = nullptr;

void Engine::System_Log(const char* format, ...) {
    if (!format) return;
    char small[512];
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(small, sizeof(small), format, args);
    va_end(args);
    if (n < 0) {
        va_end(copy);
        return;
    }
    if (size_t(n) < sizeof(small)) {
        va_end(copy);
        log_.Write(small, size_t(n));
        if (g_openingLines) g_openingLines->append(small, size_t(n)).push_back('\n');
        return;
    }
    std::vector<char> big(size_t(n) + 1);
    std::vsnprintf(big.data(), big.size(), format, copy);
    va_end(copy);
    log_.Write(big.data(), size_t(n));
    if (g_openingLines) g_openingLines->append(big.data(), size_t(n)).push_back('\n');
}

void Engine::Random_Seed(int seed) {
    uint32_t s = uint32_t(seed);
    if (seed == 0) s = uint32_t(SDL_GetPerformanceCounter());
    randomSeed_.store(s);
}

float Engine::Random_Float(float min, float max) {
    // A linear congruential generator: the same seed gives the same sequence everywhere.
    uint32_t s = randomSeed_.load(std::memory_order_relaxed);
    s = 214013u * s + 2531011u;
    randomSeed_.store(s, std::memory_order_relaxed);
    return min + float(s >> 16) * (1.0f / 65535.0f) * (max - min);
}

float Engine::Timer_GetDelta() { return delta_; }

void Engine::Test_SetFixedDelta(float seconds) { fixedDelta_ = seconds > 0.0f ? seconds : 0.0f; }

}  // namespace hgeplatform
