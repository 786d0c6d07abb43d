#pragma once
// Builds action-track files for tests: the magic, a record count and timed keys.
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace TestSupport {

inline void AppendU32(std::vector<unsigned char>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

inline void AppendF32(std::vector<unsigned char>& out, float f)
{
    uint32_t v;
    std::memcpy(&v, &f, 4);
    AppendU32(out, v);
}

// The header alone: 19 magic bytes (NUL included) and the count.
inline std::vector<unsigned char> TrackHeader(int32_t count)
{
    const char magic[] = "kT.actiontrack.bin";
    std::vector<unsigned char> out(magic, magic + sizeof(magic));
    AppendU32(out, static_cast<uint32_t>(count));
    return out;
}

inline void AppendTrackKey(std::vector<unsigned char>& out, float time, const std::string& text)
{
    AppendF32(out, time);
    AppendU32(out, static_cast<uint32_t>(text.size() + 1));
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

inline std::vector<unsigned char> TrackFile(const std::vector<std::pair<float, std::string>>& keys)
{
    std::vector<unsigned char> out = TrackHeader(static_cast<int32_t>(keys.size()));
    for (const auto& key : keys)
        AppendTrackKey(out, key.first, key.second);
    return out;
}

}  // namespace TestSupport
