#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "backend/Video/VideoDecoder.h"
#include "tests/support/TheoraClip.h"

using MobrixCore::VideoDecoder;
using TestSupport::ClipBytes;
using TestSupport::ClipFormat;
using TestSupport::DecodedPicture;
using TestSupport::YCbCr;

namespace {

int Term(int sample, double factor)
{
    return static_cast<int>(std::floor(((sample - 128) * factor + 32768.0) / 65536.0));
}

int Clamp(int v)
{
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

uint32_t Expected(const YCbCr& s)
{
    return TestSupport::ExpectedPixel(s);
}

std::shared_ptr<const VideoDecoder::Bytes> Share(const ClipBytes& bytes)
{
    return std::make_shared<const VideoDecoder::Bytes>(bytes);
}

// Every frame the decoder shows, each a copy of the picture after a new frame.
struct Playback {
    bool opened = false;
    unsigned width = 0, height = 0;
    int steps = 0;
    std::vector<std::vector<uint32_t>> frames;
};

Playback Play(const ClipBytes& bytes, int stepLimit = 10000)
{
    Playback result;
    VideoDecoder decoder(Share(bytes), nullptr);
    result.opened = decoder.Open();
    if (!result.opened) {
        EXPECT_FALSE(decoder.IsReady());
        EXPECT_FALSE(decoder.Step(nullptr, 0));
        return result;
    }
    result.width = decoder.GetPictureWidth();
    result.height = decoder.GetPictureHeight();
    // Seeded with a value the conversion never writes (alpha 0), so a frame that was not
    // converted shows up.
    const std::vector<uint32_t> blank(static_cast<size_t>(result.width) * result.height, 0x00ABCDEFu);
    std::vector<uint32_t> pixels = blank;
    while (result.steps < stepLimit && decoder.Step(pixels.data(), result.width)) {
        ++result.steps;
        if (pixels != blank)
            result.frames.push_back(pixels);
        pixels = blank;
    }
    EXPECT_FALSE(decoder.IsReady());
    EXPECT_FALSE(decoder.Step(pixels.data(), result.width));  // stays at the end
    return result;
}

TestSupport::FramePainter Pattern()
{
    return TestSupport::PatternFrames();
}

ClipFormat Format(th_pixel_fmt format, int width, int height, int x, int y)
{
    ClipFormat f;
    f.pixelFormat = format;
    f.pictureWidth = width;
    f.pictureHeight = height;
    f.pictureX = x;
    f.pictureY = y;
    return f;
}

}  // namespace

TEST(VideoDecoder, TablesHoldTheFlooredFactors)
{
    const VideoDecoder::Tables tables;
    struct Row {
        int index, crRed, crGreen, cbGreen, cbBlue;
    };
    const Row rows[] = {{0, -222, -89, -43, -222}, {128, 0, 0, 0, 0}, {255, 220, 89, 43, 220}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.index);
        EXPECT_EQ(tables.crToRed[row.index], row.crRed);
        EXPECT_EQ(tables.crToGreen[row.index], row.crGreen);
        EXPECT_EQ(tables.cbToGreen[row.index], row.cbGreen);
        EXPECT_EQ(tables.cbToBlue[row.index], row.cbBlue);
    }
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(tables.crToRed[i], Term(i, 113443)) << i;
        ASSERT_EQ(tables.crToGreen[i], Term(i, 45744)) << i;
        ASSERT_EQ(tables.cbToGreen[i], Term(i, 22020)) << i;
        ASSERT_EQ(tables.cbToBlue[i], Term(i, 113508)) << i;
    }
}

