#pragma once
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace EngineCore {

// The process-wide log hook. The back-end installs its writer once the log file is open,
// which is after the start-up has already logged (the data folders indexed, packs
// mounted or refused, the pre-start-up script run, the profiles read). Those early lines
// are kept, in order, and handed to the first writer before anything else, so the log
// misses nothing; a run that ends before any writer exists takes them with
// TakeKeptLines. What is kept is bounded: the latest kMaxKeptLines lines, after a line
// that counts the dropped ones.
//
// Lines are written under one lock, so lines of two threads never interleave and each
// line reaches the writer once.
class SystemLogger {
public:
    static constexpr size_t kMaxKeptLines = 256;

    static SystemLogger& Instance();

    // Installs the writer (an empty one removes it). The first writer installed first
    // receives the lines kept until then; once a writer has been installed, lines logged
    // while none is installed are not kept.
    void SetLogger(const std::function<void(const char*)>& logger);
    // Hands the text unchanged to the installed writer; kept as described above when none is.
    void Log(const char* text);
    // The kept lines, in order (led by the count of dropped lines when there were any);
    // nothing is kept afterwards. Empty once a writer has been installed.
    std::vector<std::string> TakeKeptLines();

    ~SystemLogger();
    SystemLogger(const SystemLogger&) = delete;
    SystemLogger& operator=(const SystemLogger&) = delete;

private:
    SystemLogger();
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace EngineCore
