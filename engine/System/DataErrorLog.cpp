#include "engine/System/DataErrorLog.h"

#include "engine/System/SystemLogger.h"

namespace EngineCore {

void LogDataError(const char* kind, const std::string& name, uint64_t byte, const std::string& what)
{
    const std::string line =
        std::string(kind) + " file (" + name + ") is refused at byte " + std::to_string(byte) + ": " + what + ".";
    SystemLogger::Instance().Log(line.c_str());
}

}  // namespace EngineCore
