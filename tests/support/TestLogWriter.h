#pragma once
// Installs a test's own writer of the engine's log. The logger hands the lines it kept
// from before any writer existed to the first writer of the process, and in a test
// program that is whichever test installs one first: those lines belong to the tests
// that ran before, so they are dropped here, and the writer sees only its own test's.
#include <functional>

#include "engine/System/SystemLogger.h"

namespace TestSupport {

inline void InstallLogWriter(const std::function<void(const char*)>& writer)
{
    EngineCore::SystemLogger& logger = EngineCore::SystemLogger::Instance();
    logger.TakeKeptLines();
    logger.SetLogger(writer);
}

}  // namespace TestSupport
