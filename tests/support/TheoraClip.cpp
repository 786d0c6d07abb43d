#include "tests/support/TheoraClip.h"

#include <ogg/ogg.h>
#include <theora/theoradec.h>
#include <theora/theoraenc.h>
#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstring>
#include <string>

namespace TestSupport {

namespace {

using Page = ClipBytes;

Page PageBytes(const ogg_page& page)
{
    Page bytes(page.header, page.header + page.header_len);
    bytes.insert(bytes.end(), page.body, page.body + page.body_len);
    return bytes;
}

void TakePages(ogg_stream_state& stream, std::vector<Page>& pages, bool flush)
{
    ogg_page page;
    while (flush ? ogg_stream_flush(&stream, &page) : ogg_stream_pageout(&stream, &page))
        pages.push_back(PageBytes(page));
}

int RoundUp16(int value)
{
    return (value + 15) & ~15;
}

void PutBigEndian32(unsigned char* at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<unsigned char>(value >> (24 - 8 * i));
}

bool TheoraPages(const ClipFormat& format, int frames, const FramePainter& paint, std::vector<Page>& pages)
{
    th_info info;
    th_info_init(&info);
    info.frame_width = static_cast<ogg_uint32_t>(format.frameWidth ? format.frameWidth
                                                                   : RoundUp16(format.pictureX + format.pictureWidth));
    info.frame_height = static_cast<ogg_uint32_t>(
        format.frameHeight ? format.frameHeight : RoundUp16(format.pictureY + format.pictureHeight));
    info.pic_width = static_cast<ogg_uint32_t>(format.pictureWidth);
    info.pic_height = static_cast<ogg_uint32_t>(format.pictureHeight);
    info.pic_x = static_cast<ogg_uint32_t>(format.pictureX);
    info.pic_y = static_cast<ogg_uint32_t>(format.pictureY);
    info.fps_numerator = format.fpsNumerator;
    info.fps_denominator = format.fpsDenominator;
    info.aspect_numerator = 1;
    info.aspect_denominator = 1;
    info.colorspace = TH_CS_UNSPECIFIED;
    info.pixel_fmt = format.pixelFormat;
    info.target_bitrate = 0;
    info.quality = format.quality;
    info.keyframe_granule_shift = 6;
    th_enc_ctx* encoder = th_encode_alloc(&info);
    if (!encoder) {
        th_info_clear(&info);
        return false;
    }
    ogg_uint32_t keyframes = static_cast<ogg_uint32_t>(format.keyframeEvery);
    th_encode_ctl(encoder, TH_ENCCTL_SET_KEYFRAME_FREQUENCY_FORCE, &keyframes, sizeof keyframes);

    ogg_stream_state stream;
    ogg_stream_init(&stream, 0x7EA);
    th_comment comment;
    th_comment_init(&comment);
    ogg_packet packet;
    bool first = true;
    while (th_encode_flushheader(encoder, &comment, &packet) > 0) {
        std::vector<unsigned char> copy(packet.packet, packet.packet + packet.bytes);
        if (first && format.zeroFrameRateInHeader && copy.size() >= 30) {
            PutBigEndian32(copy.data() + 22, 0);
        }
        packet.packet = copy.data();
        ogg_stream_packetin(&stream, &packet);
        // The identification header alone on the beginning page.
        if (first)
            TakePages(stream, pages, true);
        first = false;
    }
    TakePages(stream, pages, true);

    // Buffers for the whole frame; the chroma planes follow the pixel format.
    const int xShift = format.pixelFormat == TH_PF_444 ? 0 : 1;
    const int yShift = format.pixelFormat == TH_PF_420 ? 1 : 0;
    th_ycbcr_buffer planes;
    std::vector<unsigned char> storage[3];
    for (int p = 0; p < 3; ++p) {
        planes[p].width = static_cast<int>(info.frame_width) >> (p ? xShift : 0);
        planes[p].height = static_cast<int>(info.frame_height) >> (p ? yShift : 0);
        planes[p].stride = planes[p].width;
        storage[p].assign(static_cast<size_t>(planes[p].width * planes[p].height), 128);
        planes[p].data = storage[p].data();
    }
    bool ok = true;
    for (int i = 0; i < frames && ok; ++i) {
        paint(i, planes);
        ok = th_encode_ycbcr_in(encoder, planes) == 0;
        const int last = i + 1 == frames ? 1 : 0;
        while (ok && th_encode_packetout(encoder, last, &packet) > 0) {
            ogg_stream_packetin(&stream, &packet);
            TakePages(stream, pages, false);
        }
    }
    TakePages(stream, pages, true);
    ogg_stream_clear(&stream);
    th_comment_clear(&comment);
    th_encode_free(encoder);
    th_info_clear(&info);
    return ok;
}

bool VorbisPages(std::vector<Page>& pages)
{
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, 1, 22050, 0.1f) != 0) {
        vorbis_info_clear(&info);
        return false;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 0x50D);
    ogg_packet header, commentHeader, codeHeader;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codeHeader);
    ogg_stream_packetin(&stream, &header);
    TakePages(stream, pages, true);
    ogg_stream_packetin(&stream, &commentHeader);
    ogg_stream_packetin(&stream, &codeHeader);
    TakePages(stream, pages, true);

    // A tenth of a second of silence.
    const int samples = 2205;
    float** buffer = vorbis_analysis_buffer(&dsp, samples);
    std::memset(buffer[0], 0, sizeof(float) * samples);
    vorbis_analysis_wrote(&dsp, samples);
    vorbis_analysis_wrote(&dsp, 0);
    ogg_packet packet;
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
        vorbis_analysis(&block, nullptr);
        vorbis_bitrate_addblock(&block);
        while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
            ogg_stream_packetin(&stream, &packet);
            TakePages(stream, pages, false);
        }
    }
    TakePages(stream, pages, true);
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return true;
}

