#pragma once
#include <memory>

#include "engine/FileSystem/FileInfo.h"

namespace EngineCore {

// A file's bytes in memory with the index entry it came from. An empty file has
// size 0 and no data (GetData() is null).
class CachedFile {
public:
    CachedFile() = default;
    ~CachedFile();
    CachedFile(const CachedFile&) = delete;
    CachedFile& operator=(const CachedFile&) = delete;

    unsigned char* GetData() { return _data; }
    const unsigned char* GetData() const { return _data; }
    int GetSize() const { return _size; }
    const FileInfo& GetInfo() const { return _info; }

protected:
    friend class FileLoader;
    friend class PackFile;

    // Allocates size bytes (nothing when size is 0).
    void Create(const FileInfo& info, int size);
    // Adopts a buffer allocated with new[].
    void Create(const FileInfo& info, unsigned char* data, int size);

private:
    int _size = 0;
    unsigned char* _data = nullptr;
    FileInfo _info;
};

}  // namespace EngineCore
