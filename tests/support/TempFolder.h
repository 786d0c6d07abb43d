#pragma once
// A unique folder under the system's temporary folder, removed with everything
// in it when the object goes.
#include <ctime>
#include <string>
#include <vector>

namespace TestSupport {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return _path; }
    // Path() + "/" + relative.
    std::string operator/(const std::string& relative) const { return _path + "/" + relative; }

    // Writes a file below the folder, creating its parent folders.
    void WriteFile(const std::string& relative, const std::string& bytes) const;
    void WriteFile(const std::string& relative, const std::vector<unsigned char>& bytes) const;
    void MakeFolder(const std::string& relative) const;
    // Sets the file's modification time (seconds since 1970, UTC, and a fraction of
    // the second in nanoseconds).
    void SetModificationTime(const std::string& relative, time_t seconds, long nanoseconds = 0) const;

private:
    std::string _path;
};

// Seconds since 1970 of a UTC date.
time_t UtcTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

}  // namespace TestSupport