// Each pixel format, with picture sizes and offsets that are not whole blocks (odd
// offsets put the picture's first column in the middle of a chroma sample), matches a plain
// libtheora decode converted by the definition, frame by frame.
TEST(VideoDecoder, EveryPixelFormatAndOddPictureMatchesLibtheora)
{
    struct Case {
        const char* name;
        ClipFormat format;
    };
    const Case cases[] = {
        {"4:2:0 whole blocks", Format(TH_PF_420, 32, 16, 0, 0)},
        {"4:2:2 whole blocks", Format(TH_PF_422, 16, 32, 0, 0)},
        {"4:4:4 whole blocks", Format(TH_PF_444, 16, 16, 0, 0)},
        {"4:2:0 odd size and offset", Format(TH_PF_420, 13, 11, 3, 5)},
        {"4:2:2 odd size and offset", Format(TH_PF_422, 17, 9, 1, 2)},
        {"4:4:4 odd size and offset", Format(TH_PF_444, 7, 19, 5, 3)},
        {"4:2:0 one pixel", Format(TH_PF_420, 1, 1, 9, 7)},
        {"4:2:0 offset in a wider frame", [] {
             ClipFormat f = Format(TH_PF_420, 20, 10, 11, 13);
             f.frameWidth = 48;
             f.frameHeight = 32;
             return f;
         }()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ClipBytes clip = TestSupport::EncodeTheoraClip(c.format, 4, Pattern());
        ASSERT_FALSE(clip.empty());
        std::vector<DecodedPicture> reference;
        ASSERT_TRUE(TestSupport::DecodeWithLibtheora(clip, reference));
        ASSERT_EQ(reference.size(), 4u);

        const Playback playback = Play(clip);
        ASSERT_TRUE(playback.opened);
        EXPECT_EQ(playback.width, static_cast<unsigned>(c.format.pictureWidth));
        EXPECT_EQ(playback.height, static_cast<unsigned>(c.format.pictureHeight));
        ASSERT_EQ(playback.frames.size(), reference.size());
        for (size_t f = 0; f < reference.size(); ++f) {
            for (size_t i = 0; i < reference[f].samples.size(); ++i) {
                ASSERT_EQ(playback.frames[f][i], Expected(reference[f].samples[i]))
                    << "frame " << f << " pixel (" << i % playback.width << ", " << i / playback.width << ")";
            }
        }
    }
}

// Solid colours come through the lossy coding unchanged, and convert by the tables.
TEST(VideoDecoder, SolidColoursConvertByTheTables)
{
    struct Case {
        YCbCr sample;
        uint32_t argb;
    };
    const Case cases[] = {
        {{16, 128, 128}, 0xFF101010u},   // black level stays 16: luma is not rescaled
        {{235, 128, 128}, 0xFFEBEBEBu},
        {{81, 90, 240}, 0xFFFF0000u | (81 - Term(240, 45744) - Term(90, 22020)) << 8 |
                            static_cast<uint32_t>(Clamp(81 + Term(90, 113508)))},
        {{41, 240, 110}, Expected({41, 240, 110})},
        {{0, 0, 0}, Expected({0, 0, 0})},
        {{255, 255, 255}, Expected({255, 255, 255})},
    };
    for (th_pixel_fmt format : {TH_PF_420, TH_PF_422, TH_PF_444}) {
        std::vector<YCbCr> colours;
        for (const Case& c : cases)
            colours.push_back(c.sample);
        ClipFormat f = Format(format, 16, 16, 0, 0);
        const Playback playback = Play(TestSupport::EncodeTheoraClip(f, static_cast<int>(colours.size()),
                                                                    TestSupport::SolidFrames(colours)));
        ASSERT_TRUE(playback.opened);
        ASSERT_EQ(playback.frames.size(), colours.size());
        for (size_t i = 0; i < colours.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(playback.frames[i][0], cases[i].argb);
            EXPECT_EQ(playback.frames[i][255], cases[i].argb);
        }
    }
}

TEST(VideoDecoder, FramePeriodAndTheSoundStreamBesideTheVideo)
{
    ClipFormat f = Format(TH_PF_420, 16, 16, 0, 0);
    f.fpsNumerator = 30000;
    f.fpsDenominator = 1001;
    const ClipBytes alone = TestSupport::EncodeTheoraClip(f, 3, Pattern());
    VideoDecoder decoder(Share(alone), nullptr);
    ASSERT_TRUE(decoder.Open());
    EXPECT_FLOAT_EQ(decoder.GetFramePeriod(), 1001.0f / 30000.0f);

    // Vorbis pages before, between and after the video's: the picture is the same.
    const Playback reference = Play(alone);
    ASSERT_EQ(reference.frames.size(), 3u);
    for (auto sound : {TestSupport::SoundStream::Before, TestSupport::SoundStream::After}) {
        const Playback mixed = Play(TestSupport::EncodeTheoraClip(f, 3, Pattern(), sound));
        ASSERT_TRUE(mixed.opened);
        EXPECT_EQ(mixed.frames, reference.frames);
    }
}

// Damaged files are refused or played as far as they go; never a crash, a hang or a huge
// allocation (the sanitizer build runs these).
TEST(VideoDecoder, DamagedFilesAreRefusedOrPlayWhatTheyCan)
{
    ClipFormat f = Format(TH_PF_420, 16, 16, 0, 0);
    const ClipBytes clip = TestSupport::EncodeTheoraClip(f, 6, Pattern());
    TestSupport::TheoraPackets packets;
    ASSERT_TRUE(TestSupport::ExtractTheoraPackets(clip, packets));
    ASSERT_EQ(packets.packets.size(), 9u);
    const size_t headersEnd = [&] {
        // Header pages end where the first data page starts: find the 1st frame's packet.
        const auto& first = packets.packets[3];
        for (size_t at = 0; at + first.size() <= clip.size(); ++at)
            if (std::equal(first.begin(), first.end(), clip.begin() + static_cast<long>(at)))
                return at;
        return clip.size();
    }();

    auto truncated = [&](size_t size) { return ClipBytes(clip.begin(), clip.begin() + static_cast<long>(size)); };
    auto withGarbage = [&] {
        ClipBytes bytes = truncated(headersEnd);
        for (int i = 0; i < 20000; ++i)
            bytes.push_back(static_cast<unsigned char>((i * 7919) >> 3));
        return bytes;
    };
    auto repacked = [&](const std::function<void(TestSupport::TheoraPackets&)>& damage) {
        TestSupport::TheoraPackets copy = packets;
        damage(copy);
        return TestSupport::RepackTheora(copy);
    };
    ClipFormat zeroRate = f;
    zeroRate.zeroFrameRateInHeader = true;
    ClipFormat huge = Format(TH_PF_420, 4112, 16, 0, 0);
    ClipFormat largest = Format(TH_PF_420, 4096, 16, 0, 0);

    struct Case {
        const char* name;
        ClipBytes bytes;
        bool opens;
        int minFrames, maxFrames;
    };
    const Case cases[] = {
        {"empty", {}, false, 0, 0},
        {"no Ogg at all", ClipBytes(5000, 'x'), false, 0, 0},
        {"only the first page", truncated(58), false, 0, 0},
        {"cut inside the headers", truncated(headersEnd / 2), false, 0, 0},
        {"headers only", truncated(headersEnd), true, 0, 0},
        {"cut inside the frames", truncated(headersEnd + (clip.size() - headersEnd) / 2), true, 0, 5},
        {"garbage after the headers", withGarbage(), true, 0, 0},
        {"zero frame rate", TestSupport::EncodeTheoraClip(zeroRate, 2, Pattern()), false, 0, 0},
        {"only a Vorbis stream", TestSupport::EncodeVorbisOnly(), false, 0, 0},
        {"frame wider than the limit", TestSupport::EncodeTheoraClip(huge, 0, Pattern()), false, 0, 0},
        {"frame at the limit", TestSupport::EncodeTheoraClip(largest, 0, Pattern()), true, 0, 0},
        {"broken comment header",
         repacked([](TestSupport::TheoraPackets& p) { p.packets[1].resize(9); }), false, 0, 0},
        {"video data where the setup header belongs",
         repacked([](TestSupport::TheoraPackets& p) { p.packets.erase(p.packets.begin() + 2); }), false, 0, 0},
        {"garbage frame packets", repacked([](TestSupport::TheoraPackets& p) {
             for (size_t i = 4; i < p.packets.size(); ++i)
                 for (auto& b : p.packets[i])
                     b = static_cast<unsigned char>(b * 31 + 7);
         }),
         true, 1, 6},
        {"intact, repacked", repacked([](TestSupport::TheoraPackets&) {}), true, 6, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Playback playback = Play(c.bytes);
        EXPECT_EQ(playback.opened, c.opens);
        EXPECT_GE(static_cast<int>(playback.frames.size()), c.minFrames);
        EXPECT_LE(static_cast<int>(playback.frames.size()), c.maxFrames);
        for (const auto& frame : playback.frames)
            for (uint32_t px : frame)
                ASSERT_EQ(px >> 24, 0xFFu);  // every converted pixel is opaque
    }
}

TEST(VideoDecoder, EachOpenStartsFromTheFirstFrame)
{
    const ClipBytes clip = TestSupport::EncodeTheoraClip(Format(TH_PF_420, 16, 16, 0, 0), 3, Pattern());
    auto shared = Share(clip);
    const Playback first = Play(clip);
    // A second decoder over the same shared bytes plays the same frames.
    VideoDecoder again(shared, nullptr);
    ASSERT_TRUE(again.Open());
    EXPECT_FALSE(again.Open());  // headers are read once
    EXPECT_EQ(again.GetData().get(), shared->data());
    EXPECT_EQ(again.GetSize(), shared->size());
    std::vector<uint32_t> pixels(256);
    ASSERT_TRUE(again.Step(pixels.data(), 16));
    EXPECT_EQ(pixels, first.frames.at(0));
}
