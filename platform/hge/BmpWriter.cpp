#include "platform/hge/BmpWriter.h"

#include <cstdio>
#include <vector>

namespace hgeplatform {

namespace {
void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
}  // namespace

bool WriteBmp24(const std::string& path, const uint32_t* pixels, int width, int height) {
    if (!pixels || width <= 0 || height <= 0 || path.empty()) return false;
    const uint32_t rowBytes = (uint32_t(width) * 3 + 3) & ~3u;
    const uint32_t imageBytes = rowBytes * uint32_t(height);
    std::vector<uint8_t> out;
    out.reserve(54 + imageBytes);
    out.push_back('B');
    out.push_back('M');
    Put32(out, 54 + imageBytes);
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, uint32_t(width));
    Put32(out, uint32_t(height));  // positive: bottom row first
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);  // no compression
    Put32(out, imageBytes);
    Put32(out, 2835);  // 72 dpi
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = height - 1; y >= 0; --y) {
        const uint32_t* row = pixels + size_t(y) * size_t(width);
        for (int x = 0; x < width; ++x) {
            out.push_back(uint8_t(row[x]));
            out.push_back(uint8_t(row[x] >> 8));
            out.push_back(uint8_t(row[x] >> 16));
        }
        for (uint32_t pad = uint32_t(width) * 3; pad < rowBytes; ++pad) out.push_back(0);
    }
    FILE* f = std::fopen(path.c_str(), "wbe");
    if (!f) return false;
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return (std::fclose(f) == 0) && ok;
}

}  // namespace hgeplatform
