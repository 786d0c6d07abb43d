#pragma once
#include <functional>
#include <memory>

namespace EngineCore {

// The process-wide log hook. The back-end installs its writer once, on the main
// thread, before any other thread exists; Log takes no lock for that reason.
class SystemLogger {
public:
    static SystemLogger& Instance();

    void SetLogger(const std::function<void(const char*)>& logger);
    // Hands the text unchanged to the installed function; silent when none is installed.
    void Log(const char* text);

    ~SystemLogger();
    SystemLogger(const SystemLogger&) = delete;
    SystemLogger& operator=(const SystemLogger&) = delete;

private:
    SystemLogger();
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace EngineCore
