#pragma once
#include <cstdint>

namespace EngineCore {

// zlib's one-call compress / uncompress. Buffers returned are owned by the
// caller and freed with delete[].
class DeflatePacker {
public:
    // A buffer of exactly fullSize bytes, or null when the data is corrupt, does
    // not inflate to exactly fullSize bytes, or claims more than zlib's largest
    // expansion of srcSize bytes (so hostile sizes never reach the allocator).
    static unsigned char* Decompress(const void* source, uint32_t sourceSize, uint32_t fullSize);

    // Compresses size bytes; on success stores the compressed size through size.
    static unsigned char* Compress(const void* source, uint32_t& size);

    // Largest full size that sourceSize bytes of zlib data can inflate to.
    static uint64_t MaxInflatedSize(uint64_t sourceSize) { return sourceSize * 1032 + 64; }
};

}  // namespace EngineCore
