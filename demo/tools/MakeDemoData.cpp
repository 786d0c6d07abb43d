// Writes the demo game's generated data into its "Base" folder: loose pictures, the
// bitmap font, the sounds, the video and the two resource packs; optionally also the bunnymark's picture as a
// loose file.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "demo/tools/DemoFont.h"
#include "demo/tools/DemoImages.h"
#include "demo/tools/DemoSounds.h"
#include "demo/tools/DemoVideo.h"
#include "tools/pack/PackWriter.h"
#include "tests/support/TrackFileWriter.h"

namespace {

bool WriteFile(const std::filesystem::path& path, const std::vector<unsigned char>& bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool WritePack(const std::filesystem::path& path, const std::vector<DemoData::Picture>& pictures)
{
    PackTool::PackWriter pack;
    for (const DemoData::Picture& picture : pictures) {
        if (picture.png.empty())
            return false;
        pack.AddEntry(picture.name, picture.png);
    }
    return pack.Write(path.string());
}

void Put(std::vector<unsigned char>& out, uint32_t bits)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(bits >> (8 * i)));
}

void PutFloats(std::vector<unsigned char>& out, std::initializer_list<float> values)
{
    for (float value : values) {
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        Put(out, bits);
    }
}

// The 128-byte particle description of the sparks a ball throws when it hits an edge:
// a short burst in every direction, falling, shrinking and fading from yellow to red.
std::vector<unsigned char> SparksDescription()
{
    std::vector<unsigned char> out;
    Put(out, 0);    // unused
    Put(out, 400);  // particles per second
    PutFloats(out, {0.15f, 0.4f, 0.8f, 0.0f, 6.2831853f});  // lifetime, life range, direction, spread
    Put(out, 0);                                           // not relative
    PutFloats(out, {120.0f, 260.0f, 300.0f, 420.0f, 0.0f, 0.0f, -20.0f, 20.0f});  // speed, gravity, radial, tangential
    PutFloats(out, {1.2f, 0.3f, 0.5f, 0.0f, 8.0f, 0.5f});                       // size, spin
    PutFloats(out, {1.0f, 0.9f, 0.4f, 1.0f, 1.0f, 0.3f, 0.1f, 0.0f, 0.3f, 0.2f});  // colours and variations
    return out;
}

// The pictures of one pack as loose files below `folder`, for the pack command to pack.
bool WritePackSources(const std::filesystem::path& folder, const std::vector<DemoData::Picture>& pictures)
{
    for (const DemoData::Picture& picture : pictures) {
        if (picture.png.empty() || !WriteFile(folder / picture.name, picture.png))
            return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    // With --pack-sources, the packs' pictures are written as files below that folder
    // (Loading/, Sprites/) for the build to pack with Keldry-pack; without it, the
    // packs are written at once.
    std::filesystem::path packSources;
    if (argc >= 3 && std::strcmp(argv[1], "--pack-sources") == 0) {
        packSources = argv[2];
        argv += 2;
        argc -= 2;
    }
    if (argc < 2 || argc > 4) {
        std::fprintf(stderr,
                     "usage: %s [--pack-sources <folder>] <Base folder> [<bunny picture path> [<bench picture "
                     "folder>]]\n",
                     argv[0]);
        return 2;
    }
    const std::filesystem::path base = argv[1];
    for (const DemoData::Picture& picture : DemoData::LoosePictures()) {
        if (picture.png.empty() || !WriteFile(base / picture.name, picture.png)) {
            std::fprintf(stderr, "cannot write %s\n", picture.name.c_str());
            return 1;
        }
    }
    if (!WriteFile(base / "Particles/Sparks.psi", SparksDescription())) {
        std::fprintf(stderr, "cannot write the particle description\n");
        return 1;
    }
    const DemoData::DemoFont font = DemoData::MakeDemoFont();
    const std::vector<unsigned char> fontScript(font.script.begin(), font.script.end());
    if (font.png.empty() || !WriteFile(base / "Fonts/Demo.png", font.png) ||
        !WriteFile(base / "Fonts/Demo.bin", font.charset) || !WriteFile(base / "Fonts/DemoFont.lua", fontScript)) {
        std::fprintf(stderr, "cannot write the demo font\n");
        return 1;
    }
    for (const DemoData::SoundFile& sound : DemoData::Sounds()) {
        if (sound.bytes.empty() || !WriteFile(base / sound.name, sound.bytes)) {
            std::fprintf(stderr, "cannot write %s\n", sound.name.c_str());
            return 1;
        }
    }
    // Videos are read from disk, never from a pack.
    const std::vector<unsigned char> video = DemoData::IntroVideo();
    if (video.empty() || !WriteFile(base / "Videos" / "Intro.ogv", video)) {
        std::fprintf(stderr, "cannot write the video\n");
        return 1;
    }
    // The hero's script: walk right, rest, walk back, rest; eight seconds, looped.
    const std::vector<unsigned char> track = TestSupport::TrackFile({{0.0f, "Hero.Walk('walkRight')"},
                                                                     {3.0f, "Hero.Rest()"},
                                                                     {4.0f, "Hero.Walk('walkLeft')"},
                                                                     {7.0f, "Hero.Rest()"},
                                                                     {8.0f, ""}});
    if (!WriteFile(base / "Tracks/Hero.track", track)) {
        std::fprintf(stderr, "cannot write the hero's track\n");
        return 1;
    }
    const bool packsWritten =
        packSources.empty()
            ? WritePack(base / "Loading.resources", DemoData::LoadingPackPictures()) &&
                  WritePack(base / "Sprites.resources", DemoData::SpritePackPictures())
            : WritePackSources(packSources / "Loading", DemoData::LoadingPackPictures()) &&
                  WritePackSources(packSources / "Sprites", DemoData::SpritePackPictures());
    if (!packsWritten) {
        std::fprintf(stderr, "cannot write the packs\n");
        return 1;
    }
    // The bunnymark's picture as a loose file, for runtimes that read plain files.
    if (argc >= 3) {
        for (const DemoData::Picture& picture : DemoData::SpritePackPictures()) {
            if (picture.name == "Textures/Bunny.png" && !WriteFile(argv[2], picture.png)) {
                std::fprintf(stderr, "cannot write %s\n", argv[2]);
                return 1;
            }
        }
    }
    // The character benchmark's pictures, for runtimes that read plain files.
    if (argc == 4) {
        for (const DemoData::Picture& picture : DemoData::BenchPictures()) {
            if (!WriteFile(std::filesystem::path(argv[3]) / picture.name, picture.png)) {
                std::fprintf(stderr, "cannot write %s\n", picture.name.c_str());
                return 1;
            }
        }
    }
    return 0;
}
