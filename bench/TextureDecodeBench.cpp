// Decodes a large picture (4096 x 4096) from memory into texels as the texture loader does:
// the time per decode, and "peak_MiB", the growth of the peak resident memory of a fresh
// process that holds the file and decodes it once (measured in a child process, so one
// case's peak does not hide the next one's). The texels alone take 64 MiB: every format
// should stay within a small multiple of that.
//   build/bench/TextureDecodeBench
#include <benchmark/benchmark.h>

#include <FreeImage.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/hge/ImageDecoder.h"

extern char** environ;

namespace {

const int kSide = 4096;

struct Kind {
    const char* name;
    FREE_IMAGE_FORMAT format;
    int bitsPerPixel;
    int flags;
};

const Kind kKinds[] = {
    {"png_rgba", FIF_PNG, 32, PNG_Z_BEST_SPEED},
    {"png_rgb", FIF_PNG, 24, PNG_Z_BEST_SPEED},
    {"png_palette", FIF_PNG, 8, PNG_Z_BEST_SPEED},
    {"jpeg", FIF_JPEG, 24, JPEG_QUALITYGOOD},
    {"bmp_rgba", FIF_BMP, 32, 0},
    {"tga_rgba_rle", FIF_TARGA, 32, TARGA_SAVE_RLE},
    {"gif", FIF_GIF, 8, 0},
};

// A picture with smooth areas and edges, so that it compresses as real art does.
std::vector<unsigned char> Encode(const Kind& kind)
{
    FIBITMAP* bitmap = FreeImage_Allocate(kSide, kSide, kind.bitsPerPixel);
    if (kind.bitsPerPixel == 8) {
        RGBQUAD* palette = FreeImage_GetPalette(bitmap);
        for (int i = 0; i < 256; ++i) {
            palette[i].rgbRed = BYTE(i);
            palette[i].rgbGreen = BYTE(255 - i);
            palette[i].rgbBlue = BYTE(i * 7);
        }
    }
    const int bytes = kind.bitsPerPixel / 8;
    for (int y = 0; y < kSide; ++y) {
        BYTE* line = FreeImage_GetScanLine(bitmap, y);
        for (int x = 0; x < kSide; ++x)
            for (int c = 0; c < bytes; ++c)
                line[x * bytes + c] = BYTE(((x >> (4 + c)) ^ (y >> 5)) * 37 + x / 16 + c * 50);
    }
    FIMEMORY* memory = FreeImage_OpenMemory();
    FreeImage_SaveToMemory(kind.format, bitmap, memory, kind.flags);
    BYTE* data = nullptr;
    DWORD size = 0;
    FreeImage_AcquireMemory(memory, &data, &size);
    std::vector<unsigned char> file(data, data + size);
    FreeImage_CloseMemory(memory);
    FreeImage_Unload(bitmap);
    return file;
}

// The peak resident memory of this process image (VmHWM): unlike getrusage's, it starts
// afresh at exec rather than from the parent's peak.
long PeakKib()
{
    long kib = -1;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            kib = std::stol(line.substr(6));
    return kib;
}

// The child: read the file, decode it once, print the peak's growth in KiB.
int DecodeOnce(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const long before = PeakKib();
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    if (!hgeplatform::DecodeImage(file.data(), uint32_t(file.size()), 16384, &width, &height, &pixels))
        return 2;
    std::printf("%ld\n", PeakKib() - before);
    return 0;
}

double ChildPeakMib(const std::string& path)
{
    const std::string out = path + ".peak";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    char self[] = "/proc/self/exe";
    char flag[] = "--decode-once";
    std::vector<char> file(path.begin(), path.end());
    file.push_back('\0');
    char* argv[] = {self, flag, file.data(), nullptr};
    pid_t pid = 0;
    double mib = -1;
    if (posix_spawn(&pid, self, &actions, nullptr, argv, environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        long kib = -1;
        if (FILE* f = std::fopen(out.c_str(), "r")) {
            if (std::fscanf(f, "%ld", &kib) == 1 && WIFEXITED(status) && WEXITSTATUS(status) == 0)
                mib = kib / 1024.0;
            std::fclose(f);
        }
    }
    posix_spawn_file_actions_destroy(&actions);
    std::remove(out.c_str());
    return mib;
}

void Decode(benchmark::State& state, const Kind& kind)
{
    const std::vector<unsigned char> file = Encode(kind);
    char path[] = "/tmp/texture-decode-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0 || write(fd, file.data(), file.size()) != ssize_t(file.size())) {
        state.SkipWithError("cannot write the picture");
        return;
    }
    close(fd);
    state.counters["peak_MiB"] = ChildPeakMib(path);
    state.counters["file_KiB"] = double(file.size()) / 1024.0;
    unlink(path);
    for (auto _ : state) {
        int width = 0, height = 0;
        std::vector<uint32_t> pixels;
        if (!hgeplatform::DecodeImage(file.data(), uint32_t(file.size()), 16384, &width, &height, &pixels))
            state.SkipWithError("decoding failed");
        benchmark::DoNotOptimize(pixels.data());
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--decode-once") == 0)
        return DecodeOnce(argv[2]);
    for (const Kind& kind : kKinds)
        benchmark::RegisterBenchmark((std::string("Decode4096/") + kind.name).c_str(),
                                     [&kind](benchmark::State& state) { Decode(state, kind); })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
