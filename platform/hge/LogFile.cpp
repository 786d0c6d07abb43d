#include "platform/hge/LogFile.h"

namespace hgeplatform {

LogFile::~LogFile() { Close(); }

void LogFile::Open(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (file_) std::fclose(file_);
    file_ = nullptr;
    path_ = path;
    if (!path_.empty()) file_ = std::fopen(path_.c_str(), "we");
}

void LogFile::Close() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

void LogFile::Write(const char* text, size_t length) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!file_) return;
    std::fwrite(text, 1, length, file_);
    std::fputc('\n', file_);
    std::fflush(file_);
}

}  // namespace hgeplatform
