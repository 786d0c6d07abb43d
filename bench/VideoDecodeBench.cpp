// Frames of a 1024 x 768 Ogg/Theora clip (4:2:0, made here by libtheora's encoder):
// through the video sprite (decode, conversion to BGRA, upload to the texture) against
// libtheora's own loop (th_decode_packetin + th_decode_ycbcr_out, no conversion) over the
// same packets, at the post-processing level the player uses and at level 0. Headless:
//   . scripts/headless-env.sh && build/bench/VideoDecodeBench
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <theora/theoradec.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "backend/Base/HGEEngineWrapperApplication.h"
#include "engine/Renderer/RenderSystem.h"
#include "engine/Renderer/Sprite.h"
#include "engine/Resources/Resource.h"
#include "engine/Resources/ResourceManager.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TheoraClip.h"

namespace {

const int kWidth = 1024;
const int kHeight = 768;
const int kFrames = 48;

// A picture that moves from frame to frame, with detail in every block, so that the
// decoder does the work a real clip asks of it.
void Paint(int index, th_ycbcr_buffer& planes)
{
    for (int p = 0; p < 3; ++p) {
        for (int y = 0; y < planes[p].height; ++y) {
            unsigned char* row = planes[p].data + y * planes[p].stride;
            for (int x = 0; x < planes[p].width; ++x) {
                const int moving = (x + index * 6) ^ (y + index * 3);
                const int noise = ((x * 2654435761u + y * 40503u + index * 977u) >> 13) & 15;
                row[x] = static_cast<unsigned char>(p == 0 ? 40 + (moving & 127) + noise
                                                           : 96 + ((moving >> 2) & 63) + noise);
            }
        }
    }
}

// One window and one clip for the whole program.
struct Fixture {
    TestSupport::TempFolder folder;
    std::shared_ptr<MobrixCore::HGEEngineWrapperApplication> app;
    TestSupport::ClipBytes clip;
    std::string path;

    Fixture()
    {
        // Made first so that it outlives this object at exit.
        EngineCore::ResourceManager::Instance();
        setenv("XDG_DOCUMENTS_DIR", folder.Path().c_str(), 1);
        EngineCore::RenderSystem::Instance().SetCurrentGameState("bench");
        EngineCore::RenderSystem::ScreenSettings settings{};
        settings.bpp = 32;
        settings.width = 640;
        settings.height = 480;
        settings.windowed = true;
        EngineCore::RenderSystem::Instance().ApplyScreenSettings(settings);
        app = std::make_shared<MobrixCore::HGEEngineWrapperApplication>();
        app->Open([](float) { return false; }, [](float) { return true; });
        TestSupport::ClipFormat format;
        format.pictureWidth = kWidth;
        format.pictureHeight = kHeight;
        format.fpsNumerator = 30;
        format.quality = 40;
        format.keyframeEvery = 24;
        clip = TestSupport::EncodeTheoraClip(format, kFrames, Paint);
        path = folder / "bench.ogv";
        folder.WriteFile("bench.ogv", clip);
    }
    ~Fixture()
    {
        EngineCore::ResourceManager::Instance().Clear();
        app->Close();
    }
};

Fixture& TheFixture()
{
    static Fixture fixture;
    return fixture;
}

// One update per iteration steps one frame (the time step is longer than a frame); at the
// end of the clip the sprite starts it again.
void BM_VideoSpriteFrame(benchmark::State& state)
{
    Fixture& fixture = TheFixture();
    std::shared_ptr<EngineCore::Resource> resource;
    EngineCore::ResourceManager::Instance().GetResource("bench.video", EngineCore::Resource::RT_VIDEO_SPRITE,
                                                        resource);
    auto video = std::static_pointer_cast<EngineCore::Sprite>(resource);
    video->SetVideoFile(fixture.path.c_str());
    video->SetVideoLoop(true);
    video->SetVisible(true);
    video->VideoPlay();
    for (auto _ : state)
        video->Update(1.0f);
    state.SetItemsProcessed(state.iterations());
    state.counters["clip_bytes"] = static_cast<double>(fixture.clip.size());
}
BENCHMARK(BM_VideoSpriteFrame)->Unit(benchmark::kMillisecond);

// libtheora alone over the same packets; the decoder is made again at the end of the
// packets, as the sprite's loop does.
void BareDecode(benchmark::State& state, bool postProcessing)
{
    TestSupport::TheoraPackets packets;
    TestSupport::ExtractTheoraPackets(TheFixture().clip, packets);
    th_info info;
    th_comment comment;
    th_dec_ctx* decoder = nullptr;
    size_t next = 0;
    auto open = [&] {
        th_decode_free(decoder);
        th_info_init(&info);
        th_comment_init(&comment);
        th_setup_info* setup = nullptr;
        for (size_t i = 0; i < 3; ++i) {
            ogg_packet packet{};
            packet.packet = packets.packets[i].data();
            packet.bytes = static_cast<long>(packets.packets[i].size());
            packet.b_o_s = i == 0;
            th_decode_headerin(&info, &comment, &setup, &packet);
        }
        decoder = th_decode_alloc(&info, setup);
        th_setup_free(setup);
        th_info_clear(&info);
        th_comment_clear(&comment);
        int level = 0;
        if (postProcessing)
            th_decode_ctl(decoder, TH_DECCTL_GET_PPLEVEL_MAX, &level, sizeof level);
        th_decode_ctl(decoder, TH_DECCTL_SET_PPLEVEL, &level, sizeof level);
        next = 3;
    };
    open();
    for (auto _ : state) {
        if (next == packets.packets.size())
            open();
        ogg_packet packet{};
        packet.packet = packets.packets[next].data();
        packet.bytes = static_cast<long>(packets.packets[next].size());
        packet.granulepos = packets.granules[next];
        ++next;
        if (th_decode_packetin(decoder, &packet, nullptr) == 0) {
            th_ycbcr_buffer planes;
            th_decode_ycbcr_out(decoder, planes);
            benchmark::DoNotOptimize(planes[0].data);
        }
    }
    th_decode_free(decoder);
    state.SetItemsProcessed(state.iterations());
}

void BM_LibtheoraDecodeFrame(benchmark::State& state)
{
    BareDecode(state, true);
}
BENCHMARK(BM_LibtheoraDecodeFrame)->Unit(benchmark::kMillisecond);

void BM_LibtheoraDecodeFrameNoPostProcessing(benchmark::State& state)
{
    BareDecode(state, false);
}
BENCHMARK(BM_LibtheoraDecodeFrameNoPostProcessing)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
