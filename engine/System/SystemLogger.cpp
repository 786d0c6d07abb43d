#include "engine/System/SystemLogger.h"

#include <deque>
#include <mutex>

namespace EngineCore {

struct SystemLogger::Impl {
    // Recursive: a writer may itself log.
    std::recursive_mutex mutex;
    std::function<void(const char*)> logger;
    // True until the first writer is installed or the kept lines are taken.
    bool keeping = true;
    std::deque<std::string> kept;
    size_t dropped = 0;

    std::vector<std::string> TakeKept()
    {
        std::vector<std::string> lines;
        if (dropped > 0)
            lines.push_back(std::to_string(dropped) + " earlier lines, logged before the log was open, were dropped.");
        lines.insert(lines.end(), kept.begin(), kept.end());
        kept.clear();
        dropped = 0;
        keeping = false;
        return lines;
    }
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
    std::lock_guard<std::recursive_mutex> lock(_impl->mutex);
    _impl->logger = logger;
    if (!logger || !_impl->keeping)
        return;
    for (const std::string& line : _impl->TakeKept())
        logger(line.c_str());
}

void SystemLogger::Log(const char* text)
{
    std::lock_guard<std::recursive_mutex> lock(_impl->mutex);
    if (_impl->logger) {
        _impl->logger(text);
        return;
    }
    if (!_impl->keeping)
        return;
    if (_impl->kept.size() == kMaxKeptLines) {
        _impl->kept.pop_front();
        ++_impl->dropped;
    }
    _impl->kept.emplace_back(text ? text : "");
}

std::vector<std::string> SystemLogger::TakeKeptLines()
{
    std::lock_guard<std::recursive_mutex> lock(_impl->mutex);
    if (!_impl->keeping)
        return {};
    return _impl->TakeKept();
}

}  // namespace EngineCore
