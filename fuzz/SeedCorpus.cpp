// Writes the generated seeds of the fuzz corpus: <out>/pack, <out>/animation,
// <out>/action_track and <out>/datastream, small valid (or nearly valid) files.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/FileSystem/DeflatePacker.h"

namespace {

using Bytes = std::vector<unsigned char>;

void U32(Bytes& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

void F32(Bytes& out, float f)
{
    uint32_t v;
    std::memcpy(&v, &f, 4);
    U32(out, v);
}

Bytes Deflate(const Bytes& in)
{
    uint32_t size = static_cast<uint32_t>(in.size());
    std::unique_ptr<unsigned char[]> packed(EngineCore::DeflatePacker::Compress(in.data(), size));
    return Bytes(packed.get(), packed.get() + size);
}

struct Entry {
    std::string name;
    std::string data;
    bool compressed;
    bool absent;
};

Bytes Pack(const std::vector<Entry>& entries, bool compressedNames)
{
    Bytes names;
    for (const Entry& e : entries)
        names.insert(names.end(), e.name.c_str(), e.name.c_str() + e.name.size() + 1);
    const Bytes storedNames = compressedNames ? Deflate(names) : names;

    Bytes out(reinterpret_cast<const unsigned char*>("wR.resources"),
              reinterpret_cast<const unsigned char*>("wR.resources") + 12);
    U32(out, static_cast<uint32_t>(entries.size()));
    U32(out, 0);
    U32(out, 0);
    U32(out, static_cast<uint32_t>(storedNames.size()));
    U32(out, static_cast<uint32_t>(names.size()));
    out.insert(out.end(), storedNames.begin(), storedNames.end());

    std::vector<Bytes> stored;
    for (const Entry& e : entries) {
        Bytes data(e.data.begin(), e.data.end());
        if (e.compressed) {
            data = Deflate(data);
        } else {
            for (unsigned char& c : data)
                c ^= 0xC3;
        }
        stored.push_back(data);
    }
    uint32_t at = static_cast<uint32_t>(out.size() + 40 * entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        U32(out, entries[i].absent ? 0 : static_cast<uint32_t>(stored[i].size()));
        U32(out, at);
        U32(out, 0);
        U32(out, static_cast<uint32_t>(entries[i].data.size()));
        for (uint32_t field : {2024u, 5u, 17u, 12u, 30u, 59u})
            U32(out, field);
        at += static_cast<uint32_t>(stored[i].size());
    }
    for (const Bytes& s : stored)
        out.insert(out.end(), s.begin(), s.end());
    return out;
}

Bytes Animation(uint32_t flags, int keys, bool vertex)
{
    Bytes out(reinterpret_cast<const unsigned char*>("kT.animation.bin"),
              reinterpret_cast<const unsigned char*>("kT.animation.bin") + 17);
    U32(out, static_cast<uint32_t>(keys));
    U32(out, flags | (vertex ? 0x40u : 0u));
    int floats = 0;
    for (uint32_t bit : {0x01u, 0x04u}) floats += (flags & bit) ? 3 : 0;
    floats += (flags & 0x02u) ? 4 : 0;
    floats += (flags & 0x08u) ? 1 : 0;
    floats += (flags & 0x10u) ? 3 : 0;
    floats += (flags & 0x20u) ? 1 : 0;
    for (int k = 0; k < keys; ++k) {
        F32(out, 0.5f * static_cast<float>(k));
        for (int f = 0; f < floats; ++f)
            F32(out, static_cast<float>(k + f) * 0.25f);
    }
    if (vertex) {
        U32(out, 2);  // tracks
        U32(out, 2);
        U32(out, 3);
        for (int r = 0; r < 5; ++r) {
            F32(out, r < 2 ? static_cast<float>(r) : 0.4f * static_cast<float>(r - 2));
            for (int v = 0; v < 3; ++v)
                F32(out, static_cast<float>(r * 3 + v));
        }
    }
    return out;
}

Bytes ActionTrack(const std::vector<std::pair<float, std::string>>& keys)
{
    Bytes out(reinterpret_cast<const unsigned char*>("kT.actiontrack.bin"),
              reinterpret_cast<const unsigned char*>("kT.actiontrack.bin") + 19);
    U32(out, static_cast<uint32_t>(keys.size()));
    for (const auto& key : keys) {
        F32(out, key.first);
        U32(out, static_cast<uint32_t>(key.second.size() + 1));
        out.insert(out.end(), key.second.begin(), key.second.end());
        out.push_back(0);
    }
    return out;
}

bool Write(const std::filesystem::path& path, const Bytes& bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path root = argv[1];
    const std::string text = "local x = 1\nreturn x\n";
    bool ok = true;
    ok &= Write(root / "pack" / "plain", Pack({{"a.txt", "hello", false, false}, {"b/c.lua", text, false, false}}, false));
    ok &= Write(root / "pack" / "packed",
                Pack({{"a.png", std::string(300, 'x'), true, false}, {"gone", "", false, true}, {"e", "", true, false}},
                     true));
    ok &= Write(root / "animation" / "channels", Animation(0x3F, 3, false));
    ok &= Write(root / "animation" / "vertex", Animation(0x21, 2, true));
    ok &= Write(root / "animation" / "empty", Animation(0, 0, false));

    ok &= Write(root / "action_track" / "keys", ActionTrack({{0.0f, "a = 1"}, {0.5f, ""}, {1.0f, "b = 2"}}));
    ok &= Write(root / "action_track" / "same-time", ActionTrack({{0.0f, "x"}, {0.0f, "y"}}));
    ok &= Write(root / "action_track" / "empty", ActionTrack({}));

    Bytes stream;
    stream.push_back(1);
    for (unsigned char op : {0, 4, 9, 10, 13, 6, 2})
        for (unsigned char b : {op, static_cast<unsigned char>(0), static_cast<unsigned char>(0),
                                static_cast<unsigned char>(0), static_cast<unsigned char>(0)})
            stream.push_back(b);
    U32(stream, 6);
    stream.insert(stream.end(), {'h', 'e', 'l', 'l', 'o', 0});
    ok &= Write(root / "datastream" / "reads", stream);
    Bytes inflate;
    inflate.push_back(0);
    Bytes full(200, 'z');
    U32(inflate, 200);
    const Bytes packed = Deflate(full);
    inflate.insert(inflate.end(), packed.begin(), packed.end());
    ok &= Write(root / "datastream" / "inflate", inflate);
    return ok ? 0 : 1;
}
