#pragma once
// The log line that goes with a loader's "Resource (X) data error.": the error text says
// only that the file was refused, this line says where and why, so that an author who
// wrote the bytes by hand can find the field at fault.
#include <cstdint>
#include <string>

namespace EngineCore {

// "<kind> file (<name>) is refused at byte <byte>: <what>." written to the system log.
void LogDataError(const char* kind, const std::string& name, uint64_t byte, const std::string& what);

}  // namespace EngineCore
