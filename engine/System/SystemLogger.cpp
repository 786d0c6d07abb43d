#include "engine/System/SystemLogger.h"

namespace EngineCore {

struct SystemLogger::Impl {
    std::function<void(const char*)> logger;
};

SystemLogger::SystemLogger() : _impl(new Impl) {}
SystemLogger::~SystemLogger() = default;

SystemLogger& SystemLogger::Instance()
{
    static SystemLogger instance;
    return instance;
}

void SystemLogger::SetLogger(const std::function<void(const char*)>& logger)
{
    _impl->logger = logger;
}

void SystemLogger::Log(const char* text)
{
    if (_impl->logger)
        _impl->logger(text);
}

}  // namespace EngineCore
