#pragma once
// The log file: truncated when it is named, one flushed line per Write. Written from the
// main and the loader thread. The file is closed on exec: a program the game starts (the
// browser) gets no handle on it.
#include <cstdio>
#include <mutex>
#include <string>

namespace hgeplatform {

class LogFile {
public:
    LogFile() = default;
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // Names the file and truncates it; an empty name stops logging.
    void Open(const std::string& path);
    void Close();
    const std::string& Path() const { return path_; }
    // Writes `text` as it is, then a line end.
    void Write(const char* text, size_t length);

private:
    std::mutex mutex_;
    std::string path_;
    FILE* file_ = nullptr;
};

}  // namespace hgeplatform
