#include "platform/image/ImageFormat.h"

#include <cstring>

namespace imageformat {

namespace {

// A view of the file that answers 0 past its end, so that a short file reads as a
// damaged header, never past the bytes.
struct Bytes {
    const uint8_t* data;
    uint64_t size;

    unsigned At(uint64_t i) const { return i < size ? data[i] : 0u; }
    uint32_t Le16(uint64_t i) const { return uint32_t(At(i)) | uint32_t(At(i + 1)) << 8; }
    uint32_t Le32(uint64_t i) const { return Le16(i) | Le16(i + 2) << 16; }
    uint32_t Be16(uint64_t i) const { return uint32_t(At(i)) << 8 | uint32_t(At(i + 1)); }
    uint32_t Be32(uint64_t i) const { return Be16(i) << 16 | Be16(i + 2); }
    bool StartsWith(const char* magic, size_t length) const {
        return size >= length && std::memcmp(data, magic, length) == 0;
    }
};

// A TGA run-length packet (a count byte and at least one pixel byte) makes at most 128
// texels, so a file claiming more texels than 128 per byte of pixel data is damaged, and
// would otherwise make the decoder fill a large picture from a few bytes. (BMP's runs can
// skip whole rows, so no such bound holds there.)
constexpr uint64_t kMostTexelsPerRunByte = 128;

ImageHeader Header(ImageFormat format, uint64_t width, uint64_t height) {
    ImageHeader header;
    if (width == 0 || height == 0 || width > 0x7FFFFFFFu || height > 0x7FFFFFFFu) return header;
    header.format = format;
    header.width = uint32_t(width);
    header.height = uint32_t(height);
    return header;
}

// The signature, then IHDR as the first chunk with its fixed length; libpng checks the rest.
ImageHeader Png(const Bytes& b) {
    if (!b.StartsWith("\x89PNG\r\n\x1a\n", 8) || b.size < 33 || b.Be32(8) != 13 ||
        std::memcmp(b.data + 12, "IHDR", 4) != 0)
        return {};
    return Header(ImageFormat::kPng, b.Be32(16), b.Be32(20));
}

// Segments are walked from the start of image to the first frame header.
ImageHeader Jpeg(const Bytes& b) {
    if (b.size < 4 || b.At(0) != 0xFF || b.At(1) != 0xD8) return {};
    uint64_t at = 2;
    while ((at = NextJpegSegment(b.data, size_t(b.size), size_t(at))) + 4 <= b.size) {
        const unsigned marker = b.At(at + 1);
        if (marker == 0xD8 || marker == 0xD9 || marker == 0xDA) return {};  // no frame before the data
        const uint32_t length = b.Be16(at + 2);
        if (length < 2) return {};
        if (IsJpegFrameMarker(marker)) {
            // Grey, colour, or CMYK: libjpeg knows no colours for other counts, and callers
            // that trust its count of bytes a pixel for them write past their rows.
            const unsigned components = b.At(at + 9);
            if (components != 1 && components != 3 && components != 4) return {};
            if (length != 8 + 3 * components || at + 2 + length > b.size) return {};
            return Header(ImageFormat::kJpeg, b.Be16(at + 7), b.Be16(at + 5));
        }
        at += 2 + uint64_t(length);
    }
    return {};
}

// Windows bitmaps with the core header or an information header of a known size, planes 1,
// and a depth that goes with the compression. Uncompressed rows must all lie in the file.
ImageHeader Bmp(const Bytes& b) {
    if (!b.StartsWith("BM", 2) || b.size < 26) return {};
    const uint32_t pixelsAt = b.Le32(10);
    const uint32_t infoSize = b.Le32(14);
    int64_t width = 0, height = 0;
    uint32_t planes = 0, depth = 0, compression = 0, colours = 0;
    uint64_t headerEnd = 14 + uint64_t(infoSize);
    if (infoSize == 12) {
        width = b.Le16(18);
        height = b.Le16(20);
        planes = b.Le16(22);
        depth = b.Le16(24);
    } else if (infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 108 || infoSize == 124) {
        width = int32_t(b.Le32(18));
        height = int32_t(b.Le32(22));
        planes = b.Le16(26);
        depth = b.Le16(28);
        compression = b.Le32(30);
        colours = b.Le32(46);
        if (infoSize == 40 && compression == 3) headerEnd += 12;  // the three masks
    } else {
        return {};
    }
    const bool topDown = height < 0;
    if (topDown) height = -height;
    bool depthFits = false;
    switch (compression) {
        case 0: depthFits = depth == 1 || depth == 4 || depth == 8 || depth == 16 || depth == 24 || depth == 32; break;
        case 1: depthFits = depth == 8 && !topDown; break;
        case 2: depthFits = depth == 4 && !topDown; break;
        case 3: depthFits = depth == 16 || depth == 32; break;
        default: break;
    }
    if (planes != 1 || !depthFits || width <= 0 || height <= 0) return {};
    if (depth <= 8 && colours > (1u << depth)) return {};
    if (headerEnd > b.size || pixelsAt < headerEnd || pixelsAt >= b.size) return {};
    if (compression == 0 || compression == 3) {
        const uint64_t rowBytes = (uint64_t(width) * depth + 31) / 32 * 4;
        if (uint64_t(height) > (b.size - pixelsAt) / rowBytes) return {};
    }
    return Header(ImageFormat::kBmp, uint64_t(width), uint64_t(height));
}

// TGA has no signature: a header is taken as one only when every field is one the decoder
// knows and agrees with the others, and the file holds the colour map and, uncompressed,
// every pixel. Checked last, after every format that has a signature.
ImageHeader Tga(const Bytes& b) {
    if (b.size < 18) return {};
    const unsigned idLength = b.At(0), mapType = b.At(1), imageType = b.At(2);
    const uint32_t mapFirst = b.Le16(3), mapLength = b.Le16(5);
    const unsigned mapDepth = b.At(7);
    const uint32_t width = b.Le16(12), height = b.Le16(14);
    const unsigned depth = b.At(16), descriptor = b.At(17);
    const unsigned kind = imageType & 7;  // 1 indexed, 2 true colour, 3 grey; +8 run-length
    if (imageType != kind && imageType != kind + 8) return {};
    if (mapType > 1 || descriptor & 0xC0) return {};
    if (mapType == 0 && (mapFirst != 0 || mapLength != 0)) return {};
    if (mapType == 1 && (mapLength == 0 || (mapDepth != 15 && mapDepth != 16 && mapDepth != 24 && mapDepth != 32)))
        return {};
    switch (kind) {
        case 1:
            if (mapType != 1 || depth != 8 || mapFirst + mapLength > 256) return {};
            break;
        case 2:
            if (depth != 15 && depth != 16 && depth != 24 && depth != 32) return {};
            break;
        case 3:
            if (depth != 8) return {};
            break;
        default:
            return {};
    }
    const uint64_t mapBytes = mapType == 1 ? uint64_t(mapLength) * ((mapDepth + 7) / 8) : 0;
    const uint64_t pixelsAt = 18 + uint64_t(idLength) + mapBytes;
    const uint64_t pixelBytes = imageType == kind ? uint64_t(width) * height * ((depth + 7) / 8) : 1;
    if (pixelsAt + pixelBytes > b.size) return {};
    if (imageType != kind && uint64_t(width) * height > kMostTexelsPerRunByte * (b.size - pixelsAt))
        return {};  // more texels than its runs can make
    return Header(ImageFormat::kTga, width, height);
}

// The logical screen, then the blocks up to the first image descriptor, whose sides the
// decoder allocates for. Every step moves forward through the bytes, so the walk ends.
ImageHeader Gif(const Bytes& b) {
    if ((!b.StartsWith("GIF87a", 6) && !b.StartsWith("GIF89a", 6)) || b.size < 13) return {};
    const uint32_t screenWidth = b.Le16(6), screenHeight = b.Le16(8);
    if (screenWidth == 0 || screenHeight == 0) return {};
    uint64_t at = 13;
    if (b.At(10) & 0x80) at += 3u << ((b.At(10) & 7) + 1);
    while (at < b.size) {
        const unsigned block = b.At(at);
        if (block == 0x2C) {
            if (b.size - at < 10) return {};
            const uint32_t width = b.Le16(at + 5), height = b.Le16(at + 7);
            if (width == 0 || height == 0) return {};
            return Header(ImageFormat::kGif, width > screenWidth ? width : screenWidth,
                          height > screenHeight ? height : screenHeight);
        }
        if (block != 0x21 || b.size - at < 2) return {};
        at += 2;
        for (;;) {
            if (at >= b.size) return {};
            const unsigned length = b.At(at);
            at += 1 + length;
            if (length == 0) break;
        }
    }
    return {};
}

// DirectDraw surfaces of DXT1, DXT3 or DXT5 blocks, or of 24- or 32-bit colours; only
// the top surface is decoded, and it must lie in the file.
ImageHeader Dds(const Bytes& b) {
    if (!b.StartsWith("DDS ", 4) || b.size < 128 || b.Le32(4) != 124 || b.Le32(76) != 32) return {};
    const uint64_t height = b.Le32(12), width = b.Le32(16);
    // Far beyond any texture, and small enough that the byte counts below cannot overflow.
    if (width == 0 || height == 0 || width > (1u << 24) || height > (1u << 24)) return {};
    const uint32_t flags = b.Le32(80);
    const uint64_t blocks = ((width + 3) / 4) * ((height + 3) / 4);
    uint64_t bytes = 0;
    if (flags & 0x4) {
        const uint32_t fourCc = b.Le32(84);
        if (fourCc == 0x31545844u)  // "DXT1"
            bytes = blocks * 8;
        else if (fourCc == 0x33545844u || fourCc == 0x35545844u)  // "DXT3", "DXT5"
            bytes = blocks * 16;
        else
            return {};
    } else if (flags & 0x40) {
        const uint32_t depth = b.Le32(88);
        if (depth != 24 && depth != 32) return {};
        bytes = width * height * (depth / 8);
    } else {
        return {};
    }
    if (bytes > b.size - 128) return {};
    return Header(ImageFormat::kDds, width, height);
}

}  // namespace

size_t NextJpegSegment(const uint8_t* data, size_t size, size_t at) {
    while (at + 1 < size) {
        if (data[at] != 0xFF) {
            const void* next = std::memchr(data + at + 1, 0xFF, size - at - 1);
            if (!next) return size;
            at = size_t(static_cast<const uint8_t*>(next) - data);
            continue;
        }
        const unsigned marker = data[at + 1];
        if (marker == 0xFF)  // fill byte
            ++at;
        else if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            at += 2;
        else
            return at;
    }
    return size;
}

ImageHeader ReadImageHeader(const void* data, size_t size) {
    if (!data || size == 0) return {};
    const Bytes b{static_cast<const uint8_t*>(data), uint64_t(size)};
    if (b.StartsWith("\x89PNG", 4)) return Png(b);
    if (b.At(0) == 0xFF && b.At(1) == 0xD8) return Jpeg(b);
    if (b.StartsWith("BM", 2)) return Bmp(b);
    if (b.StartsWith("GIF8", 4)) return Gif(b);
    if (b.StartsWith("DDS ", 4)) return Dds(b);
    return Tga(b);
}

const char* FormatName(ImageFormat format) {
    switch (format) {
        case ImageFormat::kPng: return "PNG";
        case ImageFormat::kJpeg: return "JPEG";
        case ImageFormat::kBmp: return "BMP";
        case ImageFormat::kTga: return "TGA";
        case ImageFormat::kGif: return "GIF";
        case ImageFormat::kDds: return "DDS";
        case ImageFormat::kNone: break;
    }
    return "none";
}

}  // namespace imageformat
