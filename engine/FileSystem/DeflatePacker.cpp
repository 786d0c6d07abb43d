#include "engine/FileSystem/DeflatePacker.h"

#include <zlib.h>

#include <new>

namespace EngineCore {

unsigned char* DeflatePacker::Decompress(const void* source, uint32_t sourceSize, uint32_t fullSize)
{
    if (!source || static_cast<uint64_t>(fullSize) > MaxInflatedSize(sourceSize))
        return nullptr;
    unsigned char* buffer = new (std::nothrow) unsigned char[fullSize > 0 ? fullSize : 1];
    if (!buffer)
        return nullptr;
    uLongf produced = fullSize;
    const int result = uncompress(buffer, &produced, static_cast<const Bytef*>(source), sourceSize);
    // A short inflation would hand out an uninitialised tail: refuse it.
    if (result != Z_OK || produced != fullSize) {
        delete[] buffer;
        return nullptr;
    }
    return buffer;
}

unsigned char* DeflatePacker::Compress(const void* source, uint32_t& size)
{
    if (!source && size > 0)
        return nullptr;
    const uLong bound = compressBound(size);
    unsigned char* buffer = new (std::nothrow) unsigned char[bound];
    if (!buffer)
        return nullptr;
    uLongf produced = bound;
    if (compress(buffer, &produced, static_cast<const Bytef*>(source), size) != Z_OK) {
        delete[] buffer;
        return nullptr;
    }
    size = static_cast<uint32_t>(produced);
    return buffer;
}

}  // namespace EngineCore
