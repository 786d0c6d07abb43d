#pragma once
// Small Ogg/Theora clips made with libtheora's encoder, and a plain libtheora decode of
// them to compare against. Used by the tests, the benchmarks, the fuzz seeds and the
// demo's data tool, so nothing here depends on the test framework.

#include <theora/codec.h>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace TestSupport {

using ClipBytes = std::vector<unsigned char>;

struct ClipFormat {
    int pictureWidth = 16;
    int pictureHeight = 16;
    int pictureX = 0;
    int pictureY = 0;
    // 0: the picture and its offset rounded up to whole macroblocks.
    int frameWidth = 0;
    int frameHeight = 0;
    th_pixel_fmt pixelFormat = TH_PF_420;
    uint32_t fpsNumerator = 16;
    uint32_t fpsDenominator = 1;
    int quality = 63;
    int keyframeEvery = 64;
    // Written into the identification header after encoding, as a damaged file would carry.
    bool zeroFrameRateInHeader = false;
};

// Fills the full frame's planes for frame `index`; the encoder reads only the picture.
using FramePainter = std::function<void(int index, th_ycbcr_buffer& planes)>;

// Where a Vorbis stream's beginning page goes next to the Theora one; the other pages of
// the two streams alternate.
enum class SoundStream { None, Before, After };

// The whole file; empty when the encoder refuses the format.
ClipBytes EncodeTheoraClip(const ClipFormat& format, int frames, const FramePainter& paint,
                           SoundStream sound = SoundStream::None);
// An Ogg file with one short Vorbis stream and nothing else.
ClipBytes EncodeVorbisOnly();

// One solid Y', Cb, Cr colour per frame, taken in turn.
using YCbCr = std::array<uint8_t, 3>;
FramePainter SolidFrames(const std::vector<YCbCr>& colours);
// Luma that differs from pixel to pixel and chroma that changes from one chroma sample to
// the next and from frame to frame, so that a wrong offset, stride or subsampling shows.
FramePainter PatternFrames();
// The BGRA pixel of a sample by the conversion's definition, worked out in doubles.
uint32_t ExpectedPixel(const YCbCr& sample);

// The pictures of a clip as libtheora decodes them: one Y'CbCr triple per picture pixel,
// top row first, one vector per new frame (duplicates and broken packets give none).
struct DecodedPicture {
    int width = 0;
    int height = 0;
    std::vector<YCbCr> samples;
};
// False when the file has no readable Theora stream (the first one is used).
bool DecodeWithLibtheora(const ClipBytes& bytes, std::vector<DecodedPicture>& pictures);

// The Theora packets of the first Theora stream, in order (headers first).
struct TheoraPackets {
    std::vector<std::vector<unsigned char>> packets;
    std::vector<int64_t> granules;
};
bool ExtractTheoraPackets(const ClipBytes& bytes, TheoraPackets& out);
// The packets as one Ogg stream again, each header on a page of its own, so that a test can
// damage a packet and still hand over pages whose checksums hold.
ClipBytes RepackTheora(const TheoraPackets& packets);

}  // namespace TestSupport
