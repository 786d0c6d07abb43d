#include "engine/FileSystem/CachedFile.h"

namespace EngineCore {

// Invariant: GetSize() > 0 exactly when GetData() holds that many bytes.

CachedFile::~CachedFile()
{
    delete[] _data;
}

void CachedFile::Create(const FileInfo& info, int size)
{
    _info = info;
    delete[] _data;
    _data = nullptr;
    _size = 0;
    if (size > 0) {
        _data = new unsigned char[static_cast<size_t>(size)];
        _size = size;
    }
}

void CachedFile::Create(const FileInfo& info, unsigned char* data, int size)
{
    _info = info;
    if (data != _data)
        delete[] _data;
    _data = nullptr;
    _size = 0;
    if (size > 0 && data) {
        _data = data;
        _size = size;
    } else {
        delete[] data;
    }
}

}  // namespace EngineCore
