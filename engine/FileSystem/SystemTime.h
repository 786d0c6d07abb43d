#pragma once
#include <cstdint>

namespace EngineCore {

// Calendar date and time in the field order the file index and the pack records
// use. The indexer fills year to second; day of week and milliseconds stay 0.
struct SYSTEMTIME {
    uint16_t wYear = 0;
    uint16_t wMonth = 0;
    uint16_t wDayOfWeek = 0;
    uint16_t wDay = 0;
    uint16_t wHour = 0;
    uint16_t wMinute = 0;
    uint16_t wSecond = 0;
    uint16_t wMilliseconds = 0;
};

}  // namespace EngineCore
