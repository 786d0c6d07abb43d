// Whole files read from disk, outside the game's own file system.
#include <cstdio>
#include <cstdlib>

#include "platform/hge/Engine.h"
#include "platform/hge/FilePaths.h"

namespace hgeplatform {

void* Engine::Resource_Load(const char* path, DWORD* size) {
    if (size) *size = 0;
    if (!path || !*path) return nullptr;
    std::string found = FindFile(path);
    if (found.empty()) {
        const std::string program = ProgramFolder();
        if (!program.empty()) found = FindFile(path, program);
    }
    if (found.empty()) return nullptr;
    FILE* f = std::fopen(found.c_str(), "rbe");
    if (!f) return nullptr;
    void* data = nullptr;
    long length = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) length = std::ftell(f);
    // Sizes travel as 32-bit values.
    if (length >= 0 && (unsigned long long)length <= 0xFFFFFFFFull && std::fseek(f, 0, SEEK_SET) == 0) {
        data = std::malloc(length > 0 ? size_t(length) : 1);
        if (data && std::fread(data, 1, size_t(length), f) != size_t(length)) {
            std::free(data);
            data = nullptr;
        }
    }
    std::fclose(f);
    if (data && size) *size = DWORD(length);
    return data;
}

void Engine::Resource_Free(void* res) { std::free(res); }

}  // namespace hgeplatform