void Append(ClipBytes& out, const Page& page)
{
    out.insert(out.end(), page.begin(), page.end());
}

}  // namespace

ClipBytes EncodeTheoraClip(const ClipFormat& format, int frames, const FramePainter& paint, SoundStream sound)
{
    std::vector<Page> video;
    if (!TheoraPages(format, frames, paint, video) || video.empty())
        return {};
    std::vector<Page> audio;
    if (sound != SoundStream::None && (!VorbisPages(audio) || audio.empty()))
        return {};
    ClipBytes out;
    if (sound == SoundStream::Before)
        Append(out, audio[0]);
    Append(out, video[0]);
    if (sound == SoundStream::After)
        Append(out, audio[0]);
    for (size_t i = 1; i < video.size() || i < audio.size(); ++i) {
        if (i < audio.size())
            Append(out, audio[i]);
        if (i < video.size())
            Append(out, video[i]);
    }
    return out;
}

ClipBytes EncodeVorbisOnly()
{
    std::vector<Page> audio;
    ClipBytes out;
    if (VorbisPages(audio))
        for (const Page& page : audio)
            Append(out, page);
    return out;
}

FramePainter SolidFrames(const std::vector<YCbCr>& colours)
{
    return [colours](int index, th_ycbcr_buffer& planes) {
        const YCbCr& colour = colours[static_cast<size_t>(index) % colours.size()];
        for (int p = 0; p < 3; ++p)
            for (int y = 0; y < planes[p].height; ++y)
                std::memset(planes[p].data + y * planes[p].stride, colour[static_cast<size_t>(p)],
                            static_cast<size_t>(planes[p].width));
    };
}

FramePainter PatternFrames()
{
    return [](int index, th_ycbcr_buffer& planes) {
        for (int p = 0; p < 3; ++p)
            for (int y = 0; y < planes[p].height; ++y)
                for (int x = 0; x < planes[p].width; ++x) {
                    const int value = p == 0 ? 30 + (x * 11 + y * 5 + index * 17) % 190
                                             : 60 + ((x / 2) * 37 + (y / 2) * 23 + p * 50 + index * 9) % 140;
                    planes[p].data[y * planes[p].stride + x] = static_cast<unsigned char>(value);
                }
    };
}

namespace {

int Term(int sample, double factor)
{
    return static_cast<int>(std::floor(((sample - 128) * factor + 32768.0) / 65536.0));
}

uint32_t Channel(int value)
{
    return static_cast<uint32_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
}

}  // namespace

uint32_t ExpectedPixel(const YCbCr& s)
{
    const int y = s[0], cb = s[1], cr = s[2];
    const uint32_t blue = Channel(y + Term(cb, 113508));
    const uint32_t green = Channel(y - Term(cr, 45744) - Term(cb, 22020));
    const uint32_t red = Channel(y + Term(cr, 113443));
    return 0xFF000000u | red << 16 | green << 8 | blue;
}

