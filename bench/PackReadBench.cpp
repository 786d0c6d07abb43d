// Reads every entry of a ~100 MB pack of compressed entries through the virtual
// file system, and inflates the same entries with plain zlib, in the same run.
// The pack is generated in a temporary folder at start-up.
//
//   build/bench/PackReadBench
//
// PackRead/Both interleaves the two passes and reports both throughputs (MB of
// inflated bytes per second) and their ratio (file system / plain zlib).
#include <benchmark/benchmark.h>

#include <zlib.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/FileSystem/CachedFile.h"
#include "engine/FileSystem/FileSystem.h"
#include "tools/pack/PackWriter.h"
#include "tests/support/TempFolder.h"

namespace {

constexpr uint64_t kTargetStoredBytes = 100ull << 20;

struct Entry {
    std::string name;
    size_t offset;  // of the stored bytes in the pack
    uint32_t stored;
    uint32_t full;
};

// Text-like content (words and numbers) that zlib shrinks roughly threefold.
std::vector<unsigned char> MakeContent(uint64_t& state, size_t size)
{
    static const char* const words[] = {"sprite", "texture", "the", "of", "animation", "player", "quest",
                                        "a", "level", "=", "{", "}", "\n", "local", "function", "end",
                                        "return", "if", "then", "else", "x", "y", ",", "(", ")"};
    std::vector<unsigned char> out;
    out.reserve(size + 32);
    while (out.size() < size) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        if (state % 5 == 0) {
            const std::string number = std::to_string(state % 100000);
            out.insert(out.end(), number.begin(), number.end());
        } else {
            const char* word = words[state % (sizeof words / sizeof words[0])];
            out.insert(out.end(), word, word + std::strlen(word));
        }
        out.push_back(' ');
    }
    out.resize(size);
    return out;
}

uint32_t U32(const std::vector<unsigned char>& b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

struct PackFixture {
    TestSupport::TempFolder folder;
    std::vector<unsigned char> pack;  // the file's bytes, for the plain zlib pass
    std::vector<Entry> entries;
    uint64_t fullBytes = 0;
    uint64_t storedBytes = 0;

    PackFixture()
    {
        PackTool::PackWriter writer;
        writer.SetEntryMode(PackTool::PackWriter::EntryMode::Compressed);
        uint64_t state = 0x9E3779B97F4A7C15ull;
        std::vector<std::string> names;
        // The compression ratio is measured on the first entries; the rest are
        // added until the estimated stored size reaches the target.
        uint64_t raw = 0;
        uint64_t probedRaw = 0;
        uint64_t probedStored = 0;
        for (int i = 0; probedStored == 0 || raw * probedStored / probedRaw < kTargetStoredBytes; ++i) {
            const size_t size = 64 * 1024 + (state % (960 * 1024));
            const std::vector<unsigned char> content = MakeContent(state, size);
            if (i < 4) {
                uLongf length = compressBound(content.size());
                std::vector<unsigned char> probe(length);
                compress(probe.data(), &length, content.data(), content.size());
                probedRaw += content.size();
                probedStored += length;
            }
            raw += content.size();
            names.push_back("bench/entry" + std::to_string(i) + ".bin");
            writer.AddEntry(names.back(), content);
        }
        pack = writer.Build();
        const size_t records = PackTool::PackWriter::kHeaderSize + U32(pack, PackTool::PackWriter::kNameStoredOffset);
        for (size_t i = 0; i < names.size(); ++i) {
            const size_t r = records + i * PackTool::PackWriter::kRecordSize;
            Entry e{names[i], U32(pack, r + 4), U32(pack, r), U32(pack, r + 12)};
            if (e.stored == e.full)
                std::abort();  // every entry must be compressed
            fullBytes += e.full;
            storedBytes += e.stored;
            entries.push_back(e);
        }
        folder.WriteFile("bench.resources", pack);
        EngineCore::FileSystem::Instance().AddResourceFile("bench.resources", folder.Path());
        std::fprintf(stderr, "pack: %zu entries, %.1f MB stored, %.1f MB inflated\n", entries.size(),
                     storedBytes / 1048576.0, fullBytes / 1048576.0);
    }
};

PackFixture& Fixture()
{
    static PackFixture fixture;
    return fixture;
}

void FileSystemPass(const PackFixture& f)
{
    EngineCore::FileSystem& fs = EngineCore::FileSystem::Instance();
    for (const Entry& e : f.entries) {
        std::shared_ptr<EngineCore::CachedFile> file;
        if (!fs.GetFile(e.name, file))
            std::abort();
        benchmark::DoNotOptimize(file->GetData());
        // Every read inflates again instead of hitting the cache.
        fs.FreeCache();
    }
}

void PlainZlibPass(const PackFixture& f)
{
    for (const Entry& e : f.entries) {
        std::unique_ptr<unsigned char[]> out(new unsigned char[e.full]);
        uLongf length = e.full;
        if (uncompress(out.get(), &length, f.pack.data() + e.offset, e.stored) != Z_OK || length != e.full)
            std::abort();
        benchmark::DoNotOptimize(out.get());
    }
}

void BM_PackRead_FileSystem(benchmark::State& state)
{
    const PackFixture& f = Fixture();
    for (auto _ : state)
        FileSystemPass(f);
    state.SetBytesProcessed(static_cast<int64_t>(f.fullBytes) * state.iterations());
}

void BM_PackRead_PlainZlib(benchmark::State& state)
{
    const PackFixture& f = Fixture();
    for (auto _ : state)
        PlainZlibPass(f);
    state.SetBytesProcessed(static_cast<int64_t>(f.fullBytes) * state.iterations());
}

void BM_PackRead_Both(benchmark::State& state)
{
    const PackFixture& f = Fixture();
    using Clock = std::chrono::steady_clock;
    double fsSeconds = 0;
    double zlibSeconds = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        FileSystemPass(f);
        const auto t1 = Clock::now();
        PlainZlibPass(f);
        const auto t2 = Clock::now();
        fsSeconds += std::chrono::duration<double>(t1 - t0).count();
        zlibSeconds += std::chrono::duration<double>(t2 - t1).count();
    }
    const double megabytes = static_cast<double>(f.fullBytes) * static_cast<double>(state.iterations()) / 1e6;
    state.counters["fs_MBps"] = megabytes / fsSeconds;
    state.counters["zlib_MBps"] = megabytes / zlibSeconds;
    state.counters["ratio"] = zlibSeconds / fsSeconds;
}

}  // namespace

BENCHMARK(BM_PackRead_FileSystem)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PackRead_PlainZlib)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PackRead_Both)->Unit(benchmark::kMillisecond)->Iterations(5);

BENCHMARK_MAIN();
