#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "backend/Base/HGESoundStream.h"

using MobrixCore::HGESoundStream;

// Streams are made and freed on the loader thread while the main thread changes the
// volumes, which walk the registry of live streams: neither may see the other half-done.
// (AddressSanitizer reports the use of a freed stream or a broken set.)
TEST(SoundStreamRegistry, StreamsMadeOnOneThreadWhileVolumesChangeOnAnother)
{
    std::atomic<bool> done{false};
    std::atomic<int> changes{0};
    std::thread loader([&] {
        // Starts once the volumes are changing, so that the two overlap on a busy machine too.
        while (changes.load() == 0)
            std::this_thread::yield();
        std::vector<std::unique_ptr<HGESoundStream>> streams;
        for (int i = 0; i < 20000; ++i) {
            streams.push_back(std::make_unique<HGESoundStream>());
            streams.back()->SetIsMusic(i % 2 == 0);
            if (streams.size() > 16)
                streams.erase(streams.begin());
        }
        done = true;
    });
    while (!done) {
        const int n = changes.load();
        HGESoundStream::SetGlobalVolume(0.25f * static_cast<float>(n % 5), n % 2 == 0);
        changes.store(n + 1);
    }
    loader.join();
    HGESoundStream::SetGlobalVolume(1.0f, false);
    HGESoundStream::SetGlobalVolume(1.0f, true);
    EXPECT_GT(changes.load(), 0);
}
