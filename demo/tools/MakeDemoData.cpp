// Writes the demo game's generated data into its "Base" folder: loose pictures, the
// video and the two resource packs; optionally also the bunnymark's picture as a loose file.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "demo/tools/DemoImages.h"
#include "demo/tools/DemoVideo.h"
#include "tests/support/PackWriter.h"

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
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s <Base folder> [<bunny picture path>]\n", argv[0]);
        return 2;
    }
    const std::filesystem::path base = argv[1];
    for (const DemoData::Picture& picture : DemoData::LoosePictures()) {
        if (picture.png.empty() || !WriteFile(base / picture.name, picture.png)) {
            std::fprintf(stderr, "cannot write %s\n", picture.name.c_str());
            return 1;
        }
    }
    // Videos are read from disk, never from a pack.
    const std::vector<unsigned char> video = DemoData::IntroVideo();
    if (video.empty() || !WriteFile(base / "Videos" / "Intro.ogv", video)) {
        std::fprintf(stderr, "cannot write the video\n");
        return 1;
    }
    if (!WritePack(base / "Loading.resources", DemoData::LoadingPackPictures()) ||
        !WritePack(base / "Sprites.resources", DemoData::SpritePackPictures())) {
        std::fprintf(stderr, "cannot write the packs\n");
        return 1;
    }
    // The bunnymark's picture as a loose file, for runtimes that read plain files.
    if (argc == 3) {
        for (const DemoData::Picture& picture : DemoData::SpritePackPictures()) {
            if (picture.name == "Textures/Bunny.png" && !WriteFile(argv[2], picture.png)) {
                std::fprintf(stderr, "cannot write %s\n", argv[2]);
                return 1;
            }
        }
    }
    return 0;
}
