#pragma once
// A private folder for the fuzz targets' input files, in memory (/dev/shm) when the
// system has it, removed at exit.
#include <cstddef>
#include <cstdint>
#include <string>

namespace FuzzSupport {

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return _path; }
    // Replaces the file `name` below the folder with the bytes; returns its full path.
    std::string Write(const std::string& name, const uint8_t* data, size_t size) const;
    // Writes the file `name` for the process-wide file system to read afresh: the
    // folder is added to it on the first call, and its cached files are dropped.
    void Serve(const std::string& name, const uint8_t* data, size_t size);

private:
    std::string _path;
    bool _served = false;
};

}  // namespace FuzzSupport
