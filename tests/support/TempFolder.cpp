#include "tests/support/TempFolder.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace TestSupport {

TempFolder::TempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "runtime-test-XXXXXX").string();
    if (!mkdtemp(&pattern[0]))
        throw std::runtime_error("mkdtemp failed");
    _path = pattern;
}

TempFolder::~TempFolder()
{
    std::error_code ec;
    std::filesystem::remove_all(_path, ec);
}

void TempFolder::MakeFolder(const std::string& relative) const
{
    std::filesystem::create_directories(*this / relative);
}

void TempFolder::WriteFile(const std::string& relative, const std::string& bytes) const
{
    const std::filesystem::path path = *this / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file)
        throw std::runtime_error("cannot write " + path.string());
}

void TempFolder::WriteFile(const std::string& relative, const std::vector<unsigned char>& bytes) const
{
    WriteFile(relative, std::string(bytes.begin(), bytes.end()));
}

void TempFolder::SetModificationTime(const std::string& relative, time_t seconds, long nanoseconds) const
{
    timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    if (utimensat(AT_FDCWD, (*this / relative).c_str(), times, 0) != 0)
        throw std::runtime_error("utimensat failed");
}

time_t UtcTime(int year, int month, int day, int hour, int minute, int second)
{
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    return timegm(&tm);
}

}  // namespace TestSupport