bool ExtractTheoraPackets(const ClipBytes& bytes, TheoraPackets& out)
{
    out = TheoraPackets();
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    char* buffer = ogg_sync_buffer(&sync, static_cast<long>(bytes.size()));
    std::memcpy(buffer, bytes.data(), bytes.size());
    ogg_sync_wrote(&sync, static_cast<long>(bytes.size()));
    ogg_stream_state stream;
    bool found = false;
    ogg_page page;
    while (ogg_sync_pageout(&sync, &page) > 0) {
        if (!found && ogg_page_bos(&page) && page.body_len >= 7 &&
            std::memcmp(page.body, "\x80theora", 7) == 0) {
            ogg_stream_init(&stream, ogg_page_serialno(&page));
            found = true;
        }
        if (!found || ogg_stream_pagein(&stream, &page) != 0)
            continue;
        ogg_packet packet;
        while (ogg_stream_packetout(&stream, &packet) > 0) {
            out.packets.emplace_back(packet.packet, packet.packet + packet.bytes);
            out.granules.push_back(packet.granulepos);
        }
    }
    if (found)
        ogg_stream_clear(&stream);
    ogg_sync_clear(&sync);
    return found;
}

ClipBytes RepackTheora(const TheoraPackets& packets)
{
    ogg_stream_state stream;
    ogg_stream_init(&stream, 0x7EB);
    std::vector<Page> pages;
    for (size_t i = 0; i < packets.packets.size(); ++i) {
        std::vector<unsigned char> copy = packets.packets[i];
        ogg_packet packet{};
        packet.packet = copy.data();
        packet.bytes = static_cast<long>(copy.size());
        packet.b_o_s = i == 0;
        packet.e_o_s = i + 1 == packets.packets.size();
        packet.granulepos = i < packets.granules.size() ? packets.granules[i] : -1;
        packet.packetno = static_cast<ogg_int64_t>(i);
        ogg_stream_packetin(&stream, &packet);
        TakePages(stream, pages, i < 3);
    }
    TakePages(stream, pages, true);
    ogg_stream_clear(&stream);
    ClipBytes out;
    for (const Page& page : pages)
        Append(out, page);
    return out;
}

bool DecodeWithLibtheora(const ClipBytes& bytes, std::vector<DecodedPicture>& pictures)
{
    pictures.clear();
    TheoraPackets packets;
    if (!ExtractTheoraPackets(bytes, packets) || packets.packets.size() < 3)
        return false;
    th_info info;
    th_comment comment;
    th_info_init(&info);
    th_comment_init(&comment);
    th_setup_info* setup = nullptr;
    size_t next = 0;
    bool ok = true;
    for (; next < 3 && ok; ++next) {
        ogg_packet packet{};
        packet.packet = packets.packets[next].data();
        packet.bytes = static_cast<long>(packets.packets[next].size());
        packet.b_o_s = next == 0;
        ok = th_decode_headerin(&info, &comment, &setup, &packet) > 0;
    }
    th_dec_ctx* decoder = ok ? th_decode_alloc(&info, setup) : nullptr;
    th_setup_free(setup);
    if (decoder) {
        // The same post-processing the player asks for.
        int level = 0;
        th_decode_ctl(decoder, TH_DECCTL_GET_PPLEVEL_MAX, &level, sizeof level);
        th_decode_ctl(decoder, TH_DECCTL_SET_PPLEVEL, &level, sizeof level);
        const int xShift = info.pixel_fmt == TH_PF_444 ? 0 : 1;
        const int yShift = info.pixel_fmt == TH_PF_420 ? 1 : 0;
        for (; next < packets.packets.size(); ++next) {
            ogg_packet packet{};
            packet.packet = packets.packets[next].data();
            packet.bytes = static_cast<long>(packets.packets[next].size());
            packet.granulepos = packets.granules[next];
            if (th_decode_packetin(decoder, &packet, nullptr) != 0)
                continue;
            th_ycbcr_buffer planes;
            th_decode_ycbcr_out(decoder, planes);
            DecodedPicture picture;
            picture.width = static_cast<int>(info.pic_width);
            picture.height = static_cast<int>(info.pic_height);
            for (int j = 0; j < picture.height; ++j) {
                const int y = static_cast<int>(info.pic_y) + j;
                for (int k = 0; k < picture.width; ++k) {
                    const int x = static_cast<int>(info.pic_x) + k;
                    picture.samples.push_back({planes[0].data[y * planes[0].stride + x],
                                               planes[1].data[(y >> yShift) * planes[1].stride + (x >> xShift)],
                                               planes[2].data[(y >> yShift) * planes[2].stride + (x >> xShift)]});
                }
            }
            pictures.push_back(std::move(picture));
        }
        th_decode_free(decoder);
    }
    th_comment_clear(&comment);
    th_info_clear(&info);
    return decoder != nullptr;
}

}  // namespace TestSupport
