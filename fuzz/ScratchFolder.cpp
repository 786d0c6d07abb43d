#include "fuzz/ScratchFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "engine/FileSystem/FileSystem.h"

namespace FuzzSupport {

ScratchFolder::ScratchFolder()
{
    struct stat st {};
    const std::string base = stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) ? "/dev/shm" : "/tmp";
    std::string pattern = base + "/runtime-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        std::abort();
    }
    _path = pattern;
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(_path, ignored);
}

std::string ScratchFolder::Write(const std::string& name, const uint8_t* data, size_t size) const
{
    const std::string path = _path + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || (size > 0 && std::fwrite(data, 1, size, file) != size) || std::fclose(file) != 0) {
        std::perror(path.c_str());
        std::abort();
    }
    return path;
}

void ScratchFolder::Serve(const std::string& name, const uint8_t* data, size_t size)
{
    Write(name, data, size);
    EngineCore::FileSystem& files = EngineCore::FileSystem::Instance();
    if (!_served) {
        files.AddDirectory(_path);
        _served = true;
    }
    files.FreeCache();
}

}  // namespace FuzzSupport
