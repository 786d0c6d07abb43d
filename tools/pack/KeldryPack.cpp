// Keldry-pack <folder> <out.resources>: packs every file below the folder into one
// resource pack (see PackFolder.h). Exit status 0 when the pack was written, 1 on a
// failure (told on stderr), 2 on a wrong command line.
#include <cstdio>
#include <string>

#include "tools/pack/PackFolder.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: Keldry-pack <folder> <out.resources>\n");
        return 2;
    }
    std::string error;
    if (!PackTool::PackFolder(argv[1], argv[2], error)) {
        std::fprintf(stderr, "Keldry-pack: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
