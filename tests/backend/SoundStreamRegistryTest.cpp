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
    std::thread loader([&] {
        std::vector<std::unique_ptr<HGESoundStream>> streams;
        for (int i = 0; i < 20000; ++i) {
            streams.push_back(std::make_unique<HGESoundStream>());
            streams.back()->SetIsMusic(i % 2 == 0);
            if (streams.size() > 16)
                streams.erase(streams.begin());
        }
        done = true;
    });
    int changes = 0;
    while (!done) {
        HGESoundStream::SetGlobalVolume(0.25f * (changes % 5), changes % 2 == 0);
        ++changes;
    }
    loader.join();
    HGESoundStream::SetGlobalVolume(1.0f, false);
    HGESoundStream::SetGlobalVolume(1.0f, true);
    EXPECT_GT(changes, 0);
}
