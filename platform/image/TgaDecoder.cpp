#include "platform/image/TgaDecoder.h"

#include <algorithm>
#include <new>

#include "platform/image/ImageFormat.h"

namespace imageformat {

namespace {

uint32_t Expand5(uint32_t v) { return (v << 3) | (v >> 2); }

// One stored pixel or colour-map entry as ARGB. 16-bit values carry their top bit as
// alpha only when the header says the image has one bit of alpha.
uint32_t Colour(const uint8_t* p, unsigned depth, bool alphaBit) {
    switch (depth) {
        case 15:
        case 16: {
            const uint32_t v = uint32_t(p[0]) | uint32_t(p[1]) << 8;
            const uint32_t alpha = alphaBit && !(v & 0x8000) ? 0u : 255u;
            return alpha << 24 | Expand5((v >> 10) & 31) << 16 | Expand5((v >> 5) & 31) << 8 | Expand5(v & 31);
        }
        case 24:
            return 0xFF000000u | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
        default:
            return uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    }
}

// Reads `count` stored pixels of `bytes` bytes each, plain or as run-length packets, into
// `out` in file order. False when the data ends first.
bool ReadPixels(const uint8_t* data, size_t size, size_t at, bool runLength, size_t count, unsigned bytes,
                std::vector<uint8_t>* out) {
    out->resize(count * bytes);
    uint8_t* to = out->data();
    if (!runLength) {
        if (size - at < count * bytes) return false;
        std::copy(data + at, data + at + count * bytes, to);
        return true;
    }
    size_t done = 0;
    while (done < count) {
        if (at >= size) return false;
        const unsigned packet = data[at++];
        const size_t n = std::min<size_t>((packet & 0x7F) + 1, count - done);
        if (packet & 0x80) {
            if (size - at < bytes) return false;
            for (size_t i = 0; i < n; ++i) std::copy(data + at, data + at + bytes, to + (done + i) * bytes);
            at += bytes;
        } else {
            const size_t stored = size_t((packet & 0x7F) + 1) * bytes;
            if (size - at < stored) return false;
            std::copy(data + at, data + at + n * bytes, to + done * bytes);
            at += stored;
        }
        done += n;
    }
    return true;
}

}  // namespace

bool DecodeTga(const void* data, size_t size, uint64_t maxPixels, TgaImage* image) {
    *image = TgaImage();
    const ImageHeader header = ReadImageHeader(data, size);
    if (header.format != ImageFormat::kTga || uint64_t(header.width) * header.height > maxPixels) return false;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    const unsigned imageType = bytes[2], kind = imageType & 7, depth = bytes[16], descriptor = bytes[17];
    const bool runLength = imageType & 8;
    const bool alphaBit = (descriptor & 15) == 1;
    const bool topFirst = descriptor & 0x20, rightToLeft = descriptor & 0x10;
    const uint32_t w = header.width, h = header.height;
    const size_t pixelBytes = (depth + 7) / 8;
    size_t at = 18 + size_t(bytes[0]);
    try {
        TgaImage out;
        out.width = w;
        out.height = h;
        out.depth = depth;
        out.indexed = kind != 2;
        if (bytes[1] == 1) {  // a colour map, kept for indexed files and skipped for others
            const uint32_t first = uint32_t(bytes[3]) | uint32_t(bytes[4]) << 8;
            const uint32_t length = uint32_t(bytes[5]) | uint32_t(bytes[6]) << 8;
            const unsigned mapDepth = bytes[7];
            const size_t entryBytes = (mapDepth + 7) / 8;
            if (kind == 1) {
                out.palette.assign(256, 0xFF000000u);
                for (uint32_t i = 0; i < length && first + i < 256; ++i)
                    out.palette[first + i] = Colour(bytes + at + i * entryBytes, mapDepth, mapDepth == 16 && alphaBit);
            }
            at += size_t(length) * entryBytes;
        }
        if (kind == 3) {
            out.palette.resize(256);
            for (uint32_t i = 0; i < 256; ++i) out.palette[i] = 0xFF000000u | i << 16 | i << 8 | i;
        }
        std::vector<uint8_t> stored;
        if (!ReadPixels(bytes, size, at, runLength, size_t(w) * h, unsigned(pixelBytes), &stored)) return false;
        if (out.indexed)
            out.indexes.resize(size_t(w) * h);
        else
            out.texels.resize(size_t(w) * h);
        for (uint32_t row = 0; row < h; ++row) {
            const uint32_t y = topFirst ? row : h - 1 - row;
            for (uint32_t col = 0; col < w; ++col) {
                const uint32_t x = rightToLeft ? w - 1 - col : col;
                const uint8_t* p = stored.data() + (size_t(row) * w + col) * pixelBytes;
                if (out.indexed)
                    out.indexes[size_t(y) * w + x] = p[0];
                else
                    out.texels[size_t(y) * w + x] = Colour(p, depth, alphaBit);
            }
        }
        *image = std::move(out);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace imageformat
