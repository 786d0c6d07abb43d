#pragma once
// The process's peak resident memory: a step that stays far below what a claimed
// picture would need never made that picture.
#include <sys/resource.h>

namespace TestSupport {

inline long PeakResidentKib()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace TestSupport
