// Writes the demo game's generated data into its "Base" folder: loose pictures and
// the two resource packs; optionally also the bunnymark's picture as a loose file.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "demo/tools/DemoImages.h"
#include "tests/support/PackWriter.h"
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
    TestSupport::PackWriter pack;
    for (const DemoData::Picture& picture : pictures) {
        if (picture.png.empty())
            return false;
        pack.AddEntry(picture.name, picture.png);
    }
    return pack.Write(path.string());
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 4) {
        std::fprintf(stderr, "usage: %s <Base folder> [<bunny picture path> [<bench picture folder>]]\n", argv[0]);
        return 2;
    }
    const std::filesystem::path base = argv[1];
    for (const DemoData::Picture& picture : DemoData::LoosePictures()) {
        if (picture.png.empty() || !WriteFile(base / picture.name, picture.png)) {
            std::fprintf(stderr, "cannot write %s\n", picture.name.c_str());
            return 1;
        }
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
    if (!WritePack(base / "Loading.resources", DemoData::LoadingPackPictures()) ||
        !WritePack(base / "Sprites.resources", DemoData::SpritePackPictures())) {
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
